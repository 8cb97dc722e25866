// Every text the user reads, by row and language, and its placeholder words.
#pragma once

#include <string>
#include <string_view>

constexpr int kTextRowCount = 168;

// Row text in the language, falling back to English and then German for empty cells.
std::u16string getText(int row, int languageIndex);

// Every occurrence of placeholder replaced by value; the inserted value is not rescanned.
std::u16string replaceAll(std::u16string_view text, std::u16string_view placeholder, std::u16string_view value);
