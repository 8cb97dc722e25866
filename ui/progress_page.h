// How the progress page behaves, apart from its window: when the work starts, what each
// timer tick shows, when the page may end and what Cancel does. DlgInstallSoftware
// (ui/win32) is the window and carries out what this asks of it; the unit tests stand in
// for it.
#pragma once

#include <string>

#include "platform/worker_state.h"

// What the logic asks of the page's window.
class ProgressWindow {
public:
    virtual ~ProgressWindow() = default;
    virtual void enableButtons(bool back, bool next, bool cancel) = 0;
    // The frame with its title and the bar (busy, or a percent) come into view.
    virtual void showProgress(bool busy) = 0;
    virtual void setBarPosition(int position) = 0;
    // The download figures of the moment (bytes, time, rate), read under the lock.
    virtual void showDownloadFigures(const platform::WorkerState& state) = 0;
    virtual void startTimer(int id, unsigned periodMs) = 0;
    virtual void stopTimer(int id) = 0;
    virtual void hideMessage() = 0;
    // Starts the work on a thread of its own, which calls ProgressPage::workFinished when
    // the work has returned; false when no thread could be started.
    virtual bool startWorker() = 0;
    // The cancel question; true on Yes.
    virtual bool confirmCancel() = 0;
    // Ends the page with this result word.
    virtual void end(const std::string& word) = 0;
};

class ProgressPage {
public:
    // The sink is the one the page's work reports through: the page reads its figures on
    // the timer, and sets them up and raises its cancel flag as the work starts and stops.
    ProgressPage(platform::WorkKind kind, platform::ProgressSink& sink, ProgressWindow& window)
        : kind_(kind), sink_(sink), window_(window) {}

    // After the shared set-up: a negative kind starts its work at once.
    void opened();
    // Next (or at once): buttons off, the bar shown, the timer and the worker started.
    void start();
    // A tick of the page's timer.
    void tick(int timerId);
    // Cancel, Escape and the window's close request: a running download is asked to stop; other
    // running work cannot be cancelled; before the work the user is asked. Once the work
    // has started, its end decides the page's outcome, whatever is pressed after it.
    void cancel();
    // Whether Enter or Back may end the page now: only before its work has
    // started. From then on only the tick that sees the work done ends it.
    bool mayEnd() const;
    bool working() const;
    // Called by the worker thread as its last act.
    void workFinished();

    // The timer of each kind and its period.
    static int timerFor(platform::WorkKind kind);
    static unsigned periodFor(int timerId);

private:
    platform::WorkKind kind_;
    platform::ProgressSink& sink_;
    ProgressWindow& window_;
    unsigned char workDone_ = 1;  // 0 only while the worker runs; guarded by the sink's lock
    bool started_ = false;
    bool ended_ = false;
};
