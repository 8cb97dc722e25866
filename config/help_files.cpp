#include "config/help_files.h"

#include <string>

#include "platform/files.h"
#include "platform/strings.h"

void prepareHelpFiles(RunContext& app) {
    platform::System& sys = app.system();
    const std::u16string source = launcherFolder(sys) + u"\\";
    const std::u16string temp = removeTrailingBackslash(sys.tempFolder());
    for (int i = 0; i < kLanguageCount; ++i) {
        if (app.product.helpFile[i].empty()) continue;
        const std::u16string target = temp + u"\\_" + utf8ToWide(std::to_string(i)) + u"_" + app.product.helpFile[i];
        if (sys.copyFile(source + app.product.helpFile[i], target) == 0) app.record.helpFileTempCopy[i] = target;
    }
    const std::u16string english = app.record.helpFileTempCopy[kEnglish];
    if (english.empty()) return;
    for (std::u16string& copy : app.record.helpFileTempCopy) {
        if (copy.empty()) copy = english;
    }
}

std::u16string helpTopicUrl(const RunContext& app, int topic) {
    const int language = app.choices.languageIndex >= 0 && app.choices.languageIndex < kLanguageCount
                             ? app.choices.languageIndex
                             : kEnglish;
    return app.record.helpFileTempCopy[language] + u"::/setup_" + utf8ToWide(std::to_string(topic)) + u".htm";
}

void showHelp(RunContext& app, int topic) { app.ui().showHtmlHelp(helpTopicUrl(app, topic)); }
