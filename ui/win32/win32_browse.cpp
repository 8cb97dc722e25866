// The shell's folder-selection dialog.
#include "ui/win32/win32_ui.h"

#include <shlobj.h>

#include "platform/win32/wide.h"

namespace {

// Selects the initial folder once the dialog is up; lpData is that folder or null.
int CALLBACK selectInitialFolder(HWND dialog, UINT message, LPARAM, LPARAM data) {
    if (message == BFFM_INITIALIZED && data) SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, data);
    return 0;
}

// CoInitialize and CoUninitialize around the dialog when the caller asks for it.
class ComScope {
public:
    explicit ComScope(bool wanted) : initialised_(wanted && SUCCEEDED(CoInitialize(nullptr))) {}
    ~ComScope() {
        if (initialised_) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    bool initialised_;
};

}  // namespace

bool Win32Ui::browseForFolder(std::uintptr_t owner, const std::u16string* initialFolder, const std::u16string& title,
                              unsigned flags, bool initialiseCom, std::u16string& path) {
    path.clear();
    const ComScope com(initialiseCom);
    const std::wstring caption = toWide(title);
    const std::wstring initial = initialFolder ? toWide(*initialFolder) : std::wstring();
    BROWSEINFOW info{};
    info.hwndOwner = reinterpret_cast<HWND>(owner);
    info.lpszTitle = caption.c_str();
    info.ulFlags = flags;
    info.lpfn = selectInitialFolder;
    info.lParam = initialFolder ? reinterpret_cast<LPARAM>(initial.c_str()) : 0;
    const CoTaskMemory<ITEMIDLIST> chosen(SHBrowseForFolderW(&info));
    if (!chosen) return false;
    wchar_t folder[MAX_PATH] = {};
    if (!SHGetPathFromIDListW(chosen.get(), folder)) return false;
    path = fromWide(folder);
    return true;
}
