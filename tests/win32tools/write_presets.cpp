// write-presets: writes a presets file with the launcher's own composer and writer, as an
// Individual Setup carries it, from choices given in a UTF-8 file (one key=value a line:
// folder, network-folder, circuit-folder, auto-mode, all-users, no-videos).
//   write-presets <choices.txt> <setup.ini>
#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>

#include "app/bootstrapper_app.h"
#include "config/presets.h"
#include "platform/strings.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_system.h"
#include "ui/win32/win32_ui.h"

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) return 2;
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) return 3;
    Win32System system;
    Win32Ui ui;
    CBootstrapperApp app(system, ui);
    app.allUsers = false;
    app.askForVideos = app.installVideos = true;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const auto equals = line.find('=');
        if (equals == std::string::npos) continue;
        const std::string key = line.substr(0, equals);
        const std::u16string value = utf8ToWide(line.substr(equals + 1));
        if (key == "folder") {
            app.targetProgramFolder = value;
        } else if (key == "network-folder") {
            app.networkFolder = value;
            app.linkOnly = true;
        } else if (key == "circuit-folder") {
            app.circuitFolder = value;
            app.useStandardCircuitFolder = false;
        } else if (key == "auto-mode") {
            app.autoMode = static_cast<int>(parseDecimalPrefix(value));
        } else if (key == "all-users") {
            app.allUsers = value == u"1";
        } else if (key == "no-videos") {
            app.installVideos = false;
        } else {
            return 4;
        }
    }
    composePresets(app);
    return writePresetsFile(system, fromWide(argv[2]), app.setupIniText) ? 0 : 5;
}
