#include "platform/win32/win32_system.h"

#include <commctrl.h>
#include <objbase.h>

#include <cstring>

#include "platform/win32/wide.h"

namespace {

constexpr wchar_t kInstanceMutexName[] = L"BDCB5CE1-2AAB-46B0-8F00-33D004F5E53D";
constexpr int kMsiFeatureStateOrdinal = 111;
constexpr int kInstallStateLocal = 3;

HKEY rootKey(platform::RegRoot root) {
    switch (root) {
    case platform::RegRoot::LocalMachine: return HKEY_LOCAL_MACHINE;
    case platform::RegRoot::CurrentUser: return HKEY_CURRENT_USER;
    case platform::RegRoot::ClassesRoot: return HKEY_CLASSES_ROOT;
    case platform::RegRoot::Users: return HKEY_USERS;
    }
    return HKEY_LOCAL_MACHINE;
}

// Opens in the default view and retries in the 64-bit view, as a 32-bit launcher on
// 64-bit Windows must to find keys that 64-bit installers write.
RegistryKey openForQuery(platform::RegRoot root, const std::u16string& subkey) {
    RegistryKey key;
    const std::wstring path = toWide(subkey);
    if (RegOpenKeyExW(rootKey(root), path.c_str(), 0, KEY_QUERY_VALUE, key.out()) == ERROR_SUCCESS) return key;
    if (RegOpenKeyExW(rootKey(root), path.c_str(), 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, key.out()) == ERROR_SUCCESS)
        return key;
    return RegistryKey();
}

}  // namespace

ModuleHandle loadSystemLibrary(const wchar_t* name) {
    return ModuleHandle(LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
}

void hardenDllSearchPath() {
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    auto setDirectories = reinterpret_cast<SetDefaultDllDirectoriesFn>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (setDirectories) setDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    SetDllDirectoryW(L"");  // also drops the current folder from the search
}

void Win32System::initCommonControls() {
    INITCOMMONCONTROLSEX controls{sizeof(controls), 0xFF};
    InitCommonControlsEx(&controls);
}

void Win32System::initCom() {
    comInitialised_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
}

void Win32System::uninitCom() {
    if (comInitialised_) CoUninitialize();
    comInitialised_ = false;
}

std::vector<unsigned char> Win32System::loadCustomResource(const std::u16string& name, int& error) {
    const std::wstring resourceName = toWide(name);
    HRSRC found = FindResourceW(nullptr, resourceName.c_str(), L"CUSTOM");
    if (!found) { error = platform::kResourceNotFound; return {}; }
    HGLOBAL loaded = LoadResource(nullptr, found);
    if (!loaded) { error = platform::kResourceLoadFailed; return {}; }
    const void* data = LockResource(loaded);
    if (!data) { error = platform::kResourceLockFailed; return {}; }
    const DWORD size = SizeofResource(nullptr, found);
    if (size == 0) { error = platform::kResourceEmpty; return {}; }
    const auto* bytes = static_cast<const unsigned char*>(data);
    error = platform::kResourceOk;
    return std::vector<unsigned char>(bytes, bytes + size);
}

int Win32System::regReadString(platform::RegRoot root, const std::u16string& subkey,
                               const std::u16string& valueName, std::u16string& value,
                               std::size_t maxBytes) {
    RegistryKey key = openForQuery(root, subkey);
    if (!key) return platform::kRegNoKey;
    // One spare character so the text is terminated whatever the registry holds.
    std::wstring buffer(maxBytes / sizeof(wchar_t) + 1, L'\0');
    DWORD type = 0;
    DWORD size = static_cast<DWORD>((buffer.size() - 1) * sizeof(wchar_t));
    const std::wstring name = toWide(valueName);
    if (RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&buffer[0]),
                         &size) != ERROR_SUCCESS)
        return platform::kRegNoValue;
    if (type != REG_SZ) return platform::kRegWrongType;
    buffer.resize(size / sizeof(wchar_t));
    value = fromWide(buffer.c_str());
    return platform::kRegOk;
}

