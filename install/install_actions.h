// The install actions as the setup flow calls them in its action states. Each reports its
// result the way the flow expects; InstallEngine is the real one, the flow's tests script
// their own.
#pragma once

#include <cstdint>

#include "config/run_context.h"
#include "install/prerequisites.h"

// How the update search ended: the update program runs, or it did not start (the reason
// has been shown), or it was refused because its signature is not the launcher's.
enum class UpdateOutcome { Started, NotStarted, Refused };
// A quiet run whose update was refused ends with ERROR_INVALID_IMAGE_HASH, Windows' own
// code for a program whose signature cannot be verified; no installer returns it.
constexpr std::uint32_t kUpdateRefusedExitCode = 577;

class InstallActions {
public:
    virtual ~InstallActions() = default;

    // Runtime installers behind their progress page.
    virtual RuntimeOutcome installDotNet20(RunContext& app) = 0;
    virtual RuntimeOutcome installDotNet40Client(RunContext& app) = 0;
    // An earlier installation of the older generation lies in legacyExeDir.
    virtual bool checkOlderInstallation(RunContext& app) = 0;
    virtual void installShellExtension(RunContext& app) = 0;
    // The exit code of the last installer run (installerExitCode also records a failure
    // before any run).
    virtual int launchPackage(RunContext& app) = 0;
    virtual void createShortcutsAndRegistry(RunContext& app) = 0;
    virtual void removeProduct(RunContext& app) = 0;
    // 0 or more on success; -4 not enough disk space; other negative numbers: copy failed.
    virtual int createIndividualSetup(RunContext& app) = 0;
    virtual void startFromMedium(RunContext& app) = 0;
    virtual UpdateOutcome downloadAndStartUpdate(RunContext& app) = 0;
};

// The installation work. The update search, the Individual Setup and the start from the
// medium are the application's (SetupActions, app/); here they do nothing and say so,
// so a run never claims work it did not do.
class InstallEngine : public InstallActions {
public:
    RuntimeOutcome installDotNet20(RunContext& app) override;
    RuntimeOutcome installDotNet40Client(RunContext& app) override;
    bool checkOlderInstallation(RunContext& app) override;
    void installShellExtension(RunContext& app) override;
    int launchPackage(RunContext& app) override;
    void createShortcutsAndRegistry(RunContext& app) override;
    void removeProduct(RunContext& app) override;
    int createIndividualSetup(RunContext& app) override;
    void startFromMedium(RunContext& app) override;
    UpdateOutcome downloadAndStartUpdate(RunContext& app) override;
};
