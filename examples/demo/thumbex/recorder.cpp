// A stand-in for the thumbnail extension's tools (the shell restart and the registration
// programs): it only records that it ran. With SETUP_STANDIN_LOG=<file> in the environment
// it appends "<its file name> <arguments> | <current folder>" as one UTF-8 line, so a test
// sees which tool ran, with what, and from where. Exit code 0.
#include <windows.h>

#include <string>

#include "standin_log.h"

namespace {

std::wstring ownFileName() {
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return L"?";
    const std::wstring full(path, n);
    return full.substr(full.find_last_of(L'\\') + 1);
}

std::wstring currentFolder() {
    wchar_t folder[MAX_PATH];
    const DWORD n = GetCurrentDirectoryW(MAX_PATH, folder);
    return n == 0 || n >= MAX_PATH ? L"?" : std::wstring(folder, n);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring line = ownFileName();
    for (int i = 1; i < argc; ++i) line += std::wstring(L" ") + argv[i];
    appendStandinLog(line + L" | " + currentFolder() + L"\r\n");
    return 0;
}
