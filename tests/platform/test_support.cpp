#include "test_support.h"

#include <cwchar>

namespace {

bool optionValue(const wchar_t* arg, const wchar_t* name, std::u16string& value) {
    const std::size_t length = wcslen(name);
    if (wcsncmp(arg, name, length) != 0) return false;
    value = fromWide(arg + length);
    return true;
}

}  // namespace

ScenarioOptions& scenario() {
    static ScenarioOptions options;
    return options;
}

bool parseScenarioOptions(int argc, wchar_t** argv) {
    ScenarioOptions& o = scenario();
    for (int i = 1; i < argc; ++i) {
        std::u16string value;
        if (optionValue(argv[i], L"--demo-setup=", o.demoSetup) ||
            optionValue(argv[i], L"--read-only-folder=", o.readOnlyFolder) ||
            optionValue(argv[i], L"--read-only-stale-folder=", o.readOnlyStaleFolder) ||
            optionValue(argv[i], L"--device-folder=", o.deviceFolder))
            continue;
        if (optionValue(argv[i], L"--mscoree-major=", value)) {
            o.mscoreeMajor = static_cast<int>(wcstol(toWide(value).c_str(), nullptr, 10));
            continue;
        }
        if (wcscmp(argv[i], L"--msi-installed") == 0) {
            o.msiInstalled = true;
            continue;
        }
        fwprintf(stderr, L"unknown option %ls\n", argv[i]);
        return false;
    }
    return true;
}

std::u16string programFolder() {
    Win32System system;
    const std::u16string path = system.launcherPath();
    return path.substr(0, path.rfind(u'\\'));
}

ScratchFolder::ScratchFolder(const std::u16string& name) {
    Win32System system;
    path_ = system.tempFolder() + u"\\platform-tests\\" + name;
    removeTree(path_);
    makeFolders(path_);
}

ScratchFolder::~ScratchFolder() { removeTree(path_); }

void removeTree(const std::u16string& path) {
    const std::wstring folder = toWide(path);
    WIN32_FIND_DATAW data;
    const HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring child = folder + L"\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                removeTree(fromWide(child));
            } else {
                SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(child.c_str());
            }
        } while (FindNextFileW(search, &data));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}

bool writeFileBytes(const std::u16string& path, const std::string& bytes) {
    const HANDLE file =
        CreateFileW(toWide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

std::string readFileBytes(const std::u16string& path) {
    std::string bytes;
    const HANDLE file = CreateFileW(toWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    char chunk[65536];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof(chunk), &got, nullptr) && got > 0) bytes.append(chunk, got);
    CloseHandle(file);
    return bytes;
}

bool isFolder(const std::u16string& path) {
    const DWORD attributes = GetFileAttributesW(toWide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool exists(const std::u16string& path) { return GetFileAttributesW(toWide(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

bool makeFolders(const std::u16string& path) {
    if (isFolder(path)) return true;
    const auto cut = path.rfind(u'\\');
    if (cut != std::u16string::npos && cut > 2) makeFolders(path.substr(0, cut));
    return CreateDirectoryW(toWide(path).c_str(), nullptr) || isFolder(path);
}

EnvironmentOverride::EnvironmentOverride(const wchar_t* name, const wchar_t* value) : name_(name) {
    wchar_t buffer[32767];
    const DWORD length = GetEnvironmentVariableW(name, buffer, 32767);
    hadOld_ = length > 0 && length < 32767;
    if (hadOld_) old_.assign(buffer, length);
    SetEnvironmentVariableW(name, value);
}

EnvironmentOverride::~EnvironmentOverride() {
    SetEnvironmentVariableW(name_.c_str(), hadOld_ ? old_.c_str() : nullptr);
}

int runDllProbe(const std::wstring& mode) {
    if (mode == L"hardened") hardenDllSearchPath();
    return LoadLibraryW(L"plantme.dll") ? 0 : 1;
}

void deleteMachineKeyInBothViews(const std::wstring& key) {
    for (const REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
        HKEY opened = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_ALL_ACCESS | view, &opened) != ERROR_SUCCESS)
            continue;
        RegDeleteTreeW(opened, nullptr);
        RegCloseKey(opened);
        RegDeleteKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), view, 0);
    }
}
