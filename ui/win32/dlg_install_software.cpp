#include "ui/win32/dlg_install_software.h"

#include <commctrl.h>

#include "platform/win32/wide.h"
#include "res/pages_ids.h"
#include "text/texts.h"
#include "ui/download_figures.h"

DlgInstallSoftware::DlgInstallSoftware(platform::PageModel& model, PageEnvironment& env)
    : WizardPage(model, env, IDD_PAGE_PROGRESS), logic_(model.workKind, *model.progressSink, *this) {}

// However the dialog ended (even through an exception in its procedure), the worker may
// still be writing into this object: wait for it.
DlgInstallSoftware::~DlgInstallSoftware() {
    if (worker_) WaitForSingleObject(worker_.get(), INFINITE);
}

void DlgInstallSoftware::initialise() {
    setWindowTitleAndIcon();
    setTitleAndMessage();
    // One bold font for every progress page of the run, made from the info text's own.
    if (!env_.infoFont) {
        const auto current = reinterpret_cast<HFONT>(SendMessageW(item(IDC_INFO_TEXT), WM_GETFONT, 0, 0));
        if (current) env_.infoFont.make(current, dpi(), 1.0);
    }
    applyInfoFont(dpi());
    setCaptionOrHide(IDC_INFO_TEXT, model_.infoText);
    showItem(IDC_PROGRESS_OPTION, false);
    showItem(IDC_PAGE_HELP, false);
    showItem(IDC_PROGRESS_FRAME, false);
    showItem(IDC_PROGRESS_BAR, false);
    for (int id : {IDC_PROGRESS_FILE_SIZE, IDC_PROGRESS_LEFT_TIME, IDC_PROGRESS_RATE}) {
        setText(id, u"");
        showItem(id, platform::isDownloadKind(model_.workKind));
    }
    SendMessageW(item(IDC_PROGRESS_BAR), PBM_SETRANGE32, 0, 100);
    setCaptions();
    thinSeparator();
    applyPlacement();
    logic_.opened();
}

// Next until the work runs; a download that runs at once can still be cancelled.
int DlgInstallSoftware::firstFocus() const { return usable(IDC_PAGE_NEXT) ? IDC_PAGE_NEXT : IDC_PAGE_CANCEL; }

bool DlgInstallSoftware::command(int id, int) {
    switch (id) {
    // Escape is Cancel here too.
    case IDC_PAGE_CANCEL:
    case IDCANCEL: logic_.cancel(); return true;
    // Enter and Back end the page through the frame, but never under its worker.
    case IDOK:
    case IDC_PAGE_BACK: return !logic_.mayEnd();
    default: return false;
    }
}

// Only the texts over the header band; the figures below change while the page shows.
bool DlgInstallSoftware::transparent(int id) const { return id == IDC_PAGE_TITLE || id == IDC_PAGE_MESSAGE; }

bool DlgInstallSoftware::message(UINT msg, WPARAM wp, LPARAM, INT_PTR& result) {
    switch (msg) {
    case WM_TIMER:
        logic_.tick(static_cast<int>(wp));
        UpdateWindow(hwnd_);
        result = 0;
        return true;
    case WM_CLOSE:
        logic_.cancel();
        result = TRUE;
        return true;
    default: return false;
    }
}

void DlgInstallSoftware::applyInfoFont(UINT dpi) const {
    if (const HFONT font = env_.infoFont.forDpi(dpi))
        SendMessageW(item(IDC_INFO_TEXT), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

void DlgInstallSoftware::dpiChanged(UINT dpi) {
    WizardPage::dpiChanged(dpi);
    applyInfoFont(dpi);
}

void DlgInstallSoftware::enableButtons(bool back, bool next, bool cancel) {
    EnableWindow(item(IDC_PAGE_BACK), back);
    EnableWindow(item(IDC_PAGE_NEXT), next);
    EnableWindow(item(IDC_PAGE_CANCEL), cancel);
    // A disabled button loses the focus, and with it the keys; Cancel takes them while a
    // download runs.
    const HWND focus = GetFocus();
    if (cancel && (!focus || !IsWindowEnabled(focus)))
        SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item(IDC_PAGE_CANCEL)), TRUE);
}

void DlgInstallSoftware::showProgress(bool busy) {
    // A group box reads mnemonics: the title's own '&' must stay one.
    setText(IDC_PROGRESS_FRAME, literalInCaption(model_.progressTitle));
    const HWND bar = item(IDC_PROGRESS_BAR);
    if (busy) SetWindowLongPtrW(bar, GWL_STYLE, GetWindowLongPtrW(bar, GWL_STYLE) | PBS_MARQUEE);
    showItem(IDC_PROGRESS_FRAME, true);
    showItem(IDC_PROGRESS_BAR, true);
}

void DlgInstallSoftware::setBarPosition(int position) {
    SendMessageW(item(IDC_PROGRESS_BAR), PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

void DlgInstallSoftware::showDownloadFigures(const platform::WorkerState& state) {
    const DownloadFigures figures = downloadFigures(state);
    setBarPosition(figures.barPosition);
    setText(IDC_PROGRESS_FILE_SIZE, figures.size);
    if (!figures.time.empty()) {
        setText(IDC_PROGRESS_LEFT_TIME, figures.time);
        setText(IDC_PROGRESS_RATE, figures.rate);
    }
}

void DlgInstallSoftware::startTimer(int id, unsigned periodMs) {
    SetTimer(hwnd_, static_cast<UINT_PTR>(id), periodMs, nullptr);
}

void DlgInstallSoftware::stopTimer(int id) { KillTimer(hwnd_, static_cast<UINT_PTR>(id)); }

void DlgInstallSoftware::hideMessage() { showItem(IDC_PAGE_MESSAGE, false); }

bool DlgInstallSoftware::startWorker() {
    worker_.reset(CreateThread(nullptr, 0, workerMain, this, 0, nullptr));
    return static_cast<bool>(worker_);
}

DWORD WINAPI DlgInstallSoftware::workerMain(void* parameter) {
    auto* page = static_cast<DlgInstallSoftware*>(parameter);
    // Nothing may unwind out of a thread; a failed work keeps the result its caller preset.
    try {
        if (page->model_.work) page->model_.work();
    } catch (...) {}
    page->logic_.workFinished();
    return 0;
}

bool DlgInstallSoftware::confirmCancel() {
    if (model_.cancelQuestion.empty()) return true;
    return MessageBoxW(hwnd_, toWide(model_.cancelQuestion).c_str(), toWide(model_.cancelQuestionCaption).c_str(),
                       MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void DlgInstallSoftware::end(const std::string& word) { finish(word.c_str()); }
