#include "app/install_actions.h"

#include "app/bootstrapper_app.h"

namespace {

// What an installer reports when it could not install (ERROR_INSTALL_FAILURE).
constexpr int kInstallFailure = 1603;
constexpr int kTransferProblem = -3;

}  // namespace

int installRuntime(CBootstrapperApp&, bool) { return -1; }
bool olderInstallationFound(CBootstrapperApp&) { return false; }
void registerShellExtension(CBootstrapperApp&) {}
int runInstallerPackage(CBootstrapperApp&) { return kInstallFailure; }
void createClientLinks(CBootstrapperApp&) {}
void removeInstalledProduct(CBootstrapperApp&) {}
int writeIndividualSetup(CBootstrapperApp&) { return -1; }
void runFromMedium(CBootstrapperApp&) {}
bool startUpdate(CBootstrapperApp&) { return false; }
int downloadVideos(CBootstrapperApp&) { return kTransferProblem; }
int downloadMaterial(CBootstrapperApp&) { return kTransferProblem; }

std::u16string standardCircuitFolder(CBootstrapperApp& app) {
    const std::u16string documents = app.system().documentsFolder();
    if (documents.empty()) return {};
    return documents + u"\\" + app.circuitDir[app.languageIndex];
}
