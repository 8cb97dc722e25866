// One launcher run as the layers above the readers see it: its state, split by who writes
// it, and the platform it runs on. Page steps and install actions receive it; the
// application object owns one.
#pragma once

#include <string>

#include "config/choices.h"
#include "config/offer.h"
#include "config/product_settings.h"
#include "config/run_record.h"
#include "platform/platform.h"
#include "platform/progress.h"
#include "text/text_rows.h"

class RunContext {
public:
    RunContext(platform::System& system, platform::Ui& ui) : system_(system), ui_(ui) {}
    RunContext(const RunContext&) = delete;
    RunContext& operator=(const RunContext&) = delete;

    ProductSettings product;  // the settings reader's, read-only afterwards
    Offer offer;
    Choices choices;
    RunRecord record;

    platform::System& system() { return system_; }
    platform::Ui& ui() { return ui_; }
    // The progress pages, which own what their work reports through. Whoever makes the
    // run sets them before anything runs behind a page (the application object makes its
    // own); they must outlive the run.
    platform::ProgressPresenter& progress() { return *progress_; }
    void setProgress(platform::ProgressPresenter& presenter) { progress_ = &presenter; }

    // Row text in the current language.
    std::u16string text(TextRow row) const;
    // Modal message box with the application title as caption.
    platform::MessageAnswer showMessage(const std::u16string& message,
                                        platform::MessageKind kind = platform::MessageKind::Error);

private:
    platform::System& system_;
    platform::Ui& ui_;
    platform::ProgressPresenter* progress_ = nullptr;
};

// Row text with "ProductX" replaced by the product name.
std::u16string productText(const RunContext& app, TextRow row);
