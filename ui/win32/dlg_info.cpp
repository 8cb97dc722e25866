#include "ui/win32/dlg_info.h"

#include "res/pages_ids.h"

DlgInfo::DlgInfo(platform::PageModel& model, PageEnvironment& env) : WizardPage(model, env, IDD_PAGE_INFO) {}

// Whether Cancel asks first is the model's choice: an empty cancelQuestion ends at once.
void DlgInfo::initialise() {
    setWindowTitleAndIcon();
    setTitleAndMessage();
    setCaptionOrHide(IDC_INFO_TEXT, model_.infoText);
    setCaptions();
    showItem(IDC_PAGE_HELP, !model_.helpCaption.empty());
    showItem(IDC_PAGE_BACK, !model_.backCaption.empty());
    showItem(IDC_PAGE_NEXT, !model_.nextCaption.empty());
    // Without Next (the finish page) Enter presses the one button left, not a hidden one.
    if (model_.nextCaption.empty()) setDefaultButton(IDC_PAGE_CANCEL);
    thinSeparator();
    applyPlacement();
    applyHelpRule();
}

int DlgInfo::firstFocus() const { return model_.nextCaption.empty() ? IDC_PAGE_CANCEL : IDC_PAGE_NEXT; }
