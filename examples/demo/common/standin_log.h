// The log the demo's stand-in programs keep for the tests: one UTF-8 line per run,
// appended to the file that SETUP_STANDIN_LOG names (nothing when it is not set).
#pragma once

#include <windows.h>

#include <string>

inline void appendStandinLog(const std::wstring& line) {
    wchar_t path[MAX_PATH];
    const DWORD n = GetEnvironmentVariableW(L"SETUP_STANDIN_LOG", path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return;
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
