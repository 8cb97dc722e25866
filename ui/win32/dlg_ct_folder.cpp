#include "ui/win32/dlg_ct_folder.h"

#include "res/pages_ids.h"

DlgCtFolder::DlgCtFolder(platform::PageModel& model, PageEnvironment& env)
    : WizardPage(model, env, IDD_PAGE_CIRCUIT_FOLDER) {}

void DlgCtFolder::initialise() {
    setWindowTitleAndIcon();
    setTitleAndMessage();
    setText(IDC_STANDARD_FOLDER, model_.standardFolder);
    // An empty user folder starts from the standard one.
    if (model_.folder.empty()) model_.folder = model_.standardFolder;
    CheckDlgButton(hwnd_, IDC_STANDARD_FOLDER_CHECK, model_.useStandardFolder ? BST_CHECKED : BST_UNCHECKED);
    enableUserFolder(!model_.useStandardFolder);
    setText(IDC_FOLDER_EDIT, model_.useStandardFolder ? std::u16string() : model_.folder);
    showItem(IDC_STANDARD_FOLDER, model_.showStandardFolder);
    setCaptions();
    thinSeparator();
    applyPlacement();
    applyHelpRule();
}

int DlgCtFolder::firstFocus() const { return IDC_STANDARD_FOLDER_CHECK; }

// Read-only and disabled edits keep their normal look here.
bool DlgCtFolder::transparent(int id) const { return id == IDC_PAGE_TITLE || id == IDC_PAGE_MESSAGE; }

void DlgCtFolder::enableUserFolder(bool enabled) const {
    EnableWindow(item(IDC_FOLDER_BROWSE), enabled);
    EnableWindow(item(IDC_USER_FOLDER_LABEL), enabled);
    EnableWindow(item(IDC_FOLDER_EDIT), enabled);
}

bool DlgCtFolder::command(int id, int notification) {
    if (id == IDC_STANDARD_FOLDER_CHECK && notification == BN_CLICKED) {
        toggled();
        return true;
    }
    if (id == IDC_FOLDER_BROWSE) {
        browse();
        return true;
    }
    return false;
}

// Checking parks the typed folder in the model, so unchecking brings it back.
void DlgCtFolder::toggled() {
    model_.useStandardFolder = IsDlgButtonChecked(hwnd_, IDC_STANDARD_FOLDER_CHECK) == BST_CHECKED;
    enableUserFolder(!model_.useStandardFolder);
    if (model_.useStandardFolder) {
        model_.folder = text(IDC_FOLDER_EDIT);
        setText(IDC_FOLDER_EDIT, u"");
    } else {
        setText(IDC_FOLDER_EDIT, model_.folder);
    }
}

void DlgCtFolder::browse() {
    constexpr unsigned kFileSystemFoldersNewStyle = 0x41;
    std::u16string picked;
    if (!env_.browse(hwnd_, model_.folder.empty() ? nullptr : &model_.folder, model_.browseInstruction,
                     kFileSystemFoldersNewStyle, picked))
        return;
    model_.folder = picked;
    setText(IDC_FOLDER_EDIT, model_.folder);
}

void DlgCtFolder::next() {
    model_.folder = text(IDC_FOLDER_EDIT);
    model_.useStandardFolder = IsDlgButtonChecked(hwnd_, IDC_STANDARD_FOLDER_CHECK) == BST_CHECKED;
    finish("next");
}
