#include "config/help_files.h"

#include <string>

#include "platform/files.h"
#include "platform/strings.h"

void prepareHelpFiles(RunContext& app) {
    platform::System& sys = app.system();
    const std::u16string source = launcherFolder(sys) + u"\\";
    const std::u16string temp = removeTrailingBackslash(sys.tempFolder());
    for (int i = 0; i < kLanguageCount; ++i) {
        if (app.helpFile[i].empty()) continue;
        const std::u16string target = temp + u"\\_" + utf8ToWide(std::to_string(i)) + u"_" + app.helpFile[i];
        if (sys.copyFile(source + app.helpFile[i], target) == 0) app.helpFileTempCopy[i] = target;
    }
    const std::u16string english = app.helpFileTempCopy[kEnglish];
    if (english.empty()) return;
    for (std::u16string& copy : app.helpFileTempCopy) {
        if (copy.empty()) copy = english;
    }
}

std::u16string helpTopicUrl(const RunState& app, int topic) {
    const int language = app.languageIndex >= 0 && app.languageIndex < kLanguageCount ? app.languageIndex : kEnglish;
    return app.helpFileTempCopy[language] + u"::/setup_" + utf8ToWide(std::to_string(topic)) + u".htm";
}

void showHelp(RunContext& app, int topic) { app.ui().showHtmlHelp(helpTopicUrl(app, topic)); }
