// The eight registry operations, each in a view it names: the launcher ships as a 32-bit
// program, so its "default" view is the 32-bit one (Wow6432Node on 64-bit Windows) in
// the 64-bit build too, and both builds read and write the same keys. Reads fall back to
// the 64-bit view, writes land where the product expects them. On 32-bit Windows there
// is one view and both flags are ignored.
#include "platform/win32/win32_system.h"

#include "platform/win32/wide.h"

namespace {

using platform::RegRoot;

constexpr REGSAM kDefaultView = KEY_WOW64_32KEY;
constexpr REGSAM kView64 = KEY_WOW64_64KEY;

HKEY rootKey(RegRoot root) {
    switch (root) {
    case RegRoot::LocalMachine: return HKEY_LOCAL_MACHINE;
    case RegRoot::CurrentUser: return HKEY_CURRENT_USER;
    case RegRoot::ClassesRoot: return HKEY_CLASSES_ROOT;
    case RegRoot::Users: return HKEY_USERS;
    }
    return HKEY_LOCAL_MACHINE;
}

// access names its view.
RegistryKey openKey(RegRoot root, const std::u16string& subkey, REGSAM access) {
    RegistryKey key;
    if (RegOpenKeyExW(rootKey(root), toWide(subkey).c_str(), 0, access, key.out()) != ERROR_SUCCESS) key.release();
    return key;
}

// The default view first; only a key that cannot be opened there is looked for in the
// 64-bit view, where 64-bit installers register.
RegistryKey openWithRetry64(RegRoot root, const std::u16string& subkey, REGSAM access) {
    RegistryKey key = openKey(root, subkey, access | kDefaultView);
    if (!key) key = openKey(root, subkey, access | kView64);
    return key;
}

RegistryKey createKey(RegRoot root, const std::u16string& subkey, REGSAM access) {
    RegistryKey key;
    if (RegCreateKeyExW(rootKey(root), toWide(subkey).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                        key.out(), nullptr) != ERROR_SUCCESS)
        key.release();
    return key;
}

// REG_SZ into the caller's maxBytes: the text must fit there with its terminating zero,
// whether or not the registry stored one.
int queryString(const RegistryKey& key, const std::u16string& name, std::u16string& value, std::size_t maxBytes) {
    if (!key) return platform::kRegNoKey;
    const std::size_t units = maxBytes / sizeof(wchar_t);
    if (units == 0) return platform::kRegNoValue;
    std::wstring buffer(units, L'\0');
    DWORD type = REG_NONE;
    DWORD size = static_cast<DWORD>(units * sizeof(wchar_t));
    const LONG status =
        RegQueryValueExW(key.get(), toWide(name).c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&buffer[0]), &size);
    if ((status == ERROR_SUCCESS || status == ERROR_MORE_DATA) && type != REG_SZ) return platform::kRegWrongType;
    if (status != ERROR_SUCCESS) return platform::kRegNoValue;
    const std::size_t stored = size / sizeof(wchar_t);
    const std::size_t length = wcsnlen(buffer.c_str(), stored);
    if (length == units) return platform::kRegNoValue;  // no room left for the terminator
    value = fromWide(buffer.substr(0, length));
    return platform::kRegOk;
}

int setString(RegRoot root, const std::u16string& subkey, const std::u16string& name, const std::u16string* text,
              REGSAM view) {
    if (!text) return platform::kRegWrongType;  // before the key is created: nothing is left behind
    RegistryKey key = createKey(root, subkey, KEY_SET_VALUE | view);
    if (!key) return platform::kRegNoKey;
    const std::wstring data = toWide(*text);
    const DWORD bytes = static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t));
    if (RegSetValueExW(key.get(), toWide(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                       bytes) != ERROR_SUCCESS)
        return platform::kRegNoValue;
    return platform::kRegOk;
}

}  // namespace

int Win32System::regReadDword(RegRoot root, const std::u16string& subkey, const std::u16string& name,
                              std::uint32_t& value) {
    RegistryKey key = openWithRetry64(root, subkey, KEY_QUERY_VALUE);
    if (!key) return platform::kRegNoKey;
    DWORD data = 0;
    DWORD type = REG_NONE;
    DWORD size = sizeof(data);
    const LONG status =
        RegQueryValueExW(key.get(), toWide(name).c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data), &size);
    // A longer value of another type answers ERROR_MORE_DATA; its type still decides.
    if ((status == ERROR_SUCCESS || status == ERROR_MORE_DATA) && type != REG_DWORD) return platform::kRegWrongType;
    if (status != ERROR_SUCCESS || size != sizeof(data)) return platform::kRegNoValue;
    value = data;
    return platform::kRegOk;
}

int Win32System::regReadString(RegRoot root, const std::u16string& subkey, const std::u16string& name,
                               std::u16string& value, std::size_t maxBytes) {
    return queryString(openWithRetry64(root, subkey, KEY_QUERY_VALUE), name, value, maxBytes);
}

int Win32System::regReadString64(RegRoot root, const std::u16string& subkey, const std::u16string& name,
                                 std::u16string& value, std::size_t maxBytes) {
    return queryString(openKey(root, subkey, KEY_QUERY_VALUE | kView64), name, value, maxBytes);
}

int Win32System::regWriteDword(RegRoot root, const std::u16string& subkey, const std::u16string& name,
                               std::uint32_t value) {
    RegistryKey key = createKey(root, subkey, KEY_SET_VALUE | kView64);
    if (!key) return platform::kRegNoKey;
    const DWORD data = value;
    if (RegSetValueExW(key.get(), toWide(name).c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                       sizeof(data)) != ERROR_SUCCESS)
        return platform::kRegNoValue;
    return platform::kRegOk;
}

int Win32System::regWriteString(RegRoot root, const std::u16string& subkey, const std::u16string& name,
                                const std::u16string* text) {
    return setString(root, subkey, name, text, kView64);
}

int Win32System::regWriteString32(RegRoot root, const std::u16string& subkey, const std::u16string& name,
                                  const std::u16string* text) {
    return setString(root, subkey, name, text, kDefaultView);
}

int Win32System::regDeleteValue(RegRoot root, const std::u16string& subkey, const std::u16string& name) {
    RegistryKey key = openWithRetry64(root, subkey, KEY_SET_VALUE);
    if (!key) return platform::kRegNoKey;
    return RegDeleteValueW(key.get(), toWide(name).c_str()) == ERROR_SUCCESS ? platform::kRegOk : platform::kRegNoValue;
}

int Win32System::regDeleteKeyTree(RegRoot root, const std::u16string& subkey) {
    // In the default view, like the key's other users: the contents first, then the key.
    const std::wstring path = toWide(subkey);
    if (path.empty()) return platform::kRegNoKey;  // never the whole root
    RegistryKey key =
        openKey(root, subkey, DELETE | KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE | KEY_SET_VALUE | kDefaultView);
    if (!key) return platform::kRegNoKey;
    if (RegDeleteTreeW(key.get(), nullptr) != ERROR_SUCCESS) return platform::kRegNoKey;
    key.reset();
    return RegDeleteKeyExW(rootKey(root), path.c_str(), kDefaultView, 0) == ERROR_SUCCESS ? platform::kRegOk
                                                                                          : platform::kRegNoKey;
}
