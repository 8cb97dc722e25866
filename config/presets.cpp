#include "config/presets.h"

#include "platform/folder_names.h"
#include "platform/strings.h"

namespace {

const std::u16string kSection = u"SETUP";
// The buffer the values are read into, in characters.
constexpr std::size_t kValueBuffer = 9999;

std::u16string readValue(platform::System& system, const std::u16string& path, const char16_t* key,
                         const std::u16string& defaultValue = std::u16string()) {
    return system.readIniString(path, kSection, key, defaultValue, kValueBuffer);
}

bool isYes(const std::u16string& value) { return equalsIgnoringAsciiCase(value, u"Y"); }

// Without its trailing backslash, except a drive root: "E:" alone names the drive's
// current folder, which no folder page and no reader of the file accepts.
std::u16string withoutTrailingBackslash(const std::u16string& folder) {
    if (folder.size() == 3 && folder[1] == u':' && folder[2] == u'\\') return folder;
    return removeTrailingBackslash(folder);
}

}  // namespace

int readPresets(Choices& choices, const Offer& offer, platform::System& system, const std::u16string& path) {
    // Everything is read and checked before anything is taken over: a file with one bad
    // folder counts as absent, not as half applied.
    const bool linkOnly = equalsIgnoringAsciiCase(readValue(system, path, u"WANT_FILES", u"Y"), u"N");
    // Blanks around a folder go, as on the folder pages: the INI reader keeps those inside
    // quotes, and Windows drops them from a path, so "\\srv\ " would name no share.
    const std::u16string folder = trimBlanks(readValue(system, path, linkOnly ? u"DEFAULTDIRN" : u"DEFAULTDIRL"));
    if (folder.empty()) return -1;
    const std::u16string circuitFolder = trimBlanks(readValue(system, path, u"DEFAULTDIRAPPDATA"));
    // The file may have been planted beside a genuine launcher: its folders end up inside
    // quotes on the installer's command line, so they obey the folder pages' rule.
    if (!acceptableFolderName(folder) || (!circuitFolder.empty() && !acceptableFolderName(circuitFolder))) return -2;

    choices.linkOnly = linkOnly;
    choices.targetProgramFolder = folder;
    choices.circuitFolder = circuitFolder;
    if (!choices.circuitFolder.empty()) choices.useStandardCircuitFolder = false;

    const std::u16string autoMode = readValue(system, path, u"AUTO_MODE");
    choices.autoMode = autoMode == u"1" ? 1 : autoMode == u"2" ? 2 : 0;

    if (offer.askForVideos) choices.installVideos = !isYes(readValue(system, path, u"NOVIDEOS"));
    if (offer.askForPresentations) choices.installPresentations = !isYes(readValue(system, path, u"NOPRESENTATIONS"));
    choices.allUsers = readValue(system, path, u"GLOBAL") == u"1";
    return 0;
}

void composePresets(Choices& choices, const Offer& offer) {
    choices.targetProgramFolder = withoutTrailingBackslash(choices.targetProgramFolder);
    choices.individualSetupFolder = withoutTrailingBackslash(choices.individualSetupFolder);

    std::u16string& text = choices.setupIniText;
    text = u"[SETUP]\n";
    auto line = [&text](const char16_t* key, const std::u16string& value) {
        text += key;
        text += u'=';
        text += value;
        text += u'\n';
    };
    if (choices.linkOnly) {
        line(u"DEFAULTDIRN", choices.networkFolder);
        line(u"WANT_FILES", u"N");
    } else {
        line(u"DEFAULTDIRL", choices.targetProgramFolder);
    }
    if (!choices.useStandardCircuitFolder) line(u"DEFAULTDIRAPPDATA", choices.circuitFolder);
    if (choices.autoMode != 0) line(u"AUTO_MODE", utf8ToWide(std::to_string(choices.autoMode)));
    if (offer.askForVideos && !choices.installVideos) line(u"NOVIDEOS", u"Y");
    if (offer.askForPresentations && !choices.installPresentations) line(u"NOPRESENTATIONS", u"Y");
    if (choices.allUsers) line(u"GLOBAL", u"1");
}

std::vector<unsigned char> presetsFileBytes(std::u16string_view text) {
    bool ascii = true;
    for (char16_t c : text) ascii = ascii && c < 0x80;

    std::vector<unsigned char> bytes;
    auto put = [&bytes, ascii](char16_t c) {
        bytes.push_back(static_cast<unsigned char>(c & 0xFF));
        if (!ascii) bytes.push_back(static_cast<unsigned char>(c >> 8));
    };
    if (!ascii) bytes = {0xFF, 0xFE};
    for (char16_t c : text) {
        if (c == u'\n') put(u'\r');
        put(c);
    }
    return bytes;
}

bool writePresetsFile(platform::System& system, const std::u16string& path, std::u16string_view text) {
    return system.writeWholeFile(path, presetsFileBytes(text));
}
