#include "platform/strings.h"

#include <climits>
#include <limits>

namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool isBlank(char16_t c) { return c == u' ' || c == u'\n' || c == u'\r'; }

template <typename Int, typename Char>
Int parseDecimalPrefixImpl(std::basic_string_view<Char> text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= 9 && text[i] <= 13))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    constexpr Int kMost = std::numeric_limits<Int>::max();
    Int value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        const int digit = static_cast<int>(text[i] - '0');
        if (value > (kMost - digit) / 10) return negative ? std::numeric_limits<Int>::min() : kMost;
        value = value * 10 + digit;
    }
    return negative ? -value : value;
}

}  // namespace

std::u16string utf8ToWide(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    std::size_t i = 0;
    const std::size_t n = bytes.size();
    while (i < n) {
        const unsigned char lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            out.push_back(lead);
            ++i;
            continue;
        }
        int extra;
        char32_t cp;
        char32_t minimum;
        if (lead >= 0xC2 && lead <= 0xDF) {
            extra = 1;
            cp = lead & 0x1F;
            minimum = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            extra = 2;
            cp = lead & 0x0F;
            minimum = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            extra = 3;
            cp = lead & 0x07;
            minimum = 0x10000;
        } else {
            out.push_back(kReplacement);
            ++i;
            continue;
        }

        std::size_t j = i + 1;
        bool valid = true;
        for (int k = 0; k < extra; ++k, ++j) {
            if (j >= n || (static_cast<unsigned char>(bytes[j]) & 0xC0) != 0x80) {
                valid = false;
                break;
            }
            cp = (cp << 6) | (static_cast<unsigned char>(bytes[j]) & 0x3F);
        }
        if (!valid || cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            // Skip only the bytes that belonged to the broken sequence.
            out.push_back(kReplacement);
            i = (j > i + 1) ? j : i + 1;
            continue;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
        i = j;
    }
    return out;
}

std::string wideToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = kReplacement;
        }
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

std::u16string trimBlanks(std::u16string_view text) {
    if (text.size() <= 1) return std::u16string(text);
    std::size_t j = 0;
    std::size_t i = text.size() - 1;
    while (j < i && isBlank(text[j])) ++j;
    while (i > j && isBlank(text[i])) --i;
    return std::u16string(text.substr(j, i - j + 1));
}

std::u16string removeTrailingBackslash(std::u16string_view path) {
    if (!path.empty() && path.back() == u'\\') path.remove_suffix(1);
    return std::u16string(path);
}

std::u16string folderOfPath(std::u16string_view path) {
    const auto cut = path.rfind(u'\\');
    return cut == std::u16string_view::npos ? std::u16string() : std::u16string(path.substr(0, cut));
}

std::u16string fileNameOfPath(std::u16string_view path) {
    const auto cut = path.find_last_of(u"\\/");
    return std::u16string(cut == std::u16string_view::npos ? path : path.substr(cut + 1));
}

bool equalsIgnoringAsciiCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char16_t x = a[i], y = b[i];
        if (x >= u'A' && x <= u'Z') x = static_cast<char16_t>(x + 32);
        if (y >= u'A' && y <= u'Z') y = static_cast<char16_t>(y + 32);
        if (x != y) return false;
    }
    return true;
}

long parseDecimalPrefix(std::string_view text) { return parseDecimalPrefixImpl<long>(text); }
long parseDecimalPrefix(std::u16string_view text) { return parseDecimalPrefixImpl<long>(text); }
std::int64_t parseDecimalPrefix64(std::string_view text) { return parseDecimalPrefixImpl<std::int64_t>(text); }
std::int64_t parseDecimalPrefix64(std::u16string_view text) { return parseDecimalPrefixImpl<std::int64_t>(text); }
