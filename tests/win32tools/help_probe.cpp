// help-probe: opens a topic of a CHM through the launcher's own help viewer code, then
// waits in a message box so the test can look at the help window.
//   help-probe <file.chm> <topic number>
#include <windows.h>

#include <string>

#include "platform/win32/wide.h"
#include "platform/win32/win32_system.h"
#include "ui/win32/win32_ui.h"

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) return 2;
    hardenDllSearchPath();
    Win32Ui ui;
    const std::wstring url = std::wstring(argv[1]) + L"::/setup_" + argv[2] + L".htm";
    ui.showHtmlHelp(fromWide(url));
    ui.messageBox(u"Help is open.", u"help-probe", platform::MessageKind::Information);
    return 0;
}
