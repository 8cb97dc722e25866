// The Windows Installer's answers about the product. msi.dll is loaded from the system
// folder and its functions taken by ordinal, as the launcher has always bound them.
#include "platform/win32/win32_system.h"

#include "platform/win32/wide.h"

namespace {

constexpr WORD kQueryFeatureStateOrdinal = 111;  // MsiQueryFeatureStateW
constexpr WORD kQueryProductStateOrdinal = 113;  // MsiQueryProductStateW
constexpr WORD kGetComponentPathOrdinal = 173;   // MsiGetComponentPathW
constexpr DWORD kComponentPathCharacters = 9999;

template <typename Function>
Function msiFunction(const ModuleHandle& msi, WORD ordinal) {
    return exportOf<Function>(msi.get(), MAKEINTRESOURCEA(ordinal));
}

}  // namespace

int Win32System::msiProductState(const std::u16string& productGuid) {
    using QueryProductStateFn = INT(WINAPI*)(const wchar_t*);
    ModuleHandle msi = loadSystemLibrary(L"msi.dll");
    auto query = msiFunction<QueryProductStateFn>(msi, kQueryProductStateOrdinal);
    if (!query) return platform::kInstallStateUnknown;
    return query(toWide(productGuid).c_str());
}

int Win32System::msiFeatureState(const std::u16string& productGuid, const std::u16string& feature) {
    using QueryFeatureStateFn = INT(WINAPI*)(const wchar_t*, const wchar_t*);
    ModuleHandle msi = loadSystemLibrary(L"msi.dll");
    auto query = msiFunction<QueryFeatureStateFn>(msi, kQueryFeatureStateOrdinal);
    if (!query) return platform::kInstallStateUnknown;
    return query(toWide(productGuid).c_str(), toWide(feature).c_str());
}

int Win32System::msiComponentPath(const std::u16string& productGuid, const std::u16string& componentGuid,
                                  std::u16string& path) {
    using GetComponentPathFn = INT(WINAPI*)(const wchar_t*, const wchar_t*, wchar_t*, DWORD*);
    ModuleHandle msi = loadSystemLibrary(L"msi.dll");
    auto getPath = msiFunction<GetComponentPathFn>(msi, kGetComponentPathOrdinal);
    if (!getPath) return platform::kInstallStateUnknown;
    std::wstring buffer(kComponentPathCharacters + 1, L'\0');
    DWORD length = kComponentPathCharacters;
    const int state = getPath(toWide(productGuid).c_str(), toWide(componentGuid).c_str(), &buffer[0], &length);
    path = fromWide(buffer.c_str());
    return state;
}
