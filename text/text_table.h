// The text table: one column per language, one cell per text id. Each column lives in
// its own file (texts_<language>.cpp) so that translators work on one file each.
#pragma once

#include <array>

#include "text/languages.h"
#include "text/texts.h"

using TextColumn = std::array<const char16_t*, kTextRowCount>;

extern const TextColumn kGermanTexts;
extern const TextColumn kEnglishTexts;
extern const TextColumn kSpanishTexts;
extern const TextColumn kFrenchTexts;
extern const TextColumn kItalianTexts;
extern const TextColumn kCzechTexts;

// The columns in language-index order.
const TextColumn& textColumn(int languageIndex);
