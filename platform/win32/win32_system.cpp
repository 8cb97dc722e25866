// Process set-up, the launcher's own path, Windows itself and its folders.
#include "platform/win32/win32_system.h"

#include <commctrl.h>
#include <objbase.h>

#include "platform/win32/wide.h"

namespace {

constexpr wchar_t kInstanceMutexName[] = L"BDCB5CE1-2AAB-46B0-8F00-33D004F5E53D";

// A folder from one of the Get...DirectoryW calls, which answer the length needed when
// the buffer is too small.
template <typename Query>
std::u16string folderFrom(Query query) {
    std::wstring buffer(MAX_PATH, L'\0');
    UINT length = query(&buffer[0], static_cast<UINT>(buffer.size()));
    if (length >= buffer.size()) {
        buffer.assign(length + 1, L'\0');
        length = query(&buffer[0], static_cast<UINT>(buffer.size()));
        if (length >= buffer.size()) return {};
    }
    buffer.resize(length);
    return fromWide(buffer);
}

}  // namespace

void Win32System::initCommonControls() {
    INITCOMMONCONTROLSEX controls{sizeof(controls), 0xFF};
    InitCommonControlsEx(&controls);
}

void Win32System::initCom() { comInitialised_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)); }

void Win32System::uninitCom() {
    if (comInitialised_) CoUninitialize();
    comInitialised_ = false;
}

bool Win32System::claimSingleInstance() {
    instanceMutex_.reset(CreateMutexW(nullptr, TRUE, kInstanceMutexName));
    const bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
    if (instanceMutex_) ReleaseMutex(instanceMutex_.get());
    return !existed;
}

std::u16string Win32System::launcherPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    std::wstring full(32768, L'\0');
    const DWORD fullLength = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), &full[0], nullptr);
    if (fullLength == 0 || fullLength >= full.size()) return fromWide(path);
    full.resize(fullLength);
    return fromWide(full);
}

int Win32System::osVersionNumber() {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof(info);
    if (!GetVersionExW(&info)) return 0;
    return static_cast<int>(info.dwMajorVersion * 10 + info.dwMinorVersion);
}

bool Win32System::isAdministrator() {
    SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
    PSID administrators = nullptr;
    if (!AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0,
                                  0, &administrators))
        return false;
    BOOL member = FALSE;
    if (!CheckTokenMembership(nullptr, administrators, &member)) member = FALSE;
    FreeSid(administrators);
    return member != FALSE;
}

int Win32System::systemUiLocale() {
    using GetUiLanguageFn = LANGID(WINAPI*)();
    auto getUiLanguage = exportOf<GetUiLanguageFn>(GetModuleHandleW(L"kernel32.dll"), "GetUserDefaultUILanguage");
    const LCID locale = getUiLanguage ? getUiLanguage() : LOCALE_USER_DEFAULT;
    return static_cast<int>(ConvertDefaultLocale(locale));
}

std::u16string Win32System::systemFolder() {
    return folderFrom([](wchar_t* buffer, UINT size) { return GetSystemDirectoryW(buffer, size); });
}

std::u16string Win32System::windowsFolder() {
    return folderFrom([](wchar_t* buffer, UINT size) { return GetSystemWindowsDirectoryW(buffer, size); });
}

bool Win32System::environmentVariable(const std::u16string& name, std::u16string& value) {
    const std::wstring variable = toWide(name);
    std::wstring buffer(256, L'\0');
    for (;;) {
        SetLastError(ERROR_SUCCESS);
        const DWORD length = GetEnvironmentVariableW(variable.c_str(), &buffer[0], static_cast<DWORD>(buffer.size()));
        // 0 is also the length of a variable set to nothing; only the error tells them apart.
        if (length == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND) return false;
        if (length < buffer.size()) {
            buffer.resize(length);
            value = fromWide(buffer);
            return true;
        }
        buffer.assign(length, L'\0');
    }
}

bool Win32System::setCurrentFolder(const std::u16string& path) {
    return SetCurrentDirectoryW(toWide(path).c_str()) != FALSE;
}

platform::LocalTime Win32System::localTime() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}
