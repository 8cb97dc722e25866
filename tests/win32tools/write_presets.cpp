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
    CBootstrapperApp application(system, ui);
    RunContext& app = application.run();
    app.choices.allUsers = false;
    app.offer.askForVideos = app.choices.installVideos = true;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const auto equals = line.find('=');
        if (equals == std::string::npos) continue;
        const std::string key = line.substr(0, equals);
        const std::u16string value = utf8ToWide(line.substr(equals + 1));
        if (key == "folder") {
            app.choices.targetProgramFolder = value;
        } else if (key == "network-folder") {
            app.choices.networkFolder = value;
            app.choices.linkOnly = true;
        } else if (key == "circuit-folder") {
            app.choices.circuitFolder = value;
            app.choices.useStandardCircuitFolder = false;
        } else if (key == "auto-mode") {
            app.choices.autoMode = static_cast<int>(parseDecimalPrefix(value));
        } else if (key == "all-users") {
            app.choices.allUsers = value == u"1";
        } else if (key == "no-videos") {
            app.choices.installVideos = false;
        } else {
            return 4;
        }
    }
    composePresets(app.choices, app.offer);
    return writePresetsFile(system, fromWide(argv[2]), app.choices.setupIniText) ? 0 : 5;
}
