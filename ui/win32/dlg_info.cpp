#include "ui/win32/dlg_info.h"

#include "res/pages_ids.h"

DlgInfo::DlgInfo(platform::PageModel& model, PageEnvironment& env) : WizardPage(model, env, IDD_PAGE_INFO) {}

// Whether Cancel asks first is the model's choice: an empty cancelQuestion ends at once.
void DlgInfo::initialise() {
    setWindowTitleAndIcon();
    setTitleAndMessage();
    setCaptionOrHide(IDC_INFO_TEXT, model_.infoText);
    setText(IDC_PAGE_CANCEL, model_.cancelCaption);
    setCaptionOrHide(IDC_PAGE_HELP, model_.helpCaption);
    setCaptionOrHide(IDC_PAGE_BACK, model_.backCaption);
    setCaptionOrHide(IDC_PAGE_NEXT, model_.nextCaption);
    thinSeparator();
    applyPlacement();
    applyHelpRule();
}
