#include "install/install_actions.h"

#include "config/legacy_settings.h"
#include "install/package_launch.h"
#include "install/prerequisites.h"
#include "install/shell_extension.h"
#include "install/shortcuts.h"

RuntimeOutcome InstallEngine::installDotNet20(RunContext& app) { return InstallDotNet20(app); }
RuntimeOutcome InstallEngine::installDotNet40Client(RunContext& app) { return InstallDotNet40Client(app); }

bool InstallEngine::checkOlderInstallation(RunContext& app) {
    return ::checkOlderInstallation(app, app.system(), app.offer.legacyExeDir) == 0;
}

void InstallEngine::installShellExtension(RunContext& app) { InstallShellExtension(app); }

int InstallEngine::launchPackage(RunContext& app) {
    std::uint32_t exitCode = 0;
    const int result = LaunchPackage(app, exitCode);
    // A package that could not be prepared installed nothing: a quiet run must not say 0.
    app.record.installerExitCode = result < 0 && exitCode == 0 ? kInstallFailure : exitCode;
    return static_cast<int>(exitCode);
}

void InstallEngine::createShortcutsAndRegistry(RunContext& app) { CreateShortcutsAndRegistry(app); }

void InstallEngine::removeProduct(RunContext& app) {
    app.record.installerExitCode = RemovePreviousVersion(app, app.choices.msiUiOption);
}

int InstallEngine::createIndividualSetup(RunContext&) { return -1; }
void InstallEngine::startFromMedium(RunContext&) {}
UpdateOutcome InstallEngine::downloadAndStartUpdate(RunContext&) { return UpdateOutcome::NotStarted; }
