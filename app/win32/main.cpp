// Entry point of setup.exe: one application object runs the whole launcher from its
// start-up operation; there is no message loop of our own.
#include <windows.h>

#include "app/bootstrapper_app.h"
#include "ui/win32/win32_ui.h"
#include "platform/win32/win32_system.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    hardenDllSearchPath();
    Win32System system;
    Win32Ui ui;
    int exitCode = 0;
    {
        CBootstrapperApp app(system, ui);
        app.initInstance();
        exitCode = app.exitCode();
    }
    SetLastError(0);
    return exitCode;
}
