// The six user-interface languages: index, code and locale identifier.
#pragma once

#include <array>
#include <string>
#include <string_view>

constexpr int kLanguageCount = 6;
constexpr int kEnglish = 1;

// Locale identifiers in index order: German, English, Spanish, French, Italian, Czech.
constexpr std::array<int, kLanguageCount> kLanguageLcids = {0x0407, 0x0409, 0x0C0A, 0x040C, 0x0410, 0x0405};

// Exact, case-sensitive match of the whole code; -1 for anything else.
int languageCodeToIndex(std::string_view code);
std::string languageIndexToCode(int index);

// The start language: the first offered language whose identifier equals the system's,
// else English when offered, else the current (first listed) language.
int chooseStartLanguage(const std::array<bool, kLanguageCount>& enabled, int currentIndex, int systemLcid);
