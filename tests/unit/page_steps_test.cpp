// Page steps against the scripted UI: what each page shows and how answers are taken.
#include "ui/page_frame.h"
#include "fakes/wizard_pages.h"
#include "ui/start_page.h"

namespace {

using platform::PageClass;
using platform::PageModel;

TEST_F(WizardPages, StartPageCommandsTextsAndLanguageSwitch) {
    system.addFile(u"D:\\App\\Circuita.exe");
    app.record.helpFileTempCopy[1] = u"C:\\Temp\\_1_setup_help.chm";
    PageModel page = startPage(app);
    EXPECT_EQ(page.pageClass, PageClass::Start);
    EXPECT_EQ(page.windowTitle, u"Circuita 5 Setup (V 5.0b)");
    EXPECT_EQ(page.title, u"Welcome!");
    EXPECT_EQ(page.languageLabel, u"Language / Sprache / Idioma / Langue");
    EXPECT_EQ(page.languageNames, (std::vector<std::u16string>{u"Deutsch", u"English", u"Fran\u00e7ais"}));
    EXPECT_EQ(page.selectedLanguageEntry, 1);
    EXPECT_TRUE(page.commands[0].visible && page.commands[1].visible);
    EXPECT_FALSE(page.commands[2].visible);  // neither update nor Individual Setup
    EXPECT_EQ(page.commands[0].caption, u"&Run Circuita from Stick");
    EXPECT_EQ(page.commands[1].caption, u"&Install Circuita");
    EXPECT_EQ(page.commands[1].explanation, u"Installs the Circuita 5 program.");
    EXPECT_TRUE(page.helpVisible);

    page.onLanguageChange(0, page);
    EXPECT_EQ(app.choices.languageIndex, 0);
    EXPECT_EQ(page.title, u"Willkommen!");
    EXPECT_EQ(page.windowTitle, u"Circuita 5 Setup (V 5.0b)");
    EXPECT_FALSE(page.commands[2].visible);
}

TEST_F(WizardPages, StartPageVariantsOfTheInstallAndFourthCommand) {
    app.offer.isPelaxo5 = true;
    PageModel page = startPage(app);
    EXPECT_FALSE(page.commands[0].visible);  // nothing to run on the medium
    EXPECT_EQ(page.commands[1].explanation, u"The program Circuita 5 will be installed or updated.");
    app.product.toGoEdition = true;
    EXPECT_EQ(startPage(app).commands[1].explanation, u"The program Circuita 5 will be installed.");

    app.product.updateConfigured = true;
    page = startPage(app);
    EXPECT_TRUE(page.commands[2].visible);
    EXPECT_EQ(page.commands[2].caption, u"&Search for updates");
    app.product.preconfigSetup = true;
    EXPECT_EQ(startPage(app).commands[2].caption, u"Create Individual &Setup");

    app.choices.languageIndex = 2;
    EXPECT_TRUE(startPage(app).tallThirdExplanation);
    app.offer.languageList = {1};
    EXPECT_FALSE(startPage(app).languageChoiceEnabled);
    app.choices.languageIndex = 3;  // not offered: the first entry is selected, texts stay French
    page = startPage(app);
    EXPECT_EQ(page.selectedLanguageEntry, 0);
    EXPECT_EQ(page.title, u"Bienvenue\u00a0!");
}

TEST(PageSeam, DialogWordsBecomeResults) {
    const std::pair<const char*, PageResult> cases[] = {
        {"next", PageResult::Next},       {"back", PageResult::Back},       {"cancel", PageResult::Cancel},
        {"button1", PageResult::Button1}, {"button2", PageResult::Button2}, {"button4", PageResult::Button4},
        {"option1", PageResult::Option1}, {"option2", PageResult::Option2}, {"", PageResult::None},
        {"Next", PageResult::None},       {"start", PageResult::None},
    };
    for (const auto& [word, result] : cases) EXPECT_EQ(pageResultOf(word), result) << word;
}

TEST_F(WizardPages, AnswersComeBackAndThePlacementIsKept) {
    answer("button2", [](PageModel& p) { p.placement = {10, 20, 504, 378}; });
    EXPECT_EQ(steps.showStartPage(app), StepResult(PageResult::Button2));
    EXPECT_EQ(app.record.lastPageRect.right, 504);

    // The next page opens where the last one was.
    answer("back");
    EXPECT_EQ(steps.askUserGroup(app), StepResult(PageResult::Back));
    EXPECT_EQ(lastPage().placement.left, 10);

    // No word: nothing taken over, no position either; the flow moves on from a question
    // all the same.
    app.choices.allUsers = true;
    answer("", [](PageModel& p) {
        p.selectedOption = 1;
        p.placement = {1, 2, 3, 4};
    });
    EXPECT_EQ(steps.askUserGroup(app), StepResult(PageResult::None));
    EXPECT_TRUE(app.choices.allUsers);
    EXPECT_EQ(app.record.lastPageRect.right, 504);
}

TEST_F(WizardPages, TwoOptionPagesShowTheirTextsAndTakeTheChoice) {
    app.choices.allUsers = true;
    answer("option2", [](PageModel& p) { p.selectedOption = 1; });
    EXPECT_EQ(steps.askUserGroup(app), StepResult(PageResult::Next));
    EXPECT_EQ(lastPage().pageClass, PageClass::TwoOptions);
    EXPECT_EQ(lastPage().title, u"Select User Group");
    EXPECT_EQ(lastPage().message, u"Please select the group for which Circuita 5 is to be installed.");
    EXPECT_EQ(lastPage().selectedOption, 0);
    EXPECT_FALSE(app.choices.allUsers);

    app.choices.linkOnly = true;
    answer("option2");
    EXPECT_EQ(steps.askInstallationType(app), StepResult(PageResult::Option2));  // passed on for the flow
    EXPECT_EQ(lastPage().selectedOption, 1);
    EXPECT_FALSE(app.choices.linkOnly);

    app.offer.askForPresentations = true;
    app.product.presentationsSize = u"12";
    answer("option1");
    steps.askPresentations(app);
    EXPECT_EQ(lastPage().option1, u"&Install presentations (approx. 12 MB)");
    EXPECT_TRUE(app.choices.installPresentations);
}

TEST_F(WizardPages, PagesNotNeededAreSkipped) {
    system.administrator = false;
    app.choices.allUsers = true;
    EXPECT_EQ(steps.askUserGroup(app), StepResult::skip());
    EXPECT_FALSE(app.choices.allUsers);
    for (auto step : {&WizardSteps::askSetupFolder, &WizardSteps::askProgramFolder, &WizardSteps::askCircuitFolder,
                      &WizardSteps::askCopyVideos, &WizardSteps::fetchVideos, &WizardSteps::askMaterialDownload,
                      &WizardSteps::askPresentations, &WizardSteps::askAutoMode})
        EXPECT_EQ((steps.*step)(app), StepResult::skip());
    EXPECT_TRUE(ui.pagesShown.empty());
}

TEST_F(WizardPages, AlreadyInstalledLeadsToTheOptionalPagesOrToTheUpdate) {
    app.offer.askForVideos = true;
    app.choices.installVideos = true;
    answer("option2");
    EXPECT_EQ(steps.askAlreadyInstalled(app), StepResult::jumpTo(StepTarget::Videos, PageResult::Option2));
    EXPECT_EQ(lastPage().title, u"Circuita 5 Update");

    answer("option1");
    EXPECT_EQ(steps.askAlreadyInstalled(app), StepResult(PageResult::Next));
    EXPECT_FALSE(app.choices.installVideos);
}

TEST_F(WizardPages, FailedMaterialDownloadReturnsToTheQuestionBefore) {
    app.product.askForMaterialDownload = true;
    answer("option1");
    EXPECT_EQ(steps.askMaterialDownload(app), StepResult::backToQuestion());
    EXPECT_TRUE(app.choices.downloadMaterialChosen);
    EXPECT_FALSE(app.record.materialDownloaded);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, u"Error! Internet connection failed.");
    EXPECT_EQ(ui.messages[0].kind, platform::MessageKind::Warning);

