// The text table: one row per text id, one column per language (index order).
#pragma once

#include <array>

#include "text/languages.h"
#include "text/texts.h"

using TextRow = std::array<const char16_t*, kLanguageCount>;
extern const std::array<TextRow, kTextRowCount> kTextTable;
