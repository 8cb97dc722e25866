// The registry primitives: result codes, the view each operation uses, and the text
// terminator whatever the registry holds.
#include <gtest/gtest.h>

#include "test_support.h"

namespace {

using platform::RegRoot;

const std::u16string kKey = u"SOFTWARE\\SetupLauncherPlatformTests";
const std::wstring kKeyW = L"SOFTWARE\\SetupLauncherPlatformTests";

// A raw look into one view, independent of the code under test.
bool viewHasValue(REGSAM view, const std::wstring& key, const wchar_t* name) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_QUERY_VALUE | view, &opened) != ERROR_SUCCESS)
        return false;
    const bool found = RegQueryValueExW(opened, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    RegCloseKey(opened);
    return found;
}

bool viewHasKey(REGSAM view, const std::wstring& key) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_QUERY_VALUE | view, &opened) != ERROR_SUCCESS)
        return false;
    RegCloseKey(opened);
    return true;
}

class Registry : public testing::Test {
protected:
    void SetUp() override { deleteMachineKeyInBothViews(kKeyW); }
    void TearDown() override { deleteMachineKeyInBothViews(kKeyW); }
    Win32System system;
};

TEST_F(Registry, ResultCodesOfReadsWritesAndDeletes) {
    const std::u16string text = u"Gr\u00f6\u00dfe";
    std::uint32_t number = 0;
    std::u16string value;
    EXPECT_EQ(platform::kRegNoKey, system.regReadDword(RegRoot::LocalMachine, kKey, u"Count", number));
    EXPECT_EQ(platform::kRegNoKey, system.regReadString(RegRoot::LocalMachine, kKey, u"Name", value, 200));
    EXPECT_EQ(platform::kRegNoKey, system.regDeleteValue(RegRoot::LocalMachine, kKey, u"Name"));

    ASSERT_EQ(platform::kRegOk, system.regWriteDword(RegRoot::LocalMachine, kKey, u"Count", 0xDEADBEEF));
    ASSERT_EQ(platform::kRegOk, system.regWriteString(RegRoot::LocalMachine, kKey, u"Name", &text));
    EXPECT_EQ(platform::kRegOk, system.regReadDword(RegRoot::LocalMachine, kKey, u"Count", number));
    EXPECT_EQ(0xDEADBEEFu, number);
    EXPECT_EQ(platform::kRegOk, system.regReadString(RegRoot::LocalMachine, kKey, u"Name", value, 200));
    EXPECT_EQ(text, value);

    EXPECT_EQ(platform::kRegNoValue, system.regReadDword(RegRoot::LocalMachine, kKey, u"Missing", number));
    EXPECT_EQ(platform::kRegNoValue, system.regReadString(RegRoot::LocalMachine, kKey, u"Missing", value, 200));
    // The wrong type, whether or not its data would fit the reader's buffer.
    EXPECT_EQ(platform::kRegWrongType, system.regReadDword(RegRoot::LocalMachine, kKey, u"Name", number));
    EXPECT_EQ(platform::kRegWrongType, system.regReadString(RegRoot::LocalMachine, kKey, u"Count", value, 200));
    const std::u16string one = u"1";
    system.regWriteString(RegRoot::LocalMachine, kKey, u"Short", &one);
    EXPECT_EQ(platform::kRegWrongType, system.regReadDword(RegRoot::LocalMachine, kKey, u"Short", number));

    EXPECT_EQ(platform::kRegOk, system.regDeleteValue(RegRoot::LocalMachine, kKey, u"Name"));
    EXPECT_EQ(platform::kRegNoValue, system.regDeleteValue(RegRoot::LocalMachine, kKey, u"Name"));
    EXPECT_EQ(platform::kRegNoValue, system.regReadString(RegRoot::LocalMachine, kKey, u"Name", value, 200));
}

TEST_F(Registry, ExpandableTextIsNotAString) {
    ASSERT_EQ(platform::kRegOk, system.regWriteDword(RegRoot::LocalMachine, kKey, u"Count", 1));
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKeyW.c_str(), 0, KEY_SET_VALUE | KEY_WOW64_64KEY, &key));
    const wchar_t data[] = L"%TEMP%";
    RegSetValueExW(key, L"Expand", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(data), sizeof(data));
    RegCloseKey(key);
    std::u16string value;
    EXPECT_EQ(platform::kRegWrongType, system.regReadString(RegRoot::LocalMachine, kKey, u"Expand", value, 200));
}

