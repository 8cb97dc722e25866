#include "platform/files.h"

#include "platform/processes.h"
#include "platform/strings.h"

namespace {

const std::u16string kProbeName = u"seqhgfq.xyz";

}  // namespace

std::u16string longPathForm(const std::u16string& path) {
    if (path.size() > 2 && path[0] == u'\\') {
        if (path[1] == u'\\' && path[2] == u'?') return path;
        return u"\\\\?\\UNC" + path.substr(1);
    }
    return u"\\\\?\\" + path;
}

std::u16string launcherFolder(platform::System& system) { return folderOfPath(system.launcherPath()); }

bool fileExists(platform::System& system, const std::u16string& path) {
    std::u16string name;
    if (path.size() > 3 && path[0] == u'\\' && path[1] == u'\\') name = path;  // prefixed or network
    else if (path.size() > 2 && path[0] == u'\\') name = u"\\\\?\\UNC" + path.substr(1);
    else name = u"\\\\?\\" + path;
    if (name.size() >= 30000) return false;
    return system.findFirstFile(name);
}

bool pathExists(platform::System& system, const std::u16string& path) {
    return system.hasAttributes(longPathForm(path));
}

void clearReadOnly(platform::System& system, const std::u16string& path) {
    platform::FileStatus status;
    if (!system.readFileStatus(path, status) || !(status.attributes & platform::kAttributeReadOnly)) return;
    status.attributes &= ~platform::kAttributeReadOnly;
    system.writeFileStatus(path, status);
}

std::vector<std::u16string> listFiles(platform::System& system, const std::u16string& folder,
                                      const std::u16string& pattern, std::uint64_t& totalSize) {
    totalSize = 0;
    std::vector<std::u16string> paths;
    if (folder.empty()) return paths;
    std::u16string base = folder;
    if (base.back() == u'\\' || base.back() == u'/') base.pop_back();
    for (const platform::FolderEntry& entry : system.findFiles(base + u"\\" + pattern)) {
        if (entry.isFolder) continue;
        paths.push_back(base + u"\\" + entry.name);
        totalSize += entry.size;
    }
    return paths;
}

bool folderWritableByCopy(platform::System& system, const std::u16string& folder) {
    const std::u16string temp = system.tempFolder();
    if (temp.empty()) return false;
    const std::u16string probe = temp + u"\\" + kProbeName;
    const std::u16string target = removeTrailingBackslash(folder) + u"\\" + kProbeName;
    // A copy left by an earlier test must not make a read-only folder look writable.
    if (fileExists(system, target) && !system.deleteFile(target)) return false;
    if (!system.createEmptyFile(probe)) return false;
    const std::uint32_t result =
        runDirect(system, systemTool(system, u"xcopy.exe"),
                  u"\"" + probe + u"\" \"" + removeTrailingBackslash(folder) + u"\\\" /H /R /Y", 10000);
    system.deleteFile(probe);
    if (result != 0 || !fileExists(system, target)) return false;
    system.deleteFile(target);
    return true;
}

int readInstallLog(platform::System& system, const std::u16string& path, bool& allUsers,
                   std::vector<std::u16string>& shortcuts) {
    allUsers = true;
    std::vector<unsigned char> bytes;
    if (!system.readWholeFile(path, bytes)) return -1;
    allUsers = false;
    std::u16string startMenu = system.commonStartMenuFolder();
    if (startMenu.empty()) startMenu = u"****";  // matches no line

    // Lines as a line reader with a 10000-character buffer hands them out.
    constexpr std::size_t kMaxLine = 9999;
    std::size_t at = 0;
    while (at < bytes.size()) {
        std::size_t end = at;
        while (end < bytes.size() && end - at < kMaxLine && bytes[end] != '\n') ++end;
        if (end < bytes.size() && bytes[end] == '\n' && end - at < kMaxLine) ++end;  // keep the line feed
        std::string line(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                         bytes.begin() + static_cast<std::ptrdiff_t>(end));
        at = end;
        if (line.size() <= 11) continue;
        // Only a line end is dropped: the last line of a file may have none.
        if (line.back() == '\n') line.pop_back();
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.compare(0, 19, "INI Item: ALL_USERS") == 0) {
            allUsers = true;
        } else if (line.compare(0, 11, "Shell Link:") == 0) {
            const std::u16string wide = system.ansiToWide(line);
            shortcuts.push_back(trimBlanks(system.ansiToWide(line.substr(11))));
            if (wide.find(startMenu) != std::u16string::npos) allUsers = true;
        }
    }
    return 0;
}

bool findInstallationFolder(platform::System& system, std::u16string& folder, const std::u16string& subfolder,
                            const std::u16string& fileName) {
    const std::u16string prefixed =
        folder.size() > 2 && folder[0] == u'\\' ? u"\\\\?\\UNC" + folder.substr(1) : u"\\\\?\\" + folder;
    if (system.findFirstFile(prefixed + subfolder + u"\\" + fileName)) return true;
    const auto cut = prefixed.rfind(u'\\');
    if (cut == std::u16string::npos) return false;
    if (!system.findFirstFile(prefixed.substr(0, cut) + subfolder + u"\\" + fileName)) return false;
    const auto ownCut = folder.rfind(u'\\');
    if (ownCut != std::u16string::npos) folder.erase(ownCut);
    return true;
}

std::vector<std::u16string> splitWords(const std::u16string& text) {
    std::vector<std::u16string> words;
    std::size_t at = 0;
    while (at <= text.size()) {
        std::size_t end = text.find(u' ', at);
        if (end == std::u16string::npos) end = text.size();
        if (end > at) words.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    return words;
}
