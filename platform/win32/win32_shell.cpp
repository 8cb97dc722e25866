// Shell shortcuts and the shell's folders.
#include "platform/win32/win32_system.h"

#include <shlobj.h>

#include "platform/win32/wide.h"

namespace {

// Each optional part of a link is set only when given, and then must be accepted.
bool describe(IShellLinkW& shellLink, const platform::ShellLink& link) {
    if (FAILED(shellLink.SetPath(toWide(link.target).c_str()))) return false;
    if (link.arguments && FAILED(shellLink.SetArguments(toWide(*link.arguments).c_str()))) return false;
    if (link.description && FAILED(shellLink.SetDescription(toWide(*link.description).c_str()))) return false;
    if (link.showCommand >= 1 && FAILED(shellLink.SetShowCmd(link.showCommand))) return false;
    if (link.workingFolder && FAILED(shellLink.SetWorkingDirectory(toWide(*link.workingFolder).c_str()))) return false;
    if (link.iconPath && link.iconIndex >= 0 &&
        FAILED(shellLink.SetIconLocation(toWide(*link.iconPath).c_str(), link.iconIndex)))
        return false;
    return true;
}

}  // namespace

bool Win32System::createShellLink(const std::u16string& linkPath, const platform::ShellLink& link) {
    ComPtr<IShellLinkW> shellLink;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(shellLink.out()))) ||
        !shellLink)
        return false;
    if (!describe(*shellLink.get(), link)) return false;
    ComPtr<IPersistFile> file;
    if (FAILED(shellLink.get()->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.out()))) || !file)
        return false;
    return SUCCEEDED(file.get()->Save(toWide(linkPath).c_str(), TRUE));
}

namespace {

std::u16string specialFolder(int csidl) {
    wchar_t folder[MAX_PATH];
    if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, folder))) return {};
    return fromWide(folder);
}

}  // namespace

std::u16string Win32System::commonStartMenuFolder() { return specialFolder(CSIDL_COMMON_STARTMENU); }

std::u16string Win32System::desktopFolder(bool common) {
    return specialFolder(common ? CSIDL_COMMON_DESKTOPDIRECTORY : CSIDL_DESKTOPDIRECTORY);
}

std::u16string Win32System::programsFolder(bool common) {
    return specialFolder(common ? CSIDL_COMMON_PROGRAMS : CSIDL_PROGRAMS);
}

std::u16string Win32System::documentsFolder() { return specialFolder(CSIDL_PERSONAL); }

std::u16string Win32System::appDataFolder() { return specialFolder(CSIDL_APPDATA); }

std::u16string Win32System::localAppDataFolder() { return specialFolder(CSIDL_LOCAL_APPDATA); }

std::u16string Win32System::programFilesFolder(bool for32BitPrograms) {
    return specialFolder(for32BitPrograms ? CSIDL_PROGRAM_FILESX86 : CSIDL_PROGRAM_FILES);
}
