// Child processes and the process list. The process-list functions live in kernel32 as
// K32* since Windows 7; older systems get them from the system folder's psapi.dll, never
// from an import that would search the launcher's folder.
#include "platform/win32/win32_system.h"

#include "platform/win32/wide.h"

namespace {

constexpr DWORD kMaxProcesses = 10000;
constexpr DWORD kBaseNameCharacters = 260;

struct ProcessApi {
    using EnumProcessesFn = BOOL(WINAPI*)(DWORD*, DWORD, DWORD*);
    using EnumModulesFn = BOOL(WINAPI*)(HANDLE, HMODULE*, DWORD, DWORD*);
    using BaseNameFn = DWORD(WINAPI*)(HANDLE, HMODULE, wchar_t*, DWORD);

    ModuleHandle psapi;
    EnumProcessesFn enumProcesses = nullptr;
    EnumModulesFn enumModules = nullptr;
    BaseNameFn baseName = nullptr;

    ProcessApi() {
        HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
        if (!take(kernel, "K32EnumProcesses", "K32EnumProcessModules", "K32GetModuleBaseNameW")) {
            psapi = loadSystemLibrary(L"psapi.dll");
            take(psapi.get(), "EnumProcesses", "EnumProcessModules", "GetModuleBaseNameW");
        }
    }
    bool take(HMODULE module, const char* processes, const char* modules, const char* name) {
        enumProcesses = exportOf<EnumProcessesFn>(module, processes);
        enumModules = exportOf<EnumModulesFn>(module, modules);
        baseName = exportOf<BaseNameFn>(module, name);
        return enumProcesses && enumModules && baseName;
    }
};

}  // namespace

std::uint32_t Win32System::doRunProcess(const std::u16string& commandLine, std::uint32_t limitMs,
                                        const std::u16string& folder) {
    // CreateProcessW may write into the command line, so it gets its own buffer.
    std::wstring buffer = toWide(commandLine);
    buffer.push_back(L'\0');
    const std::wstring inFolder = toWide(folder);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(nullptr, &buffer[0], nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr,
                        inFolder.empty() ? nullptr : inFolder.c_str(), &startup, &started))
        return GetLastError();
    const KernelHandle process(started.hProcess);
    const KernelHandle thread(started.hThread);
    // A child still running at the limit is left alone; its exit code reads STILL_ACTIVE.
    WaitForSingleObject(process.get(), limitMs);
    DWORD exitCode = 0;
    if (!GetExitCodeProcess(process.get(), &exitCode)) exitCode = 0;
    return exitCode;
}

namespace {

// CreateProcessW may write into the command line, so it gets its own buffer.
bool createProcess(const std::u16string& commandLine, const std::u16string& folder, PROCESS_INFORMATION& started) {
    std::wstring buffer = toWide(commandLine);
    buffer.push_back(L'\0');
    const std::wstring inFolder = toWide(folder);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    return CreateProcessW(nullptr, &buffer[0], nullptr, nullptr, FALSE, 0, nullptr,
                          inFolder.empty() ? nullptr : inFolder.c_str(), &startup, &started) != FALSE;
}

}  // namespace

bool Win32System::doRunAndWait(const std::u16string& commandLine, std::uint32_t& exitCode) {
    PROCESS_INFORMATION started{};
    if (!createProcess(commandLine, u"", started)) return false;
    const KernelHandle process(started.hProcess);
    const KernelHandle thread(started.hThread);
    WaitForSingleObject(process.get(), INFINITE);
    DWORD code = 0;
    if (!GetExitCodeProcess(process.get(), &code)) code = 0;
    exitCode = code;
    return true;
}

bool Win32System::doStartProcess(const std::u16string& commandLine, const std::u16string& folder) {
    PROCESS_INFORMATION started{};
    if (!createProcess(commandLine, folder, started)) return false;
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    return true;
}

std::u16string Win32System::commandLine() { return fromWide(GetCommandLineW()); }

std::vector<platform::ProcessEntry> Win32System::listProcesses() {
    std::vector<platform::ProcessEntry> processes;
    const ProcessApi api;
    if (!api.enumProcesses) return processes;
    std::vector<DWORD> ids(kMaxProcesses);
    DWORD bytes = 0;
    if (!api.enumProcesses(ids.data(), static_cast<DWORD>(ids.size() * sizeof(DWORD)), &bytes)) return processes;
    ids.resize(bytes / sizeof(DWORD));
    for (const DWORD id : ids) {
        if (id == 0) continue;
        const KernelHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id));
        if (!process) continue;
        HMODULE mainModule = nullptr;
        DWORD needed = 0;
        if (!api.enumModules(process.get(), &mainModule, sizeof(mainModule), &needed)) continue;
        wchar_t name[kBaseNameCharacters + 1] = {};
        if (api.baseName(process.get(), mainModule, name, kBaseNameCharacters) == 0) continue;
        processes.push_back({id, fromWide(name)});
    }
    return processes;
}

void Win32System::terminateProcess(std::uint32_t processId) {
    const KernelHandle process(OpenProcess(PROCESS_ALL_ACCESS, FALSE, processId));
    if (process) TerminateProcess(process.get(), 0);
}
