// The application object: owns one launcher run (its RunContext and the flow's
// Navigation) and runs the start-up checks and the setup flow over it. Pages, page steps
// and install actions receive the run.
#pragma once

#include "app/navigation.h"
#include "config/run_context.h"
#include "platform/platform.h"
#include "platform/run_log.h"
#include "ui/progress_presenter.h"

class CBootstrapperApp {
public:
    CBootstrapperApp(platform::System& system, platform::Ui& ui);
    ~CBootstrapperApp();
    CBootstrapperApp(const CBootstrapperApp&) = delete;
    CBootstrapperApp& operator=(const CBootstrapperApp&) = delete;

    // The whole run: start-up checks, then the setup flow. Always answers false, so no
    // message loop follows. The process exit code is 0, except after "/q", "/qn" or
    // "/qb": then that of the installer run (0 when none was needed), or
    // kUpdateRefusedExitCode when the update search refused what it fetched.
    bool initInstance();
    int exitCode() const { return exitCode_; }

    // Fills the product's settings, the offer and the first choices from the embedded
    // settings document; 0 or a negative error code (config/settings_reader.h).
    int readXML_Options();

    RunContext& run() { return run_; }
    Navigation& navigation() { return navigation_; }

private:
    bool endRun();  // sets the exit code and answers "no message loop"
    void openLog();
    void computeVersionSuffix();
    void readInstallDirFromRegistry();

    // Declared first, so it outlives everything that writes to it.
    platform::RunLog log_;
    platform::LocalTime started_;
    RunContext run_;
    Navigation navigation_;
    int exitCode_ = 0;
    // The run's progress pages and the sink their workers report through, kept until the
    // application object goes, at the end of the process.
    ProgressPages progressPages_{run_};
};
