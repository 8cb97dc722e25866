#include "ui/start_page.h"

#include "platform/files.h"
#include "text/texts.h"
#include "ui/page_frame.h"

namespace {

constexpr int kSpanish = 2;

// The texts that follow the language; visibility and window title stay as they are.
void applyTexts(RunContext& app, platform::PageModel& page) {
    auto withName = [&app](int row, const std::u16string& name) {
        return replaceAll(app.text(row), u"ProductX", name);
    };
    // On a button the name's own '&' must not become the Alt letter.
    const std::u16string buttonName = literalInCaption(app.productShortName);
    page.title = app.text(8);
    page.cancelCaption = app.text(2);
    page.helpCaption = app.text(96);
    page.commands[0].caption = withName(14, buttonName);
    page.commands[0].explanation = withName(15, app.productName);
    page.commands[1].caption = withName(16, buttonName);
    std::u16string install;
    if (app.demoVersion || (!app.isPelaxo5 && !app.isPelaxo4)) {
        install = app.text(17);
    } else if (app.toGoEdition) {
        install = app.text(156);
    } else {
        // Only the first sentence of the longer text fits beside the button.
        install = app.text(129);
        const auto stop = install.find(u'.');
        if (stop != std::u16string::npos) install.resize(stop + 1);
    }
    page.commands[1].explanation = replaceAll(install, u"ProductX", app.productName);
    if (app.preconfigSetup) {
        page.commands[2].caption = app.text(117);
        page.commands[2].explanation = app.text(118);
    } else {
        page.commands[2].caption = withName(32, literalInCaption(app.productName));
        page.commands[2].explanation = withName(33, app.productName);
    }
    page.tallThirdExplanation = (app.isPelaxo5 || app.isPelaxo4) && app.languageIndex == kSpanish;
}

}  // namespace

platform::PageModel startPage(RunContext& app) {
    platform::PageModel page = framedPage(app, platform::PageClass::Start, "welcome");
    // The label names the choice in four languages and does not follow it.
    page.languageLabel = getText(4, 1) + u" / " + getText(4, 0) + u" / " + getText(4, 2) + u" / " + getText(4, 3);
    page.selectedLanguageEntry = 0;
    for (std::size_t entry = 0; entry < app.languageList.size(); ++entry) {
        page.languageNames.push_back(getText(0, app.languageList[entry]));
        if (app.languageList[entry] == app.languageIndex) page.selectedLanguageEntry = static_cast<int>(entry);
    }
    page.languageChoiceEnabled = page.languageNames.size() != 1;
    page.commands[0].visible = fileExists(app.system(), app.stickAppPath);
    page.commands[1].visible = true;
    page.commands[2].visible = app.updateConfigured || app.preconfigSetup;
    applyTexts(app, page);
    page.onLanguageChange = [&app](int entry, platform::PageModel& model) {
        if (entry < 0 || entry >= static_cast<int>(app.languageList.size())) return;
        app.languageIndex = app.languageList[entry];
        applyTexts(app, model);
    };
    return page;
}
