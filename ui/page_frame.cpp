#include "ui/page_frame.h"

#include "config/help_files.h"
#include "config/help_topics.h"
#include "platform/page_words.h"
#include "text/texts.h"

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

std::u16string productCaption(const RunContext& app, int row) {
    return replaceAll(app.text(row), u"ProductX", literalInCaption(app.productName));
}

PageResult pageResultOf(const std::string& word) {
    static const std::pair<const std::string&, PageResult> kWords[] = {
        {word::kNext, PageResult::Next},       {word::kBack, PageResult::Back},
        {word::kCancel, PageResult::Cancel},   {word::kButton1, PageResult::Button1},
        {word::kButton2, PageResult::Button2}, {word::kButton4, PageResult::Button4},
        {word::kOption1, PageResult::Option1}, {word::kOption2, PageResult::Option2},
    };
    for (const auto& [name, result] : kWords) {
        if (word == name) return result;
    }
    return PageResult::None;
}

PageResult showPage(RunContext& app, platform::PageModel& page) {
    const std::string word = app.ui().showPage(page);
    // A page ended without a word reports no position either.
    if (!word.empty() && page.placement.isSet()) app.lastPageRect = page.placement;
    return pageResultOf(word);
}
