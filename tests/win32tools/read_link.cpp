// read-link: what a shortcut holds, read back through the shell's own IShellLinkW, as
// UTF-8 lines "target=", "arguments=", "working-folder=" and "description=".
//   read-link <file.lnk> <out.txt>     exit code 0, or 2 (usage), 3 (not readable), 4 (out)
#include <windows.h>
#include <shlobj.h>

#include <fstream>
#include <string>

#include "platform/strings.h"
#include "platform/win32/wide.h"

namespace {

template <typename Get>
std::string part(Get get) {
    wchar_t text[INFOTIPSIZE] = L"";
    if (FAILED(get(text, INFOTIPSIZE))) return "<unreadable>";
    return wideToUtf8(fromWide(text));
}

int readLink(const wchar_t* linkPath, const wchar_t* outPath) {
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link))))
        return 3;
    IPersistFile* file = nullptr;
    int result = 3;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
        SUCCEEDED(file->Load(linkPath, STGM_READ))) {
        std::ofstream out(outPath, std::ios::binary | std::ios::trunc);
        out << "target=" << part([&](wchar_t* t, int n) { return link->GetPath(t, n, nullptr, SLGP_RAWPATH); })
            << "\narguments=" << part([&](wchar_t* t, int n) { return link->GetArguments(t, n); })
            << "\nworking-folder=" << part([&](wchar_t* t, int n) { return link->GetWorkingDirectory(t, n); })
            << "\ndescription=" << part([&](wchar_t* t, int n) { return link->GetDescription(t, n); }) << "\n";
        result = out ? 0 : 4;
    }
    if (file) file->Release();
    link->Release();
    return result;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) return 2;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const int result = readLink(argv[1], argv[2]);
    CoUninitialize();
    return result;
}
