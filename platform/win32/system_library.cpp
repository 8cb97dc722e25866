#include "platform/win32/system_library.h"

#include <string>

ModuleHandle loadSystemLibrary(const wchar_t* name) {
    // LOAD_LIBRARY_SEARCH_SYSTEM32 needs Windows 8 or update KB2533623; a full path from
    // the system folder works everywhere.
    wchar_t folder[MAX_PATH];
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return ModuleHandle();
    const std::wstring path = std::wstring(folder, length) + L"\\" + name;
    return ModuleHandle(LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}

void hardenDllSearchPath() {
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    auto setDirectories =
        exportOf<SetDefaultDllDirectoriesFn>(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories");
    if (setDirectories) setDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    SetDllDirectoryW(L"");  // also drops the current folder from the search
}
