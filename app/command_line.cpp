#include "app/command_line.h"

#include "app/flow_states.h"
#include "config/tokenizer.h"
#include "install/msi_properties.h"
#include "platform/folder_names.h"
#include "platform/strings.h"

namespace {

bool sameAscii(const std::string& a, const char* b) {
    std::size_t i = 0;
    for (; i < a.size() && b[i]; ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return i == a.size() && !b[i];
}

struct Remembered {
    bool minimal = false;
    bool remove = false;
};

void quiet(RunContext& app, Navigation& navigation, const char16_t* option) {
    app.choices.msiUiOption = option;
    navigation.flowState = state::kLaunchMsi;
    app.choices.quietCommandLine = true;
}

// False when the pair ends the evaluation at once.
bool applyPair(RunContext& app, Navigation& navigation, const std::string& name, const std::string& value, bool quoted,
               Remembered& remembered) {
    if (sameAscii(name, "action") && sameAscii(value, "updatestick")) {
        navigation.flowState = state::kFindUpdate;
        return false;
    }
    if (sameAscii(name, "INSTALLDIR")) {
        // Whoever starts the launcher may not be whoever wrote the command line (a
        // shortcut, a deployment script): a value that is no folder name is not taken.
        const std::u16string folder = utf8ToWide(value);
        if (acceptableFolderName(folder)) app.choices.installDir = folder;
    } else if (sameAscii(name, "INSTALLMODE") && sameAscii(value, "Minimal")) remembered.minimal = true;
    else if (sameAscii(name, "REMOVE") && sameAscii(value, "ALL")) remembered.remove = true;
    else if (sameAscii(name, "REMOVE_FIRST") && value == "1") app.choices.removeFirst = true;
    else if (sameAscii(name, "CTRL_NO_UPGRADE") && value == "1") app.choices.removeFirst = false;
    else if (sameAscii(name, "NOVIDEOS") && value == "1") app.choices.installVideos = false;
    else if (sameAscii(name, "NOPRESENTATIONS") && value == "1") app.choices.installPresentations = false;
    else SetMsiProperty(app.choices, name, utf8ToWide(quoted ? "\"" + value + "\"" : value));
    return true;
}

}  // namespace

std::string argumentsAfterProgramPath(const std::string& commandLine) {
    std::size_t i = 0;
    if (!commandLine.empty() && commandLine[0] == '"') {
        const std::size_t close = commandLine.find('"', 1);
        i = close == std::string::npos ? commandLine.size() : close + 1;
    } else {
        while (i < commandLine.size() && commandLine[i] != ' ' && commandLine[i] != '\t') ++i;
    }
    while (i < commandLine.size() && (commandLine[i] == ' ' || commandLine[i] == '\t')) ++i;
    return commandLine.substr(i);
}

void evaluateCommandLine(RunContext& app, Navigation& navigation, const std::string& commandLine) {
    // The launcher's own path is no option: a medium folder such as "C:\Kurs=5\" would
    // otherwise become a property.
    const std::string arguments = argumentsAfterProgramPath(commandLine);
    Tokenizer tokens(" \t", "=\"", 3000);
    tokens.addString(arguments.c_str());
    Remembered remembered;
    for (const char* token = tokens.nextToken(); token; token = tokens.nextToken()) {
        const std::string name = token;
        if (sameAscii(name, "/q") || sameAscii(name, "/qn")) {
            quiet(app, navigation, u"/qn ");
            continue;
        }
        if (sameAscii(name, "/qb")) {
            quiet(app, navigation, u"/qb ");
            continue;
        }
        if (sameAscii(name, "/x")) {
            remembered.remove = true;
            continue;
        }
        // A name is a word: a lone quote or "=" in its place would carry a quote of its own,
        // or no name at all, onto the installer's command line.
        if (name == "\"" || name == "=") continue;
        const char* equals = tokens.nextToken();
        if (!equals) break;
        if (std::string(equals) != "=") {
            tokens.ungetToken();  // the NAME without a value is dropped
            continue;
        }
        const char* valueToken = tokens.nextToken();
        if (!valueToken) break;
        std::string value = valueToken;
        const bool quoted = value == "\"";
        if (quoted) {
            value.clear();
            for (char c = tokens.nextChar(); c != '\0' && c != '"'; c = tokens.nextChar()) value += c;
        }
        if (!applyPair(app, navigation, name, value, quoted, remembered)) return;
    }
    if (remembered.minimal) {
        navigation.flowState =
            app.choices.msiUiOption.empty() ? state::kAskForLinkDirectory : state::kCreateLinkSilently;
    } else if (remembered.remove) {
        navigation.flowState = state::kRemoveAll;
    }
}
