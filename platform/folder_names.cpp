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
    std::u16string path(folder);
    for (char16_t& c : path) {
        if (c == u'/') c = u'\\';
    }
    // The root that ".." cannot leave: "C:" or "\\server\share".
    std::size_t rootEnd = 2;
    if (isNetworkPath(path)) {
        const std::size_t share = path.find(u'\\', 2) + 1;
        rootEnd = path.find(u'\\', share);
        if (rootEnd == std::u16string::npos) rootEnd = path.size();
    }
    std::vector<std::u16string> parts;
    std::size_t start = rootEnd;
    while (start < path.size()) {
        std::size_t end = path.find(u'\\', start);
        if (end == std::u16string::npos) end = path.size();
        const std::u16string part = path.substr(start, end - start);
        if (part == u"..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != u".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::u16string resolved = path.substr(0, rootEnd);
    for (const std::u16string& part : parts) resolved += u"\\" + part;
    if (parts.empty() && !isNetworkPath(path)) resolved += u'\\';
    return resolved;
}
