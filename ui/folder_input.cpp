#include "ui/folder_input.h"

#include "platform/strings.h"

std::u16string typedFolder(std::u16string_view text) {
    std::u16string folder = trimBlanks(text);
    if (folder.size() == 1 && (folder[0] == u' ' || folder[0] == u'\r' || folder[0] == u'\n')) folder.clear();
    return folder;
}

std::u16string withSubFolder(std::u16string picked, const std::u16string& subFolder) {
    if (subFolder.empty()) return picked;
    const std::u16string tail = u"\\" + subFolder;
    if (picked.size() >= tail.size() && picked.compare(picked.size() - tail.size(), tail.size(), tail) == 0)
        return picked;
    if (!picked.empty() && picked.back() == u'\\') picked.pop_back();
    return picked + tail;
}
