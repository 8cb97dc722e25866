#include "app/startup_steps.h"

#include "app/bootstrapper_app.h"
#include "app/command_line.h"
#include "app/flow_states.h"
#include "config/presets.h"
#include "platform/files.h"
#include "platform/strings.h"
#include "text/texts.h"

void evaluateCommandLine(CBootstrapperApp& app) {
    evaluateCommandLine(app.run(), app.navigation(), wideToUtf8(app.run().system().commandLine()));
}

bool applyPresetsFile(CBootstrapperApp& application) {
    RunContext& app = application.run();
    Navigation& navigation = application.navigation();
    // Every product that can make an Individual Setup honours the presets its copies
    // carry, not only the two product families.
    if (!app.offer.isPelaxo4 && !app.offer.isPelaxo5 && !app.product.preconfigSetup) return true;
    if (navigation.flowState == state::kRemoveAll) return true;
    platform::System& system = app.system();
    const std::u16string path = launcherFolder(system) + u"\\setup.ini";
    if (!fileExists(system, path)) return true;
    if (readPresets(app.choices, app.offer, system, path) < 0) return true;

    if (app.choices.allUsers && !system.isAdministrator()) {
        app.showMessage(replaceAll(app.text(TextRow::InstallNeedsAdministrator), u"ProductX", app.product.productName));
        return false;
    }
    if (app.choices.autoMode == 1) app.choices.msiUiOption = u"/qb ";
    else if (app.choices.autoMode == 2) app.choices.msiUiOption = u"/qn ";
    app.choices.installDir = app.choices.targetProgramFolder;
    app.offer.legacyExeDir.clear();
    navigation.flowState = state::kAllUsers;
    navigation.backTarget[navigation.flowState] = state::kCancel;
    return true;
}
