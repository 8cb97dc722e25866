// Table-wide checks of the six text columns: the faults a translation can bring in.
#include <gtest/gtest.h>

#include <string>

#include "platform/strings.h"
#include "text/text_table.h"

namespace {

std::size_t count(std::u16string_view text, std::u16string_view word) {
    std::size_t n = 0;
    for (std::size_t at = text.find(word); at != std::u16string_view::npos; at = text.find(word, at + word.size())) ++n;
    return n;
}

bool italianCellMayBeEmpty(int row) { return row == 148 || (row >= 155 && row <= 166); }

// The byte a character stands for when UTF-8 was read as Latin-1 or Windows-1252, or -1.
int misreadByte(char16_t c) {
    static const char16_t cp1252High[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                            0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                            0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                            0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
    if (c < 0x100) return c;
    for (int i = 0; i < 32; ++i) {
        if (cp1252High[i] == c) return 0x80 + i;
    }
    return -1;
}

// Text that went through a wrong code page on its way into the source ("Ã¤", "â€™"):
// a lead byte followed by exactly its continuation bytes; also replacement characters
// and surrogates, which no cell needs.
bool looksGarbled(std::u16string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == 0xFFFD || (c >= 0xD800 && c <= 0xDFFF)) return true;
        const int continuations = c >= 0xC2 && c <= 0xDF   ? 1
                                  : c >= 0xE0 && c <= 0xEF ? 2
                                  : c >= 0xF0 && c <= 0xF4 ? 3
                                                           : 0;
        if (continuations == 0 || i + continuations >= text.size()) continue;
        bool sequence = true;
        for (int k = 1; k <= continuations && sequence; ++k) {
            const int byte = misreadByte(text[i + k]);
            sequence = byte >= 0x80 && byte <= 0xBF;
        }
        if (sequence) return true;
    }
    return false;
}

std::u16string firstSentence(std::u16string_view text) {
    const auto stop = text.find(u'.');
    return std::u16string(stop == std::u16string_view::npos ? text : text.substr(0, stop + 1));
}

TEST(TextTable, EveryShownRowExistsInEveryLanguage) {
    int shownRows = 0;
    for (int row = 0; row < kTextRowCount; ++row) {
        const std::u16string english = utf8ToWide(kEnglishTexts[row]);
        shownRows += !english.empty();
        for (int language = 0; language < kLanguageCount; ++language) {
            const std::u16string cell = utf8ToWide(textColumn(language)[row]);
            if (language == 4 && italianCellMayBeEmpty(row)) {
                EXPECT_TRUE(cell.empty()) << "Italian row " << row << " falls back to English";
                continue;
            }
            EXPECT_EQ(cell.empty(), english.empty()) << "language " << language << " row " << row;
        }
    }
    EXPECT_EQ(shownRows, 118);  // every row the launcher can show
}

TEST(TextTable, TranslationsKeepPlaceholdersAndLineBreaks) {
    for (int row = 0; row < kTextRowCount; ++row) {
        const std::u16string english = utf8ToWide(kEnglishTexts[row]);
        for (int language = 0; language < kLanguageCount; ++language) {
            const std::u16string cell = utf8ToWide(textColumn(language)[row]);
            if (cell.empty()) continue;
            for (const char16_t* word : {u"ProductX", u"xyz", u"XYZ", u"\n"}) {
                EXPECT_EQ(count(cell, word), count(english, word))
                    << "language " << language << " row " << row << ": " << wideToUtf8(cell);
            }
        }
    }
}

TEST(TextTable, NoGarbledCharacters) {
    EXPECT_TRUE(looksGarbled(u"Gr\u00c3\u00b6\u00c3\u0178e"));        // "Größe" read as Windows-1252
    EXPECT_TRUE(looksGarbled(u"it\u00e2\u20ac\u2122s"));              // "it’s" read as Windows-1252
    EXPECT_FALSE(looksGarbled(u"p\u0159ihl\u00e1\u0161en\u00e9ho"));  // Czech "přihlášeného"
    for (int language = 0; language < kLanguageCount; ++language) {
        for (int row = 0; row < kTextRowCount; ++row) {
            EXPECT_FALSE(looksGarbled(utf8ToWide(textColumn(language)[row])))
                << "language " << language << " row " << row << ": " << textColumn(language)[row];
        }
    }
}

TEST(TextTable, FixedRows) {
    const char16_t* names[] = {u"Deutsch", u"English", u"Espa\u00f1ol", u"Fran\u00e7ais", u"Italiano", u"\u010desky"};
    const char16_t* helpFiles[] = {u"setup_hilfe.chm", u"setup_help.chm",  u"setup_ayuda.chm",
                                   u"setup_aide.chm",  u"setup_aiuto.chm", u"setup_help.chm"};
    for (int language = 0; language < kLanguageCount; ++language) {
        EXPECT_EQ(utf8ToWide(textColumn(language)[0]), names[language]);
        EXPECT_EQ(utf8ToWide(textColumn(language)[137]), helpFiles[language]);
        // The start page shows row 129 up to its first full stop: that must be a whole sentence
        // with more text after it.
        const std::u16string row129 = utf8ToWide(textColumn(language)[129]);
        const std::u16string first = firstSentence(row129);
        EXPECT_LT(first.size() + 2, row129.size()) << language;
        EXPECT_EQ(count(first, u"ProductX"), 1u) << language;
    }
    EXPECT_EQ(firstSentence(utf8ToWide(kEnglishTexts[129])), u"The program ProductX will be installed or updated.");
    EXPECT_EQ(utf8ToWide(kEnglishTexts[4]), u"Language");
    EXPECT_EQ(utf8ToWide(kItalianTexts[4]), u"Language");
    EXPECT_EQ(utf8ToWide(kEnglishTexts[166]), u"This operating system is no lonfer supported.");
}

}  // namespace
