// Version resources of files. version.dll is not one of the loader's known DLLs, so it is
// loaded from the system folder here instead of being imported.
#include "platform/win32/win32_system.h"

#include <cwchar>

#include "platform/win32/wide.h"

namespace {

// Four upper-case hex digits, as %04X writes a WORD: swprintf would pull the C library's
// whole wide formatter into setup.exe for this one query.
std::wstring hex4(unsigned value) {
    static const wchar_t kDigits[] = L"0123456789ABCDEF";
    std::wstring out(4, L'0');
    for (int i = 3; i >= 0; --i, value >>= 4) out[i] = kDigits[value & 0xF];
    return out;
}

struct VersionApi {
    using SizeFn = DWORD(WINAPI*)(const wchar_t*, DWORD*);
    using InfoFn = BOOL(WINAPI*)(const wchar_t*, DWORD, DWORD, void*);
    using QueryFn = BOOL(WINAPI*)(const void*, const wchar_t*, void**, UINT*);

    ModuleHandle module = loadSystemLibrary(L"version.dll");
    SizeFn size = exportOf<SizeFn>(module.get(), "GetFileVersionInfoSizeW");
    InfoFn info = exportOf<InfoFn>(module.get(), "GetFileVersionInfoW");
    QueryFn query = exportOf<QueryFn>(module.get(), "VerQueryValueW");

    bool usable() const { return size && info && query; }
};

// The string block to read: the one translation when the file lists exactly one,
// otherwise the user's language with the Unicode code page.
std::wstring stringBlockQuery(const VersionApi& api, const void* block, const std::wstring& name) {
    struct Translation {
        WORD language, codePage;
    };
    void* translations = nullptr;
    UINT bytes = 0;
    std::wstring query = L"\\StringFileInfo\\";
    if (api.query(block, L"\\VarFileInfo\\Translation", &translations, &bytes) && translations &&
        bytes == sizeof(Translation)) {
        const auto* only = static_cast<const Translation*>(translations);
        query += hex4(only->language) + hex4(only->codePage);
    } else {
        query += hex4(GetUserDefaultLangID()) + L"04B0";
    }
    return query + L"\\" + name;
}

}  // namespace

bool Win32System::readVersionString(const std::u16string& path, const std::u16string& name, std::u16string& value) {
    const VersionApi api;
    if (!api.usable()) return false;
    const std::wstring file = toWide(path);
    DWORD ignored = 0;
    const DWORD size = api.size(file.c_str(), &ignored);
    if (size == 0) return false;
    std::vector<unsigned char> block(size + 1);
    if (!api.info(file.c_str(), 0, size, block.data())) return false;

    const std::wstring query = stringBlockQuery(api, block.data(), toWide(name));
    void* text = nullptr;
    UINT length = 0;
    if (!api.query(block.data(), query.c_str(), &text, &length) || !text) return false;
    const auto* characters = static_cast<const wchar_t*>(text);
    value = fromWide(std::wstring(characters, wcsnlen(characters, length)));
    return true;
}
