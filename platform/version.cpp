#include "platform/version.h"

#include "platform/strings.h"

bool parseVersion(std::u16string_view text, Version& version) {
    const char16_t separator = text.find(u'.') != std::u16string_view::npos ? u'.' : u',';
    std::size_t pos = 0;
    for (std::size_t field = 0; field < version.size(); ++field) {
        while (pos < text.size() && text[pos] == separator) ++pos;
        if (pos >= text.size()) return false;
        std::size_t end = text.find(separator, pos);
        if (end == std::u16string_view::npos) end = text.size();
        // Negative fields wrap as the C conversion into an unsigned field would.
        version[field] = static_cast<std::uint32_t>(parseDecimalPrefix(text.substr(pos, end - pos)));
        pos = end;
    }
    return true;
}

bool versionLess(const Version& a, const Version& b) {
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i]) return a[i] < b[i];
    }
    return false;
}

bool getFileVersion(platform::System& system, const std::u16string& path, const std::u16string& stringName,
                    Version& version) {
    std::u16string text;
    if (!system.readVersionString(path, stringName, text)) return false;
    return parseVersion(text, version);
}
