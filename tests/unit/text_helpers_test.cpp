// UTF-8 bridge, trimming and path helpers, language codes and the start language.
#include <gtest/gtest.h>

#include <climits>

#include "platform/strings.h"
#include "text/languages.h"
#include "text/texts.h"

TEST(Utf8, RoundTripsEveryPlaneAndReplacesBrokenInput) {
    const std::u16string text = u"Größe – česky \U0001F50C";
    EXPECT_EQ(utf8ToWide(wideToUtf8(text)), text);
    EXPECT_EQ(wideToUtf8(u"\u00e4"), "\xC3\xA4");
    EXPECT_TRUE(utf8ToWide("").empty());

    // Broken sequences give one replacement each and never swallow the following text.
    EXPECT_EQ(utf8ToWide("a\xC3"), u"a\uFFFD");
    EXPECT_EQ(utf8ToWide("\xC3(x"), u"\uFFFD(x");
    EXPECT_EQ(utf8ToWide("\xC0\xAF"), u"\uFFFD\uFFFD");    // overlong
    EXPECT_EQ(utf8ToWide("\xED\xA0\x80z"), u"\uFFFDz");    // encoded surrogate
    EXPECT_EQ(utf8ToWide("\xF4\x90\x80\x80"), u"\uFFFD");  // beyond U+10FFFF
    EXPECT_EQ(wideToUtf8(std::u16string(1, u'\xD800')), "\xEF\xBF\xBD");
}

TEST(PathText, TrimmingAndFolders) {
    EXPECT_EQ(trimBlanks(u" \r\nabc \n"), u"abc");
    EXPECT_EQ(trimBlanks(u"\t a"), u"\t a");
    EXPECT_EQ(trimBlanks(u"  "), u" ");
    EXPECT_EQ(trimBlanks(u"x"), u"x");
    EXPECT_EQ(removeTrailingBackslash(u"C:\\a\\"), u"C:\\a");
    EXPECT_EQ(removeTrailingBackslash(u""), u"");
    EXPECT_EQ(folderOfPath(u"E:\\Medium\\setup.exe"), u"E:\\Medium");
    EXPECT_EQ(folderOfPath(u"setup.exe"), u"");
    EXPECT_EQ(fileNameOfPath(u"E:\\Medium/setup.exe"), u"setup.exe");
    EXPECT_EQ(parseDecimalPrefix(std::string_view(" -61abc")), -61);
    EXPECT_EQ(parseDecimalPrefix(std::string_view("99999999999999999999999")), LONG_MAX);
    EXPECT_EQ(parseDecimalPrefix(std::string_view("abc")), 0);
}

TEST(Languages, CodesAndStartLanguage) {
    EXPECT_EQ(languageCodeToIndex("cs-cz"), 5);
    EXPECT_EQ(languageCodeToIndex("EN-US"), -1);
    EXPECT_EQ(languageCodeToIndex("en-us "), -1);
    EXPECT_EQ(languageIndexToCode(3), "fr-fr");
    EXPECT_EQ(languageIndexToCode(6), "");

    std::array<bool, kLanguageCount> offered{};
    offered[0] = offered[3] = true;
    EXPECT_EQ(chooseStartLanguage(offered, 0, 0x0409), 0);  // English not offered
    EXPECT_EQ(chooseStartLanguage(offered, 0, 0x040C), 3);
    offered[1] = true;
    EXPECT_EQ(chooseStartLanguage(offered, 0, 0x040A), 1);  // traditional Spanish is not 0x0C0A
}

TEST(Texts, FallbackAndReplacement) {
    EXPECT_EQ(getText(0, 5), u"\u010desky");
    EXPECT_EQ(getText(148, 4), getText(148, 1));  // empty Italian cell falls back to English
    EXPECT_NE(getText(148, 0), getText(148, 1));
    EXPECT_EQ(replaceAll(u"ProductX is already installed.", u"ProductX", u"ProductX Pro"),
              u"ProductX Pro is already installed.");
    EXPECT_EQ(replaceAll(u"xyz MB, xyz MB", u"xyz", u"12"), u"12 MB, 12 MB");
    EXPECT_EQ(replaceAll(u"none", u"XYZ", u"a"), u"none");
}
