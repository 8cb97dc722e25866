// The text table: one column per language, one cell per text id. Each column lives in
// its own file (texts_<language>.cpp) so that translators work on one file each. Cells are
// UTF-8 (u8"..."): for these six languages that is half the bytes of UTF-16 in setup.exe;
// getText converts the one cell it returns.
#pragma once

#include <array>

#include "text/languages.h"
#include "text/texts.h"

using TextColumn = std::array<const char*, kTextRowCount>;

extern const TextColumn kGermanTexts;
extern const TextColumn kEnglishTexts;
extern const TextColumn kSpanishTexts;
extern const TextColumn kFrenchTexts;
extern const TextColumn kItalianTexts;
extern const TextColumn kCzechTexts;

// The columns in language-index order.
const TextColumn& textColumn(int languageIndex);
