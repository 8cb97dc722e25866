// A stand-in for a .NET Framework redistributable, so that the launcher's runtime step can be
// exercised without Microsoft's installers. It leaves behind exactly what the launcher's
// detection looks at: the NDP registry values and a runtime loader (mscoree.dll) with a high
// enough file version. Which runtime it plays is fixed at build time (standin_profile.h).
//
// Exit code: 0 unless "/exitcode:N" on the command line or SETUP_STANDIN_EXIT=N in the
// environment says otherwise (the command line wins). Like a real installer, a failure
// code leaves the system untouched; 3010 and 1641 ("reboot needed") count as success.
// Every other switch (/q, /norestart, ...) is accepted and ignored.
// SETUP_STANDIN_LOG=<file> appends one line per run, so tests can see the arguments.
#include "standin_profile.h"

#include "standin_log.h"

#include <cwchar>
#include <optional>
#include <string>

namespace {

constexpr DWORD kInstallFailure = 1603;  // ERROR_INSTALL_FAILURE, what a real one returns

std::optional<DWORD> parseCode(const wchar_t* text) {
    if (!text || !*text) return std::nullopt;
    wchar_t* end = nullptr;
    const long value = std::wcstol(text, &end, 10);
    if (*end != L'\0') return std::nullopt;
    return static_cast<DWORD>(value);
}

std::optional<DWORD> codeFromArguments(int argc, wchar_t** argv) {
    std::optional<DWORD> code;
    for (int i = 1; i < argc; ++i) {
        const wchar_t* arg = argv[i];
        if ((arg[0] == L'/' || arg[0] == L'-') && _wcsnicmp(arg + 1, L"exitcode:", 9) == 0)
            code = parseCode(arg + 10);  // the last one counts
    }
    return code;
}

std::optional<DWORD> codeFromEnvironment() {
    wchar_t buffer[32];
    const DWORD n = GetEnvironmentVariableW(L"SETUP_STANDIN_EXIT", buffer, 32);
    if (n == 0 || n >= 32) return std::nullopt;
    return parseCode(buffer);
}

bool writeValues(REGSAM view) {
    const StandinProfile& p = kStandinProfile;
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, p.ndpKey, 0, nullptr, 0, KEY_SET_VALUE | view, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    const DWORD one = 1;
    bool ok =
        RegSetValueExW(key, L"Install", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof one) == ERROR_SUCCESS;
    if (p.servicePack != 0)
        ok = ok && RegSetValueExW(key, L"SP", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&p.servicePack),
                                  sizeof p.servicePack) == ERROR_SUCCESS;
    const DWORD versionBytes = static_cast<DWORD>((std::wcslen(p.version) + 1) * sizeof(wchar_t));
    ok = ok && RegSetValueExW(key, L"Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(p.version), versionBytes) ==
                   ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}

WORD fileMajorVersion(const std::wstring& path) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0) return 0;
    std::string block(size, '\0');
    if (!GetFileVersionInfoW(path.c_str(), 0, size, block.data())) return 0;
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&info), &length) || !info) return 0;
    return HIWORD(info->dwFileVersionMS);
}

// The launcher also wants the runtime loader with a matching file version. Real Windows has
// a newer one already and is left alone; Wine's built-in mscoree.dll has no version resource
// at all, so this program, whose own version resource carries the runtime's version, is
// copied in its place (Wine keeps loading its built-in DLL whatever the file holds).
bool provideRuntimeLoader() {
    wchar_t folder[MAX_PATH];
    const UINT n = GetSystemDirectoryW(folder, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return false;
    const std::wstring target = std::wstring(folder) + L"\\mscoree.dll";
    if (fileMajorVersion(target) >= kStandinProfile.mscoreeMajor) return true;
    wchar_t self[MAX_PATH];
    const DWORD m = GetModuleFileNameW(nullptr, self, MAX_PATH);
    if (m == 0 || m >= MAX_PATH) return false;
    return CopyFileW(self, target.c_str(), FALSE) != 0;
}

bool install() {
    // KEY_WOW64_32KEY is the view a 32-bit redistributable writes; the 64-bit ones add the
    // 64-bit view, as the real x64 ones do. Naming both views explicitly gives the same result
    // whether this program is built 32-bit (as shipped) or 64-bit.
    bool ok = writeValues(KEY_WOW64_32KEY);
    if (kStandinProfile.also64BitView) ok = writeValues(KEY_WOW64_64KEY) && ok;
    return provideRuntimeLoader() && ok;
}

void appendLog(int argc, wchar_t** argv, DWORD code) {
    std::wstring line = argc > 0 ? argv[0] : L"";
    for (int i = 1; i < argc; ++i) line += std::wstring(L" ") + argv[i];
    appendStandinLog(line + L" -> " + std::to_wstring(code) + L"\r\n");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    DWORD code = 0;
    if (auto fromEnv = codeFromEnvironment()) code = *fromEnv;
    if (auto fromArgs = codeFromArguments(argc, argv)) code = *fromArgs;

    const bool success = code == 0 || code == ERROR_SUCCESS_REBOOT_REQUIRED || code == ERROR_SUCCESS_REBOOT_INITIATED;
    if (success && !install()) code = kInstallFailure;
    appendLog(argc, argv, code);
    return static_cast<int>(code);
}
