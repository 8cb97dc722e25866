#include "ui/win32/dlg_folder.h"

#include "ui/folder_input.h"

#include "res/pages_ids.h"

DlgFolder::DlgFolder(platform::PageModel& model, PageEnvironment& env) : WizardPage(model, env, IDD_PAGE_FOLDER) {}

void DlgFolder::initialise() {
    setWindowTitleAndIcon();
    setTitleAndMessage();
    setText(IDC_FOLDER_EDIT, model_.folder);
    setCaptions();
    thinSeparator();
    applyPlacement();
    applyHelpRule();
}

// The folder itself, selected, so typing replaces it.
int DlgFolder::firstFocus() const { return IDC_FOLDER_EDIT; }

bool DlgFolder::command(int id, int) {
    if (id != IDC_FOLDER_BROWSE) return false;
    browse();
    return true;
}

void DlgFolder::browse() {
    // The browser starts from the folder member, not from what may have been typed.
    std::u16string picked;
    if (!env_.browse(hwnd_, model_.folder.empty() ? nullptr : &model_.folder, model_.browseInstruction,
                     model_.browseFlags, picked))
        return;
    model_.folder = withSubFolder(picked, model_.subFolder);
    setText(IDC_FOLDER_EDIT, model_.folder);
}

void DlgFolder::next() {
    model_.folder = text(IDC_FOLDER_EDIT);
    finish("next");
}
