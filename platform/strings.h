// Text helpers shared by the core and the Win32 layer. UTF-8 is the bridge between the
// byte strings of the XML reader and the UTF-16 texts of the application state.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Invalid UTF-8 becomes U+FFFD, as MultiByteToWideChar does on current Windows.
std::u16string utf8ToWide(std::string_view bytes);
// Unpaired surrogates become U+FFFD.
std::string wideToUtf8(std::u16string_view text);

// Without leading and trailing spaces, line feeds and carriage returns (tabs stay). A
// text of such characters only keeps its last one.
std::u16string trimBlanks(std::u16string_view text);
std::u16string removeTrailingBackslash(std::u16string_view path);
// The path up to its last backslash (exclusive); empty when there is none.
std::u16string folderOfPath(std::u16string_view path);
// The part after the last backslash or slash.
std::u16string fileNameOfPath(std::u16string_view path);

bool equalsIgnoringAsciiCase(std::u16string_view a, std::u16string_view b);

// Decimal integer with the usual leading-blank, sign and digits rule; stops at the first
// other character and gives 0 when there are no digits. Saturates instead of overflowing.
long parseDecimalPrefix(std::string_view text);
long parseDecimalPrefix(std::u16string_view text);
// The same with 64 bits on every platform (long has 32 on Windows): file sizes.
std::int64_t parseDecimalPrefix64(std::string_view text);
std::int64_t parseDecimalPrefix64(std::u16string_view text);
