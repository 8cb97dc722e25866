#include "platform/folder_names.h"

#include <string>
#include <vector>

namespace {

// CreateDirectory's limit without the long-path prefix: MAX_PATH less room for an 8.3
// file name. msiexec and the shell take no longer folders either.
constexpr std::size_t kMaxFolderLength = 248;

bool isSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

bool isDriveLetter(char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }

// "C:\" or "C:/" and what follows; "C:" alone names the drive's current folder, not a fixed one.
bool isDrivePath(std::u16string_view folder) {
    return folder.size() >= 3 && isDriveLetter(folder[0]) && folder[1] == u':' && isSeparator(folder[2]);
}

// "\\server\share": a server name and a share name. "\\?\" and "\\.\" are device paths.
bool isNetworkPath(std::u16string_view folder) {
    if (folder.size() < 5 || !isSeparator(folder[0]) || !isSeparator(folder[1])) return false;
    const std::size_t serverEnd = folder.find_first_of(u"\\/", 2);
    if (serverEnd == std::u16string_view::npos || serverEnd == 2) return false;
    const std::u16string_view server = folder.substr(2, serverEnd - 2);
    if (server == u"." || server == u"?") return false;
    return serverEnd + 1 < folder.size() && !isSeparator(folder[serverEnd + 1]);
}

}  // namespace

bool acceptableFolderName(std::u16string_view folder) {
    if (folder.size() > kMaxFolderLength) return false;
    if (!isDrivePath(folder) && !isNetworkPath(folder)) return false;
    for (std::size_t i = 0; i < folder.size(); ++i) {
        const char16_t c = folder[i];
        if (c < 0x20 || c == 0x7F || c == u'"' || c == u'<' || c == u'>' || c == u'|' || c == u'*' || c == u'?')
            return false;
        if (c == u':' && i != 1) return false;
    }
    return true;
}

std::u16string resolvedFolder(std::u16string_view folder) {
    // Components between separators; the first one or two name the root that ".." cannot
    // leave: "C:", or the server and share of "\\server\share".
    std::vector<std::u16string> parts(1);
    for (char16_t c : folder) {
        if (isSeparator(c)) parts.emplace_back();
        else parts.back() += c;
    }
    const bool network = isNetworkPath(folder);
    const std::size_t rootParts = network ? 4 : 1;  // "", "", server, share
    std::u16string resolved;
    std::vector<std::u16string> kept;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const std::u16string& part = parts[i];
        if (i < rootParts) {
            resolved += i == 0 ? part : u"\\" + part;
        } else if (part == u"..") {
            if (!kept.empty()) kept.pop_back();
        } else if (!part.empty() && part != u".") {
            kept.push_back(part);
        }
    }
    for (const std::u16string& part : kept) resolved += u"\\" + part;
    if (kept.empty() && !network) resolved += u'\\';
    return resolved;
}
