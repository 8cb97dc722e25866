// The core's UTF-16 texts and Windows' wchar_t are the same 16-bit units here.
#pragma once

#include <string>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide characters are UTF-16 units");

inline std::wstring toWide(const std::u16string& s) { return std::wstring(s.begin(), s.end()); }
inline std::u16string fromWide(const wchar_t* s) {
    std::u16string out;
    for (; s && *s; ++s) out.push_back(static_cast<char16_t>(*s));
    return out;
}
inline std::u16string fromWide(const std::wstring& s) { return std::u16string(s.begin(), s.end()); }