bool Win32System::readVersionString(const std::u16string& path, const std::u16string& name,
                                    std::u16string& value) {
    const std::wstring file = toWide(path);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
    if (size == 0) return false;
    std::vector<unsigned char> block(size + 1);
    if (!GetFileVersionInfoW(file.c_str(), 0, size, block.data())) return false;

    struct Translation { WORD language, codePage; };
    Translation* translations = nullptr;
    UINT translationBytes = 0;
    wchar_t query[256];
    // Exactly one translation names its block; otherwise the user's language is assumed.
    if (VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations),
                       &translationBytes) && translationBytes == sizeof(Translation)) {
        wsprintfW(query, L"\\StringFileInfo\\%04X%04X\\%s", translations->language, translations->codePage,
                  toWide(name).c_str());
    } else {
        wsprintfW(query, L"\\StringFileInfo\\%04X04B0\\%s", GetUserDefaultLangID(), toWide(name).c_str());
    }
    wchar_t* text = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.data(), query, reinterpret_cast<void**>(&text), &length) || !text) return false;
    value = fromWide(std::wstring(text, wcsnlen(text, length)));
    return true;
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
    if (!AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0,
                                  0, 0, 0, &administrators))
        return false;
    BOOL member = FALSE;
    if (!CheckTokenMembership(nullptr, administrators, &member)) member = FALSE;
    FreeSid(administrators);
    return member != FALSE;
}

int Win32System::systemUiLocale() {
    using GetUiLanguageFn = LANGID(WINAPI*)();
    auto getUiLanguage = reinterpret_cast<GetUiLanguageFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetUserDefaultUILanguage")));
    const LCID locale = getUiLanguage ? getUiLanguage() : LOCALE_USER_DEFAULT;
    return static_cast<int>(ConvertDefaultLocale(locale));
}

bool Win32System::isFeatureInstalledLocally(const std::u16string& productGuid, const std::u16string& feature) {
    using QueryFeatureStateFn = int(WINAPI*)(const wchar_t*, const wchar_t*);
    ModuleHandle msi = loadSystemLibrary(L"msi.dll");
    if (!msi) return false;
    auto query = reinterpret_cast<QueryFeatureStateFn>(reinterpret_cast<void*>(
        GetProcAddress(msi.get(), MAKEINTRESOURCEA(kMsiFeatureStateOrdinal))));
    if (!query) return false;
    return query(toWide(productGuid).c_str(), toWide(feature).c_str()) == kInstallStateLocal;
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

std::u16string Win32System::tempFolder() {
    wchar_t buffer[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
    if (length == 0 || length > MAX_PATH) return {};
    std::u16string path = fromWide(buffer);
    const auto cut = path.rfind(u'\\');
    return cut == std::u16string::npos ? std::u16string() : path.substr(0, cut);
}

bool Win32System::setCurrentFolder(const std::u16string& path) {
    return SetCurrentDirectoryW(toWide(path).c_str()) != FALSE;
}

bool Win32System::fileExists(const std::u16string& path) {
    std::wstring name = toWide(path);
    if (name.size() > 3 && name[0] == L'\\' && name[1] == L'\\') {
        // already a long-path or network path
    } else if (name.size() > 2 && name[0] == L'\\') {
        name = L"\\\\?\\UNC" + name.substr(1);
    } else {
        name = L"\\\\?\\" + name;
    }
    WIN32_FIND_DATAW data;
    FindHandle search(FindFirstFileW(name.c_str(), &data));
    return static_cast<bool>(search);
}

bool Win32System::readWholeFile(const std::u16string& path, std::vector<unsigned char>& bytes) {
    FileHandle file(CreateFileW(toWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > 0x7FFFFFFF) return false;
    bytes.assign(static_cast<std::size_t>(size.QuadPart), 0);
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        const DWORD want = static_cast<DWORD>(bytes.size() - done);
        if (!ReadFile(file.get(), bytes.data() + done, want, &got, nullptr) || got == 0) break;
        done += got;
    }
    bytes.resize(done);
    return true;
}

bool Win32System::deleteFile(const std::u16string& path) {
    return DeleteFileW(toWide(path).c_str()) != FALSE;
}

int Win32System::copyFile(const std::u16string& source, const std::u16string& target) {
    FileHandle in(CreateFileW(toWide(source).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!in) return -1;
    FileHandle out(CreateFileW(toWide(target).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!out) return -2;
    std::vector<unsigned char> chunk(100000);
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(in.get(), chunk.data(), static_cast<DWORD>(chunk.size()), &got, nullptr) || got == 0) break;
        DWORD written = 0;
        WriteFile(out.get(), chunk.data(), got, &written, nullptr);
    }
    return 0;
}
