/* Holds a prefix's desktop open for as long as it runs. Under the emulated 32-bit Wine a
 * 32-bit GUI program started while the desktop of the previous one is closing fails with
 * "failed to start explorer.exe"; a 64-bit process attached to the desktop for the whole
 * session keeps it up. Built 64-bit by tools/wine/setup-i386-wine.sh; the end-to-end harness
 * starts it beside each prefix's wineserver (SETUP_E2E_DESKTOP_HOLDER). */
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR cmdline, int show) {
    (void)instance;
    (void)previous;
    (void)cmdline;
    (void)show;
    GetDesktopWindow();
    Sleep(INFINITE);
    return 0;
}
