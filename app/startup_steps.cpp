#include "app/startup_steps.h"

#include "app/bootstrapper_app.h"
#include "app/command_line.h"
#include "app/flow_states.h"
#include "config/presets.h"
#include "platform/files.h"
#include "platform/strings.h"
#include "text/texts.h"

void evaluateCommandLine(CBootstrapperApp& app) {
    evaluateCommandLine(app, wideToUtf8(app.system().commandLine()));
}

bool applyPresetsFile(CBootstrapperApp& app) {
    // Every product that can make an Individual Setup honours the presets its copies
    // carry, not only the two product families.
    if (!app.isPelaxo4 && !app.isPelaxo5 && !app.preconfigSetup) return true;
    if (app.flowState == state::kRemoveAll) return true;
    platform::System& system = app.system();
    const std::u16string path = launcherFolder(system) + u"\\setup.ini";
    if (!fileExists(system, path)) return true;
    if (readPresets(app, system, path) < 0) return true;

    if (app.allUsers && !system.isAdministrator()) {
        app.showMessage(replaceAll(app.text(12), u"ProductX", app.productName));
        return false;
    }
    if (app.autoMode == 1) app.msiUiOption = u"/qb ";
    else if (app.autoMode == 2) app.msiUiOption = u"/qn ";
    app.installDir = app.targetProgramFolder;
    app.legacyExeDir.clear();
    app.flowState = state::kAllUsers;
    app.backTarget[app.flowState] = state::kCancel;
    return true;
}