TEST_F(Registry, WriteWithoutTextCreatesNoKey) {
    EXPECT_EQ(platform::kRegWrongType, system.regWriteString(RegRoot::LocalMachine, kKey, u"Name", nullptr));
    EXPECT_EQ(platform::kRegWrongType, system.regWriteString32(RegRoot::LocalMachine, kKey, u"Name", nullptr));
    EXPECT_FALSE(viewHasKey(KEY_WOW64_64KEY, kKeyW));
    EXPECT_FALSE(viewHasKey(KEY_WOW64_32KEY, kKeyW));
}

TEST_F(Registry, WritesLandInTheirViews) {
    const std::u16string text = u"x";
    ASSERT_EQ(platform::kRegOk, system.regWriteString(RegRoot::LocalMachine, kKey, u"In64", &text));
    ASSERT_EQ(platform::kRegOk, system.regWriteDword(RegRoot::LocalMachine, kKey, u"Dword64", 5));
    ASSERT_EQ(platform::kRegOk, system.regWriteString32(RegRoot::LocalMachine, kKey, u"In32", &text));
    EXPECT_TRUE(viewHasValue(KEY_WOW64_64KEY, kKeyW, L"In64"));
    EXPECT_TRUE(viewHasValue(KEY_WOW64_64KEY, kKeyW, L"Dword64"));
    EXPECT_FALSE(viewHasValue(KEY_WOW64_32KEY, kKeyW, L"In64"));
    EXPECT_FALSE(viewHasValue(KEY_WOW64_32KEY, kKeyW, L"Dword64"));
    EXPECT_TRUE(viewHasValue(KEY_WOW64_32KEY, kKeyW, L"In32"));
    EXPECT_FALSE(viewHasValue(KEY_WOW64_64KEY, kKeyW, L"In32"));
    // Seen from the 64-bit side, the 32-bit view is the Wow6432Node key.
    EXPECT_TRUE(viewHasValue(KEY_WOW64_64KEY, L"SOFTWARE\\Wow6432Node\\SetupLauncherPlatformTests", L"In32"));
}

TEST_F(Registry, ReadsUseTheDefaultViewAndRetryOnlyForAMissingKey) {
    const std::u16string text32 = u"thirty-two", text64 = u"sixty-four";
    std::u16string value;
    // Only in the 32-bit view: the default view of both builds.
    ASSERT_EQ(platform::kRegOk, system.regWriteString32(RegRoot::LocalMachine, kKey, u"Only32", &text32));
    EXPECT_EQ(platform::kRegOk, system.regReadString(RegRoot::LocalMachine, kKey, u"Only32", value, 200));
    EXPECT_EQ(text32, value);
    EXPECT_EQ(platform::kRegNoKey, system.regReadString64(RegRoot::LocalMachine, kKey, u"Only32", value, 200));

    // Now the key exists in both views, each with its own value.
    ASSERT_EQ(platform::kRegOk, system.regWriteString(RegRoot::LocalMachine, kKey, u"Only64", &text64));
    value.clear();
    EXPECT_EQ(platform::kRegOk, system.regReadString64(RegRoot::LocalMachine, kKey, u"Only64", value, 200));
    EXPECT_EQ(text64, value);
    // The default view's key exists but lacks the value: no retry.
    EXPECT_EQ(platform::kRegNoValue, system.regReadString(RegRoot::LocalMachine, kKey, u"Only64", value, 200));
    EXPECT_EQ(platform::kRegNoValue, system.regReadString64(RegRoot::LocalMachine, kKey, u"Only32", value, 200));

    // With the 32-bit key gone, the read retries in the 64-bit view.
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kKeyW.c_str(), KEY_WOW64_32KEY, 0);
    value.clear();
    EXPECT_EQ(platform::kRegOk, system.regReadString(RegRoot::LocalMachine, kKey, u"Only64", value, 200));
    EXPECT_EQ(text64, value);
    std::uint32_t number = 0;
    ASSERT_EQ(platform::kRegOk, system.regWriteDword(RegRoot::LocalMachine, kKey, u"Number", 77));
    EXPECT_EQ(platform::kRegOk, system.regReadDword(RegRoot::LocalMachine, kKey, u"Number", number));
    EXPECT_EQ(77u, number);
    EXPECT_EQ(platform::kRegOk, system.regDeleteValue(RegRoot::LocalMachine, kKey, u"Number"));
    EXPECT_FALSE(viewHasValue(KEY_WOW64_64KEY, kKeyW, L"Number"));
}

