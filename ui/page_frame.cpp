#include "ui/page_frame.h"

#include "config/help_files.h"
#include "config/help_topics.h"
#include "platform/page_words.h"
#include "text/texts.h"

platform::PageModel framedPage(RunContext& app, platform::PageClass pageClass, const char* helpTopicName) {
    platform::PageModel page;
    page.pageClass = pageClass;
    page.windowTitle = app.product.productName + u" Setup" + app.offer.versionSuffix;
    page.backCaption = app.text(TextRow::Back);
    page.nextCaption = app.text(TextRow::Next);
    page.cancelCaption = app.text(TextRow::Cancel);
    page.helpCaption = app.text(TextRow::Help);
    page.browseCaption = app.text(TextRow::Browse);
    const int topic = helpTopicName ? helpTopic(app.offer.helpTopics, helpTopicName) : -1;
    const int language = app.choices.languageIndex >= 0 && app.choices.languageIndex < kLanguageCount
                             ? app.choices.languageIndex
                             : kEnglish;
    page.helpVisible = topic >= 0 && !app.record.helpFileTempCopy[language].empty();
    if (page.helpVisible) page.onHelp = [&app, topic] { showHelp(app, topic); };
    page.cancelQuestion = productText(app, TextRow::ConfirmCancel);
    page.cancelQuestionCaption = app.offer.applicationTitle;
    page.placement = app.record.lastPageRect;
    return page;
}

std::u16string productCaption(const RunContext& app, TextRow row) {
    return replaceAll(app.text(row), u"ProductX", literalInCaption(app.product.productName));
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
    if (!word.empty() && page.placement.isSet()) app.record.lastPageRect = page.placement;
    return pageResultOf(word);
}
