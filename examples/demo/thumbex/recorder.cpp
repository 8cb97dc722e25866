// A stand-in for the thumbnail extension's tools (the shell restart and the registration
// programs): it only records that it ran. With SETUP_STANDIN_LOG=<file> in the environment
// it appends "<its file name> <arguments> | <current folder>" as one UTF-8 line, so a test
// sees which tool ran, with what, and from where. Exit code 0.
#include <windows.h>

#include <string>

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

void appendUtf8(const wchar_t* path, const std::wstring& line) {
    const int bytes =
        WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), utf8.data(), bytes, nullptr, nullptr);
    HANDLE file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
    CloseHandle(file);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    wchar_t log[MAX_PATH];
    const DWORD n = GetEnvironmentVariableW(L"SETUP_STANDIN_LOG", log, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return 0;
    std::wstring line = ownFileName();
    for (int i = 1; i < argc; ++i) line += std::wstring(L" ") + argv[i];
    appendUtf8(log, line + L" | " + currentFolder() + L"\r\n");
    return 0;
}
