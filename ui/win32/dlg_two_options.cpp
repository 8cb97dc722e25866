#include "ui/win32/dlg_two_options.h"

#include "res/pages_ids.h"

DlgTwoOptions::DlgTwoOptions(platform::PageModel& model, PageEnvironment& env)
    : WizardPage(model, env, IDD_PAGE_TWO_OPTIONS) {}

void DlgTwoOptions::initialise() {
    CheckRadioButton(hwnd_, IDC_OPTION1, IDC_OPTION2, model_.selectedOption == 1 ? IDC_OPTION2 : IDC_OPTION1);
    setWindowTitleAndIcon();
    thinSeparator();
    applyPlacement();
    setTitleAndMessage();
    setText(IDC_OPTION1, model_.option1);
    setText(IDC_OPTION2, model_.option2);
    setCaptionOrHide(IDC_PAGE_BACK, model_.backCaption);
    setText(IDC_PAGE_NEXT, model_.nextCaption);
    setText(IDC_PAGE_CANCEL, model_.cancelCaption);
    setText(IDC_PAGE_HELP, model_.helpCaption);
    applyHelpRule();
}

void DlgTwoOptions::next() {
    // Only Next reads the radio group; Back leaves the caller's preselection.
    model_.selectedOption = IsDlgButtonChecked(hwnd_, IDC_OPTION1) == BST_CHECKED ? 0 : 1;
    finish(model_.selectedOption == 0 ? "option1" : "option2");
}
