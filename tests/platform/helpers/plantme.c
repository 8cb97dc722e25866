/* A DLL with a name no system folder holds: planted beside the test program, it shows
   whether the loader still searches the program's own folder. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)instance;
    (void)reason;
    (void)reserved;
    return TRUE;
}

__declspec(dllexport) int plantedMarker(void) { return 42; }
