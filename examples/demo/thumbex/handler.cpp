// A stand-in for the thumbnail handler and its support library: a library that does
// nothing, with the file version the launcher compares (handler.rc).
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
