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

// Captions (buttons, options, labels) mark their Alt letter with '&'. A value placed into a
// caption keeps its own '&' by doubling it; the dialog manager shows "&&" as one '&'.
std::u16string literalInCaption(std::u16string_view value);
// The caption as it reads: the mark gone, "&&" one '&' again. For a caption row shown
// where no letter is selected (a page title).
std::u16string withoutMnemonic(std::u16string_view caption);
