// The install actions as the setup flow calls them in its action states. Each reports its
// result the way the flow expects; InstallEngine is the real one, the flow's tests script
// their own.
#pragma once

#include "config/run_context.h"

class InstallActions {
public:
    virtual ~InstallActions() = default;

    // Runtime installers: a negative number on failure; the progress page's word stays
    // in flowState.
    virtual int installDotNet20(RunContext& app) = 0;
    virtual int installDotNet40Client(RunContext& app) = 0;
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
    // True when the update program has been started.
    virtual bool downloadAndStartUpdate(RunContext& app) = 0;
};

// The installation work. The update search, the Individual Setup and the start from the
// medium are the application's (SetupActions, app/); here they do nothing and say so,
// so a run never claims work it did not do.
class InstallEngine : public InstallActions {
public:
    int installDotNet20(RunContext& app) override;
    int installDotNet40Client(RunContext& app) override;
    bool checkOlderInstallation(RunContext& app) override;
    void installShellExtension(RunContext& app) override;
    int launchPackage(RunContext& app) override;
    void createShortcutsAndRegistry(RunContext& app) override;
    void removeProduct(RunContext& app) override;
    int createIndividualSetup(RunContext& app) override;
    void startFromMedium(RunContext& app) override;
    bool downloadAndStartUpdate(RunContext& app) override;
};
