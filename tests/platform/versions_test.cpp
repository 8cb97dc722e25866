// Version resources: the block chosen by the translation rule, and the numbers read.
#include <gtest/gtest.h>

#include "platform/version.h"
#include "test_support.h"

namespace {

TEST(Versions, OwnLauncherCarriesItsProductVersion) {
    if (scenario().demoSetup.empty()) GTEST_SKIP() << "needs --demo-setup=";
    Win32System system;
    std::u16string text;
    ASSERT_TRUE(system.readVersionString(scenario().demoSetup, u"ProductVersion", text));
    EXPECT_EQ(u"5.0.2.0", text);
    Version version{};
    ASSERT_TRUE(getFileVersion(system, scenario().demoSetup, u"FileVersion", version));
    EXPECT_EQ((Version{5, 0, 2, 0}), version);
}

TEST(Versions, TwoTranslationsMeanTheUsersLanguageInUnicode) {
    Win32System system;
    std::u16string text;
    ASSERT_TRUE(system.readVersionString(programFolder() + u"\\two_languages.dll", u"FileVersion", text));
    // The file's pairs (0407/04E4, 0409/04E4) name other blocks on purpose.
    const LANGID language = GetUserDefaultLangID();
    if (language == 0x0409) {
        EXPECT_EQ(u"1.2.3.4", text);
    } else if (language == 0x0407) {
        EXPECT_EQ(u"2.0.0.7", text);
    } else {
        ADD_FAILURE() << "run in English or German, not language " << language;
    }
}

TEST(Versions, MissingFileResourceOrStringGiveNothing) {
    Win32System system;
    std::u16string text;
    EXPECT_FALSE(system.readVersionString(programFolder() + u"\\no-such-file.dll", u"FileVersion", text));
    EXPECT_FALSE(system.readVersionString(programFolder() + u"\\plantme.dll", u"FileVersion", text));
    EXPECT_FALSE(system.readVersionString(programFolder() + u"\\two_languages.dll", u"NoSuchString", text));
}

}  // namespace