TEST_F(Registry, DeleteKeyTreeRemovesSubkeysInTheDefaultViewOnly) {
    const std::u16string text = u"x";
    ASSERT_EQ(platform::kRegOk, system.regWriteString32(RegRoot::LocalMachine, kKey + u"\\a\\b", u"Deep", &text));
    ASSERT_EQ(platform::kRegOk, system.regWriteString(RegRoot::LocalMachine, kKey + u"\\a", u"Kept", &text));
    EXPECT_EQ(platform::kRegOk, system.regDeleteKeyTree(RegRoot::LocalMachine, kKey));
    EXPECT_FALSE(viewHasKey(KEY_WOW64_32KEY, kKeyW));
    EXPECT_TRUE(viewHasValue(KEY_WOW64_64KEY, kKeyW + L"\\a", L"Kept"));
    EXPECT_EQ(platform::kRegNoKey, system.regDeleteKeyTree(RegRoot::LocalMachine, kKey));
    EXPECT_EQ(platform::kRegNoKey, system.regDeleteKeyTree(RegRoot::LocalMachine, u""));
}

TEST_F(Registry, CurrentUserIsOneViewForAll) {
    const std::u16string key = u"Software\\SetupLauncherPlatformTests", text = u"user";
    std::u16string value;
    ASSERT_EQ(platform::kRegOk, system.regWriteString32(RegRoot::CurrentUser, key, u"Name", &text));
    EXPECT_EQ(platform::kRegOk, system.regReadString(RegRoot::CurrentUser, key, u"Name", value, 200));
    EXPECT_EQ(text, value);
    EXPECT_EQ(platform::kRegOk, system.regDeleteKeyTree(RegRoot::CurrentUser, key));
}

// ---- the terminator ----

class RegistryText : public Registry {
protected:
    // Stores raw bytes as REG_SZ, as a careless program might: any length, any ending.
    void storeRaw(const wchar_t* name, const std::wstring& units) {
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKeyW.c_str(), 0, nullptr, 0,
                                                 KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, &key, nullptr));
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(units.data()),
                                                static_cast<DWORD>(units.size() * sizeof(wchar_t))));
        RegCloseKey(key);
    }
    int read(const std::u16string& name, std::u16string& value, std::size_t maxBytes) {
        return system.regReadString64(RegRoot::LocalMachine, kKey, name, value, maxBytes);
    }
};

TEST_F(RegistryText, ValueLongerThanTheBufferIsNotRead) {
    storeRaw(L"Long", std::wstring(L"0123456789") + L'\0');
    std::u16string value = u"untouched";
    EXPECT_EQ(platform::kRegNoValue, read(u"Long", value, 10));
    EXPECT_EQ(u"untouched", value);
    EXPECT_EQ(platform::kRegOk, read(u"Long", value, 22));  // exactly the text and its zero
    EXPECT_EQ(u"0123456789", value);
}

TEST_F(RegistryText, ValueWithoutTerminatorIsTerminatedWithinTheBuffer) {
    storeRaw(L"Bare", L"abcd");  // 8 bytes, no zero
    std::u16string value;
    EXPECT_EQ(platform::kRegOk, read(u"Bare", value, 10));
    EXPECT_EQ(u"abcd", value);
    // 8 bytes fit an 8-byte buffer, but not with a terminator.
    value = u"untouched";
    EXPECT_EQ(platform::kRegNoValue, read(u"Bare", value, 8));
    EXPECT_EQ(u"untouched", value);
    EXPECT_EQ(platform::kRegOk, read(u"Bare", value, 10000));
    EXPECT_EQ(u"abcd", value);
}

TEST_F(RegistryText, TextEndsAtTheFirstZero) {
    storeRaw(L"Two", std::wstring(L"ab\0cd\0", 6));
    std::u16string value;
    EXPECT_EQ(platform::kRegOk, read(u"Two", value, 200));
    EXPECT_EQ(u"ab", value);
}

}  // namespace
