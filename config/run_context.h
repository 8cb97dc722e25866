// The run as the layers above the readers see it: its state together with the platform it
// runs on. Page steps and install actions receive it; the application object is one.
#pragma once

#include <string>

#include "config/run_state.h"
#include "platform/platform.h"
#include "platform/progress.h"

class RunContext : public RunState {
public:
    RunContext(platform::System& system, platform::Ui& ui) : system_(system), ui_(ui) {}

    platform::System& system() { return system_; }
    platform::Ui& ui() { return ui_; }
    // The progress pages, which own what their work reports through. Whoever makes the
    // run sets them before anything runs behind a page (the application object makes its
    // own); they must outlive the run.
    platform::ProgressPresenter& progress() { return *progress_; }
    void setProgress(platform::ProgressPresenter& presenter) { progress_ = &presenter; }

    // Row text in the current language.
    std::u16string text(int row) const;
    // Modal message box with the application title as caption.
    platform::MessageAnswer showMessage(const std::u16string& message,
                                        platform::MessageKind kind = platform::MessageKind::Error);

private:
    platform::System& system_;
    platform::Ui& ui_;
    platform::ProgressPresenter* progress_ = nullptr;
};

// Row text with "ProductX" replaced by the product name.
std::u16string productText(const RunContext& app, int row);
