// Every text the user reads, by row and language, and its placeholder words.
#pragma once

#include <string>
#include <string_view>

#include "text/text_rows.h"

constexpr int kTextRowCount = 168;

// Row text in the language, falling back to English and then German for empty cells.
std::u16string getText(int row, int languageIndex);
inline std::u16string getText(TextRow row, int languageIndex) { return getText(static_cast<int>(row), languageIndex); }

// Every occurrence of placeholder replaced by value; the inserted value is not rescanned.
std::u16string replaceAll(std::u16string_view text, std::u16string_view placeholder, std::u16string_view value);
