// The install actions the flow and the page steps call. Each reports its result the way
// the flow expects; those whose work (payload extraction, runtime installers, the package
// launch, shortcuts, the Individual Setup, downloads, the update) is not built yet report
// that nothing was done, so a run never claims an installation it did not make.
#pragma once

#include <string>

class CBootstrapperApp;

// Runtime installer of .NET 2.0 (or the 4.0 client profile): negative on failure.
int installRuntime(CBootstrapperApp& app, bool version40);
bool olderInstallationFound(CBootstrapperApp& app);
void registerShellExtension(CBootstrapperApp& app);
// The exit code of the installer run.
int runInstallerPackage(CBootstrapperApp& app);
void createClientLinks(CBootstrapperApp& app);
void removeInstalledProduct(CBootstrapperApp& app);
int writeIndividualSetup(CBootstrapperApp& app);
void runFromMedium(CBootstrapperApp& app);
bool startUpdate(CBootstrapperApp& app);
// 0 done, -1 cancelled, -2 local file problem, -3 transfer problem.
int downloadVideos(CBootstrapperApp& app);
int downloadMaterial(CBootstrapperApp& app);

// The user's documents folder and the product's circuit-file folder name; empty when
// the documents folder is unknown.
std::u16string standardCircuitFolder(CBootstrapperApp& app);
