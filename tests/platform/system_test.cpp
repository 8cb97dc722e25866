// Windows itself: version, rights, language, folders, environment, single instance.
#include <gtest/gtest.h>

#include "platform/files.h"
#include "platform/queries.h"
#include "platform/strings.h"
#include "test_support.h"

namespace {

TEST(SystemQueries, WindowsAsWineReportsIt) {
    Win32System system;
    EXPECT_GE(system.osVersionNumber(), 51);
    EXPECT_TRUE(system.isAdministrator());  // Wine runs every program elevated
    EXPECT_TRUE(isWindows64(system));       // a 64-bit prefix
    const LANGID ui = GetUserDefaultUILanguage();
    EXPECT_EQ(static_cast<int>(ConvertDefaultLocale(ui)), system.systemUiLocale());
}

TEST(SystemQueries, FoldersExistWithoutTrailingBackslash) {
    Win32System system;
    for (const std::u16string& folder : {system.systemFolder(), system.windowsFolder(), system.tempFolder()}) {
        ASSERT_FALSE(folder.empty());
        EXPECT_NE(u'\\', folder.back()) << toWide(folder).c_str();
        EXPECT_TRUE(isFolder(folder)) << toWide(folder).c_str();
    }
    EXPECT_TRUE(equalsIgnoringAsciiCase(system.systemFolder(), system.windowsFolder() + u"\\system32"));
    EXPECT_TRUE(isFolder(launcherFolder(system)));
    EXPECT_TRUE(equalsIgnoringAsciiCase(fileNameOfPath(system.launcherPath()), u"platform_tests.exe"));
}

TEST(SystemQueries, EnvironmentVariablesSetEmptyAndMissing) {
    Win32System system;
    std::u16string value = u"untouched";
    const std::wstring longText(1000, L'x');
    {
        EnvironmentOverride set(L"PLATFORM_TEST_VARIABLE", longText.c_str());
        ASSERT_TRUE(system.environmentVariable(u"PLATFORM_TEST_VARIABLE", value));
        EXPECT_EQ(fromWide(longText), value);
    }
    {
        EnvironmentOverride empty(L"PLATFORM_TEST_VARIABLE", L"");
        EXPECT_TRUE(system.environmentVariable(u"PLATFORM_TEST_VARIABLE", value));
        EXPECT_EQ(u"", value);
    }
    EXPECT_FALSE(system.environmentVariable(u"PLATFORM_TEST_VARIABLE", value));
}

TEST(SystemQueries, OnlyOneInstanceClaimsTheName) {
    Win32System first, second;
    EXPECT_TRUE(first.claimSingleInstance());
    EXPECT_FALSE(second.claimSingleInstance());
}

}  // namespace