    answer("option2");  // not chosen: on without a download
    EXPECT_EQ(steps.askMaterialDownload(app), StepResult(PageResult::Next));
    EXPECT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(downloads.materialCalls, 1);

    downloads.materialResult = kDownloadDone;
    answer("option1");
    EXPECT_EQ(steps.askMaterialDownload(app), StepResult(PageResult::Next));
    EXPECT_TRUE(app.record.materialDownloaded);
    EXPECT_EQ(downloads.materialCalls, 2);
    EXPECT_EQ(ui.messages.size(), 1u);
}

TEST_F(WizardPages, FinishPageOffersOnlyItsQuitButton) {
    steps.showFinishPage(app, u"Circuita 5 setup finished", u"Setup has been aborted.", u"");
    EXPECT_EQ(lastPage().pageClass, PageClass::Info);
    EXPECT_EQ(lastPage().cancelCaption, u"&Quit");
    EXPECT_TRUE(lastPage().backCaption.empty() && lastPage().nextCaption.empty() && lastPage().helpCaption.empty());
    EXPECT_TRUE(lastPage().cancelQuestion.empty());

    app.choices.individualSetupFolder = u"E:\\Setups\\";
    app.choices.targetProgramFolder = u"C:\\Apps\\";
    app.choices.allUsers = false;
    answer("next");
    steps.showPresetsSummary(app);
    EXPECT_EQ(lastPage().message, u"The program will not install. Folder of the 'Individual Setup':\nE:\\Setups");
    EXPECT_EQ(lastPage().infoText, u"Content of the file 'setup.ini'\n\n[SETUP]\nDEFAULTDIRL=C:\\Apps\n");
    EXPECT_EQ(lastPage().cancelQuestion, u"Are you sure you want to cancel Circuita 5 installation?");
}

}  // namespace
