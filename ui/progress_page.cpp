#include "ui/progress_page.h"

namespace {

constexpr int kBusyTimer = 1;      // program runs and the shell-extension registration
constexpr int kDownloadTimer = 2;  // downloads: bytes, time and rate
constexpr int kPercentTimer = 3;   // extraction and copying

}  // namespace

int ProgressPage::timerFor(platform::WorkKind kind) {
    if (platform::isBusyKind(kind)) return kBusyTimer;
    return platform::isDownloadKind(kind) ? kDownloadTimer : kPercentTimer;
}

unsigned ProgressPage::periodFor(int timerId) { return timerId == kBusyTimer ? 100 : 333; }

void ProgressPage::opened() {
    if (kind_ != platform::WorkKind::RunProgram) start();
}

void ProgressPage::start() {
    if (started_ || ended_) return;
    started_ = true;
    window_.enableButtons(false, false, false);
    window_.showProgress(platform::isBusyKind(kind_));
    platform::WorkerState& state = sink_.state;
    {
        platform::WorkerLock::Hold hold(sink_.lock);
        state.busyPosition = 0;
        workDone_ = 0;
        if (!platform::isBusyKind(kind_)) state.cancelRequested = false;
        if (!platform::isBusyKind(kind_) && !platform::isDownloadKind(kind_)) state.percentDone = 0;
    }
    // Downloads stop on request, so only they keep Cancel.
    if (platform::isDownloadKind(kind_)) window_.enableButtons(false, false, true);
    const int timer = timerFor(kind_);
    window_.startTimer(timer, periodFor(timer));
    // Without a worker there is nothing to wait for: the next tick ends the page.
    if (!window_.startWorker()) workFinished();
}

void ProgressPage::tick(int timerId) {
    if (ended_) return;
    platform::WorkerState& state = sink_.state;
    bool finished = false;
    {
        // The whole update of the controls happens under the lock, so the worker cannot
        // change a figure half-way through it.
        platform::WorkerLock::Hold hold(sink_.lock);
        if (timerId == kBusyTimer) {
            state.busyPosition += 5;
            if (state.busyPosition > 100) state.busyPosition = 0;
            window_.setBarPosition(state.busyPosition);
        } else if (timerId == kPercentTimer) {
            window_.setBarPosition(state.percentDone);
        }
        finished = workDone_ == 1;
        if (finished) {
            window_.stopTimer(timerId);
            window_.hideMessage();
        } else if (timerId == kDownloadTimer) {
            window_.showDownloadFigures(state);
        }
    }
    if (finished) {
        ended_ = true;
        window_.end("next");
    }
}

void ProgressPage::cancel() {
    if (ended_) return;
    if (started_) {
        if (platform::isDownloadKind(kind_) && working()) {
            platform::WorkerLock::Hold hold(sink_.lock);
            sink_.state.cancelRequested = true;
        }
        return;
    }
    // The question is modal, and the page's timer goes on meanwhile: what happened while it
    // was open wins over the answer.
    const bool yes = window_.confirmCancel();
    if (yes && !ended_ && !started_) {
        ended_ = true;
        window_.end("cancel");
    }
}

bool ProgressPage::working() const {
    platform::WorkerLock::Hold hold(sink_.lock);
    return workDone_ == 0;
}

bool ProgressPage::mayEnd() const { return !started_ && !ended_; }

void ProgressPage::workFinished() {
    platform::WorkerLock::Hold hold(sink_.lock);
    workDone_ = 1;
}
