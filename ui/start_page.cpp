#include "ui/start_page.h"

#include "platform/files.h"
#include "text/texts.h"
#include "ui/page_frame.h"

namespace {

constexpr int kSpanish = 2;

// The texts that follow the language; visibility and window title stay as they are.
void applyTexts(RunContext& app, platform::PageModel& page) {
    auto withName = [&app](TextRow row, const std::u16string& name) {
        return replaceAll(app.text(row), u"ProductX", name);
    };
    // On a button the name's own '&' must not become the Alt letter.
    const std::u16string buttonName = literalInCaption(app.product.productShortName);
    page.title = app.text(TextRow::Welcome);
    page.cancelCaption = app.text(TextRow::Cancel);
    page.helpCaption = app.text(TextRow::Help);
    page.commands[0].caption = withName(TextRow::RunFromStickTitle, buttonName);
    page.commands[0].explanation = withName(TextRow::RunFromStickDescription, app.product.productName);
    page.commands[1].caption = withName(TextRow::InstallProductTitle, buttonName);
    std::u16string install;
    if (app.product.demoVersion || (!app.offer.isPelaxo5 && !app.offer.isPelaxo4)) {
        install = app.text(TextRow::InstallProductDescription);
    } else if (app.product.toGoEdition) {
        install = app.text(TextRow::ProductWillBeInstalled);
    } else {
        // Only the first sentence of the longer text fits beside the button.
        install = app.text(TextRow::InstallOrUpdateMessage);
        const auto stop = install.find(u'.');
        if (stop != std::u16string::npos) install.resize(stop + 1);
    }
    page.commands[1].explanation = replaceAll(install, u"ProductX", app.product.productName);
    if (app.product.preconfigSetup) {
        page.commands[2].caption = app.text(TextRow::IndividualSetupTitle);
        page.commands[2].explanation = app.text(TextRow::IndividualSetupDescription);
    } else {
        page.commands[2].caption = withName(TextRow::SearchUpdatesTitle, literalInCaption(app.product.productName));
        page.commands[2].explanation = withName(TextRow::SearchUpdatesDescription, app.product.productName);
    }
    page.tallThirdExplanation = (app.offer.isPelaxo5 || app.offer.isPelaxo4) && app.choices.languageIndex == kSpanish;
}

}  // namespace

platform::PageModel startPage(RunContext& app) {
    platform::PageModel page = framedPage(app, platform::PageClass::Start, "welcome");
    // The label names the choice in four languages and does not follow it.
    page.languageLabel = getText(TextRow::Language, 1) + u" / " + getText(TextRow::Language, 0) + u" / " +
                         getText(TextRow::Language, 2) + u" / " + getText(TextRow::Language, 3);
    page.selectedLanguageEntry = 0;
    for (std::size_t entry = 0; entry < app.offer.languageList.size(); ++entry) {
        page.languageNames.push_back(getText(TextRow::LanguageName, app.offer.languageList[entry]));
        if (app.offer.languageList[entry] == app.choices.languageIndex)
            page.selectedLanguageEntry = static_cast<int>(entry);
    }
    page.languageChoiceEnabled = page.languageNames.size() != 1;
    page.commands[0].visible = fileExists(app.system(), app.offer.stickAppPath);
    page.commands[1].visible = true;
    page.commands[2].visible = app.product.updateConfigured || app.product.preconfigSetup;
    applyTexts(app, page);
    page.onLanguageChange = [&app](int entry, platform::PageModel& model) {
        if (entry < 0 || entry >= static_cast<int>(app.offer.languageList.size())) return;
        app.choices.languageIndex = app.offer.languageList[entry];
        applyTexts(app, model);
    };
    return page;
}
