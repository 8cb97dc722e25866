// The progress page: runs one piece of work on a worker thread and shows its progress on a
// timer until the work has finished. What it does when is ProgressPage's decision; this
// class is its window. The page never ends, and its object never goes away, while its
// worker runs.
#pragma once

#include "platform/win32/unique_handle.h"
#include "ui/progress_page.h"
#include "ui/win32/wizard_page.h"

class DlgInstallSoftware : public WizardPage, private ProgressWindow {
public:
    DlgInstallSoftware(platform::PageModel& model, PageEnvironment& env);
    ~DlgInstallSoftware() override;

private:
    void initialise() override;
    bool command(int id, int notification) override;
    int firstFocus() const override;
    void next() override { logic_.start(); }
    bool transparent(int id) const override;
    bool message(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) override;
    void dpiChanged(UINT dpi) override;
    void applyInfoFont(UINT dpi) const;

    void enableButtons(bool back, bool next, bool cancel) override;
    void showProgress(bool busy) override;
    void setBarPosition(int position) override;
    void showDownloadFigures(const platform::WorkerState& state) override;
    void startTimer(int id, unsigned periodMs) override;
    void stopTimer(int id) override;
    void hideMessage() override;
    bool startWorker() override;
    bool confirmCancel() override;
    void end(const std::string& word) override;

    static DWORD WINAPI workerMain(void* page);

    ProgressPage logic_;
    KernelHandle worker_;
};
