#include "config/page_frame.h"

#include <utility>

#include "config/help_files.h"
#include "config/help_topics.h"
#include "platform/flow_words.h"
#include "text/texts.h"

std::u16string productText(const RunContext& app, int row) {
    return replaceAll(app.text(row), u"ProductX", app.productName);
}

platform::PageModel framedPage(RunContext& app, platform::PageClass pageClass, const char* helpTopicName) {
    platform::PageModel page;
    page.pageClass = pageClass;
    page.windowTitle = app.productName + u" Setup" + app.versionSuffix;
    page.backCaption = app.text(23);
    page.nextCaption = app.text(24);
    page.cancelCaption = app.text(2);
    page.helpCaption = app.text(96);
    page.browseCaption = app.text(83);
    const int topic = helpTopicName ? helpTopic(app.helpTopics, helpTopicName) : -1;
    const int language = app.languageIndex >= 0 && app.languageIndex < kLanguageCount ? app.languageIndex : kEnglish;
    page.helpVisible = topic >= 0 && !app.helpFileTempCopy[language].empty();
    if (page.helpVisible) page.onHelp = [&app, topic] { showHelp(app, topic); };
    page.cancelQuestion = productText(app, 69);
    page.cancelQuestionCaption = app.applicationTitle;
    page.placement = app.lastPageRect;
    return page;
}

std::string showPage(RunContext& app, platform::PageModel& page) {
    const std::string word = app.ui().showPage(page);
    if (word.empty()) return word;  // Escape: the caller's state name stays
    app.flowState = word;
    if (word == word::kBack) app.forwardDirection = false;
    else if (word != word::kCancel) app.forwardDirection = true;
    if (page.placement.isSet()) app.lastPageRect = page.placement;
    return word;
}

std::string showProgressPage(RunContext& app, platform::WorkKind kind, const std::u16string& title,
                             const std::u16string& message, const std::u16string& progressTitle,
                             const std::u16string& info, std::function<void()> work) {
    platform::PageModel page = framedPage(app, platform::PageClass::Progress, nullptr);
    page.title = title;
    page.message = message;
    page.progressTitle = progressTitle;
    page.infoText = info;
    page.workKind = kind;
    page.work = std::move(work);
    return showPage(app, page);
}
