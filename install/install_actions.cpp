#include "install/install_actions.h"

#include "install/prerequisites.h"

namespace {

// What an installer reports when it could not install (ERROR_INSTALL_FAILURE).
constexpr int kInstallFailure = 1603;

}  // namespace

int InstallEngine::installDotNet20(RunContext& app) { return InstallDotNet20(app); }
int InstallEngine::installDotNet40Client(RunContext& app) { return InstallDotNet40Client(app); }
bool InstallEngine::checkOlderInstallation(RunContext&) { return false; }
void InstallEngine::installShellExtension(RunContext&) {}
int InstallEngine::launchPackage(RunContext&) { return kInstallFailure; }
void InstallEngine::createShortcutsAndRegistry(RunContext&) {}
void InstallEngine::removeProduct(RunContext&) {}
int InstallEngine::createIndividualSetup(RunContext&) { return -1; }
void InstallEngine::startFromMedium(RunContext&) {}
bool InstallEngine::downloadAndStartUpdate(RunContext&) { return false; }
