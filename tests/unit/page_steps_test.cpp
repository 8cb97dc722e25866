// Page steps against the scripted UI: what each page shows and how answers are taken.
#include <gtest/gtest.h>

#include "app/bootstrapper_app.h"
#include "fakes/fake_system.h"
#include "platform/download_result.h"
#include "platform/page_model.h"
#include "config/page_frame.h"
#include "ui/start_page.h"
#include "ui/wizard_steps.h"

namespace {

using platform::PageClass;
using platform::PageModel;

// Downloads that answer with a scripted result and count their calls.
class ScriptedDownloads : public ContentDownloads {
public:
    int videosResult = kDownloadTransferProblem;
    int materialResult = kDownloadTransferProblem;
    int videoCalls = 0;
    int materialCalls = 0;
    int downloadVideos(RunContext&) override {
        ++videoCalls;
        return videosResult;
    }
    int downloadMaterial(RunContext&) override {
        ++materialCalls;
        return materialResult;
    }
};

class WizardPages : public ::testing::Test {
protected:
    WizardPages() {
        app.productName = u"Circuita 5";
        app.productShortName = u"Circuita";
        app.versionSuffix = u" (V 5.0b)";
        app.applicationTitle = u"Circuita 5 Setup";
        app.languageEnabled = {true, true, false, true, false, false};
        app.languageList = {0, 1, 3};
        app.languageIndex = 1;
        app.stickAppPath = u"D:\\App\\Circuita.exe";
        app.mainExeDir[1] = u"Circuita 5";
        app.circuitDir[1] = u"Circuits";
        system.copyLikeXcopy();
    }
    // The next page answers with this word after the change.
    void answer(const std::string& word, std::function<void(PageModel&)> change = nullptr) {
        ui.pageAnswers.push_back([word, change](PageModel& page) {
            if (change) change(page);
            return word;
        });
    }
    const PageModel& lastPage() const { return ui.pagesShown.back(); }

    FakeSystem system;
    FakeUi ui;
    CBootstrapperApp app{system, ui};
    ScriptedDownloads downloads;
    WizardSteps steps{downloads};
};

TEST_F(WizardPages, StartPageCommandsTextsAndLanguageSwitch) {
    system.addFile(u"D:\\App\\Circuita.exe");
    app.helpFileTempCopy[1] = u"C:\\Temp\\_1_setup_help.chm";
    PageModel page = startPage(app);
    EXPECT_EQ(page.pageClass, PageClass::Start);
    EXPECT_EQ(page.windowTitle, u"Circuita 5 Setup (V 5.0b)");
    EXPECT_EQ(page.title, u"Welcome!");
    EXPECT_EQ(page.languageLabel, u"Language / Sprache / Idioma / Langue");
    EXPECT_EQ(page.languageNames, (std::vector<std::u16string>{u"Deutsch", u"English", u"Fran\u00e7ais"}));
    EXPECT_EQ(page.selectedLanguageEntry, 1);
    EXPECT_TRUE(page.commands[0].visible && page.commands[1].visible);
    EXPECT_FALSE(page.commands[2].visible);  // neither update nor Individual Setup
    EXPECT_EQ(page.commands[0].caption, u"Run Circuita from Stick");
    EXPECT_EQ(page.commands[1].caption, u"Install Circuita");
    EXPECT_EQ(page.commands[1].explanation, u"Installs the Circuita 5 program.");
    EXPECT_TRUE(page.helpVisible);

    page.onLanguageChange(0, page);
    EXPECT_EQ(app.languageIndex, 0);
    EXPECT_EQ(page.title, u"Willkommen!");
    EXPECT_EQ(page.windowTitle, u"Circuita 5 Setup (V 5.0b)");
    EXPECT_FALSE(page.commands[2].visible);
}

TEST_F(WizardPages, StartPageVariantsOfTheInstallAndFourthCommand) {
    app.isPelaxo5 = true;
    PageModel page = startPage(app);
    EXPECT_FALSE(page.commands[0].visible);  // nothing to run on the medium
    EXPECT_EQ(page.commands[1].explanation, u"The program Circuita 5 will be installed or updated.");
    app.toGoEdition = true;
    EXPECT_EQ(startPage(app).commands[1].explanation, u"The program Circuita 5 will be installed.");

    app.updateConfigured = true;
    page = startPage(app);
    EXPECT_TRUE(page.commands[2].visible);
    EXPECT_EQ(page.commands[2].caption, u"Search for updates");
    app.preconfigSetup = true;
    EXPECT_EQ(startPage(app).commands[2].caption, u"Create Individual Setup");

    app.languageIndex = 2;
    EXPECT_TRUE(startPage(app).tallThirdExplanation);
    app.languageList = {1};
    EXPECT_FALSE(startPage(app).languageChoiceEnabled);
    app.languageIndex = 3;  // not offered: the first entry is selected, texts stay French
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
    EXPECT_EQ(app.lastPageRect.right, 504);

    // The next page opens where the last one was.
    answer("back");
    EXPECT_EQ(steps.askUserGroup(app), StepResult(PageResult::Back));
    EXPECT_EQ(lastPage().placement.left, 10);

    // Escape: no answer, nothing taken over, no position either; the flow moves on from a
    // question all the same.
    app.allUsers = true;
    answer("", [](PageModel& p) {
        p.selectedOption = 1;
        p.placement = {1, 2, 3, 4};
    });
    EXPECT_EQ(steps.askUserGroup(app), StepResult(PageResult::None));
    EXPECT_TRUE(app.allUsers);
    EXPECT_EQ(app.lastPageRect.right, 504);
}

TEST_F(WizardPages, TwoOptionPagesShowTheirTextsAndTakeTheChoice) {
    app.allUsers = true;
    answer("option2", [](PageModel& p) { p.selectedOption = 1; });
    EXPECT_EQ(steps.askUserGroup(app), StepResult(PageResult::Next));
    EXPECT_EQ(lastPage().pageClass, PageClass::TwoOptions);
    EXPECT_EQ(lastPage().title, u"Select User Group");
    EXPECT_EQ(lastPage().message, u"Please select the group for which Circuita 5 is to be installed.");
    EXPECT_EQ(lastPage().selectedOption, 0);
    EXPECT_FALSE(app.allUsers);

    app.linkOnly = true;
    answer("option2");
    EXPECT_EQ(steps.askInstallationType(app), StepResult(PageResult::Option2));  // passed on for the flow
    EXPECT_EQ(lastPage().selectedOption, 1);
    EXPECT_FALSE(app.linkOnly);

    app.askForPresentations = true;
    app.presentationsSize = u"12";
    answer("option1");
    steps.askPresentations(app);
    EXPECT_EQ(lastPage().option1, u"Install presentations (approx. 12 MB)");
    EXPECT_TRUE(app.installPresentations);
}

TEST_F(WizardPages, PagesNotNeededAreSkipped) {
    system.administrator = false;
    app.allUsers = true;
    EXPECT_EQ(steps.askUserGroup(app), StepResult::skip());
    EXPECT_FALSE(app.allUsers);
    for (auto step : {&WizardSteps::askSetupFolder, &WizardSteps::askProgramFolder, &WizardSteps::askCircuitFolder,
                      &WizardSteps::askCopyVideos, &WizardSteps::fetchVideos, &WizardSteps::askMaterialDownload,
                      &WizardSteps::askPresentations, &WizardSteps::askAutoMode})
        EXPECT_EQ((steps.*step)(app), StepResult::skip());
    EXPECT_TRUE(ui.pagesShown.empty());
}

TEST_F(WizardPages, FolderPagesTakeTheTypedFolderOnlyOnNext) {
    app.preconfigMode = true;
    answer("back", [](PageModel& p) { p.folder = u"E:\\Typed"; });
    steps.askSetupFolder(app);
    EXPECT_EQ(lastPage().folder, u"c:\\install\\Circuita 5");
    EXPECT_EQ(lastPage().subFolder, u"Circuita 5");
    EXPECT_EQ(app.individualSetupFolder, u"c:\\install\\Circuita 5");

    answer("next", [](PageModel& p) { p.folder = u"E:\\Typed"; });
    steps.askSetupFolder(app);
    EXPECT_EQ(app.individualSetupFolder, u"E:\\Typed");

    app.circuitFolderDialog = true;
    answer("next", [](PageModel& p) {
        p.useStandardFolder = false;
        p.folder = u"D:\\Mine";
    });
    steps.askCircuitFolder(app);
    EXPECT_EQ(lastPage().pageClass, PageClass::CircuitFolder);
    EXPECT_EQ(lastPage().standardFolder, u"C:\\Users\\u\\Documents\\Circuits");
    EXPECT_FALSE(lastPage().showStandardFolder);  // the target systems' documents are unknown
    EXPECT_FALSE(app.useStandardCircuitFolder);
    EXPECT_EQ(app.circuitFolder, u"D:\\Mine");
}

TEST_F(WizardPages, AlreadyInstalledLeadsToTheOptionalPagesOrToTheUpdate) {
    app.askForVideos = true;
    app.installVideos = true;
    answer("option2");
    EXPECT_EQ(steps.askAlreadyInstalled(app), StepResult::jumpTo(StepTarget::Videos, PageResult::Option2));
    EXPECT_EQ(lastPage().title, u"Circuita 5 Update");

    answer("option1");
    EXPECT_EQ(steps.askAlreadyInstalled(app), StepResult(PageResult::Next));
    EXPECT_FALSE(app.installVideos);
}

TEST_F(WizardPages, FailedMaterialDownloadReturnsToTheQuestionBefore) {
    app.askForMaterialDownload = true;
    answer("option1");
    EXPECT_EQ(steps.askMaterialDownload(app), StepResult::backToQuestion());
    EXPECT_TRUE(app.downloadMaterialChosen);
    EXPECT_FALSE(app.materialDownloaded);
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
    EXPECT_TRUE(app.materialDownloaded);
    EXPECT_EQ(downloads.materialCalls, 2);
    EXPECT_EQ(ui.messages.size(), 1u);
}

TEST_F(WizardPages, FinishPageOffersOnlyItsQuitButton) {
    steps.showFinishPage(app, u"Circuita 5 setup finished", u"Setup has been aborted.", u"");
    EXPECT_EQ(lastPage().pageClass, PageClass::Info);
    EXPECT_EQ(lastPage().cancelCaption, u"Quit");
    EXPECT_TRUE(lastPage().backCaption.empty() && lastPage().nextCaption.empty() && lastPage().helpCaption.empty());
    EXPECT_TRUE(lastPage().cancelQuestion.empty());

    app.individualSetupFolder = u"E:\\Setups\\";
    app.targetProgramFolder = u"C:\\Apps\\";
    app.allUsers = false;
    answer("next");
    steps.showPresetsSummary(app);
    EXPECT_EQ(lastPage().message, u"The program will not install. Folder of the 'Individual Setup':\nE:\\Setups");
    EXPECT_EQ(lastPage().infoText, u"Content of the file 'setup.ini'\n\n[SETUP]\nDEFAULTDIRL=C:\\Apps\n");
    EXPECT_EQ(lastPage().cancelQuestion, u"Are you sure you want to cancel Circuita 5 installation?");
}

TEST_F(WizardPages, NetworkFolderMustHoldAnInstallation) {
    app.startApplicationOnStick = u"Circuita.exe";
    system.addFile(u"\\\\srv\\apps\\Circuita\\bin\\Circuita.exe");
    app.networkFolder = u"\\\\srv\\old";
    answer("next", [](PageModel& p) { p.folder = u"\\\\srv\\apps"; });                     // nothing there
    answer("next", [](PageModel& p) { p.folder = u" \\\\srv\\apps\\Circuita\\bin\\ "; });  // the bin folder
    EXPECT_EQ(steps.askNetworkFolder(app), StepResult(PageResult::Next));
    ASSERT_EQ(ui.pagesShown.size(), 2u);
    EXPECT_EQ(ui.pagesShown[0].folder, u"\\\\srv\\old");
    EXPECT_EQ(ui.pagesShown[0].title, u"Select program folder.");
    EXPECT_EQ(ui.pagesShown[0].browseFlags, 577u);
    EXPECT_EQ(ui.pagesShown[1].folder, u"\\\\srv\\apps");  // again, as the user left it
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, u"There is no valid installation of Circuita 5 in the selected folder.");
    EXPECT_EQ(ui.messages[0].kind, platform::MessageKind::Warning);
    EXPECT_EQ(app.networkFolder, u"\\\\srv\\apps\\Circuita");
    EXPECT_TRUE(app.linkOnly);

    // Back over an invalid folder clears it without a message.
    answer("back", [](PageModel& p) { p.folder = u"\\\\srv\\nothing"; });
    steps.askNetworkFolder(app);
    EXPECT_TRUE(app.networkFolder.empty());
    EXPECT_FALSE(app.linkOnly);
    EXPECT_EQ(ui.messages.size(), 1u);

    // The current generation also needs the material of its technology.
    app.isPelaxo5 = true;
    app.technologyDomain = "hyd";
    answer("next", [](PageModel& p) { p.folder = u"\\\\srv\\apps\\Circuita"; });
    answer("cancel");
    EXPECT_EQ(steps.askNetworkFolder(app), StepResult(PageResult::Cancel));
    EXPECT_EQ(ui.messages.size(), 2u);
    system.folders.insert(u"\\\\srv\\apps\\Circuita\\tuto\\hyd");
    answer("next", [](PageModel& p) { p.folder = u"\\\\srv\\apps\\Circuita"; });
    steps.askNetworkFolder(app);
    EXPECT_TRUE(app.linkOnly);
}

TEST_F(WizardPages, SetupFolderIsCreatedOrRefusedWithItsName) {
    app.preconfigMode = true;
    system.unwritableFolders.insert(u"R:\\Setups");
    answer("next", [](PageModel& p) { p.folder = u"R:\\Setups"; });
    EXPECT_EQ(steps.askSetupFolder(app), StepResult::again(PageResult::Next));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text,
              u"The folder 'R:\\Setups' cannot be created. \nMake sure the folder name is correct "
              u"\nand you have write access to the specified folder.");
    EXPECT_TRUE(app.individualSetupFolder.empty());

    // Shown again with the default; a new folder is created by the write test.
    answer("next", [](PageModel& p) { p.folder = u"  E:\\New\\Setup  "; });
    EXPECT_EQ(steps.askSetupFolder(app), StepResult(PageResult::Next));
    EXPECT_EQ(lastPage().folder, u"c:\\install\\Circuita 5");
    EXPECT_EQ(app.individualSetupFolder, u"E:\\New\\Setup");
    EXPECT_EQ(system.folders.count(u"E:\\New\\Setup"), 1u);

    // Names Windows cannot take are refused before anything is created.
    for (const char16_t* bad : {u"E:\\a|b", u"E:\\\"x\"", u"E:\\a?", u"E:\\tab\tname", u"   "}) {
        answer("next", [bad](PageModel& p) { p.folder = bad; });
        EXPECT_EQ(steps.askSetupFolder(app), StepResult::again(PageResult::Next));
    }
    answer("next", [](PageModel& p) { p.folder = u"E:\\" + std::u16string(300, u'x'); });
    EXPECT_EQ(steps.askSetupFolder(app), StepResult::again(PageResult::Next));
    EXPECT_EQ(ui.messages.size(), 7u);
    EXPECT_EQ(system.folders.size(), 1u);
}

TEST_F(WizardPages, ProgramFolderDefaultBackAndEmptyAnswer) {
    app.preconfigMode = true;
    app.isPelaxo5 = true;
    answer("back");
    steps.askProgramFolder(app);
    EXPECT_EQ(lastPage().folder, u"C:\\Program Files (x86)\\tutoria\\Circuita 5");
    EXPECT_EQ(lastPage().title, u"Select program folder on the target system.");
    EXPECT_TRUE(app.targetProgramFolder.empty());  // the default is dropped again
    EXPECT_EQ(system.folders.count(u"C:\\Program Files (x86)\\tutoria\\Circuita 5"), 1u);  // though made

    answer("next", [](PageModel& p) { p.folder = u" \r\n"; });
    EXPECT_EQ(steps.askProgramFolder(app), StepResult::again(PageResult::Next));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text.substr(0, 16), u"The folder '' ca");
    EXPECT_TRUE(app.targetProgramFolder.empty());

    system.setWindows64(false);
    app.isPelaxo5 = false;
    app.toGoEdition = true;
    app.preconfigMode = false;
    answer("next", [](PageModel& p) { p.folder = u" D:\\Portable "; });
    EXPECT_EQ(steps.askProgramFolder(app), StepResult(PageResult::Next));
    EXPECT_EQ(lastPage().folder, u"C:\\Program Files\\Circuita 5");
    EXPECT_EQ(lastPage().message, u"The program will be installed in this folder.");
    EXPECT_EQ(app.targetProgramFolder, u"D:\\Portable");
}

TEST_F(WizardPages, CircuitFolderIsTrimmedAndMustBeNameable) {
    app.circuitFolderDialog = true;
    answer("next", [](PageModel& p) {
        p.useStandardFolder = false;
        p.folder = u"  D:\\My Circuits \r\n";
    });
    steps.askCircuitFolder(app);
    EXPECT_EQ(app.circuitFolder, u"D:\\My Circuits");
    EXPECT_TRUE(lastPage().showStandardFolder);

    answer("next", [](PageModel& p) {
        p.useStandardFolder = false;
        p.folder = u"D:\\<new>";
    });
    answer("next", [](PageModel& p) { p.useStandardFolder = true; });
    steps.askCircuitFolder(app);
    EXPECT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(app.useStandardCircuitFolder);
    EXPECT_EQ(app.circuitFolder, u"D:\\My Circuits");  // kept for the next visit

    // Back takes the check box but no folder.
    answer("back", [](PageModel& p) {
        p.useStandardFolder = false;
        p.folder = u"E:\\Other";
    });
    steps.askCircuitFolder(app);
    EXPECT_FALSE(app.useStandardCircuitFolder);
    EXPECT_EQ(app.circuitFolder, u"D:\\My Circuits");
}

}  // namespace

namespace {

TEST_F(WizardPages, OlderInstallationIsSearchedUntilAFolderHoldsItsPrograms) {
    app.isPelaxo4 = true;
    app.startApplicationOnStick = u"Pelaxo.exe";
    app.legacyExeDir = u"C:\\Gone\\bin";  // no longer there: the old installation was for everyone
    // Escape on the page asked again keeps the direction the refused Next gave.
    answer("next", [](PageModel& page) { page.folder = u"C:\\Old\\bin\\"; });
    answer("", [](PageModel& page) { page.folder = u"C:\\Tutoria\\Pelaxo 4"; });
    for (const char16_t* name : {u"Pelaxo.exe", u"ad_dsd.dll", u"lang001.bin", u"ad_cmn.dll", u"InitLang.dll"})
        system.addFile(std::u16string(u"C:\\Tutoria\\Pelaxo 4\\bin\\") + name);
    EXPECT_EQ(steps.askOlderInstallation(app), StepResult::jumpTo(StepTarget::Videos, PageResult::Next));
    ASSERT_EQ(ui.pagesShown.size(), 2u);
    EXPECT_EQ(ui.pagesShown[0].folder, u"C:\\Gone");
    EXPECT_EQ(ui.pagesShown[0].message, u"Please select the folder of an existing Pelaxo installation.");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, u"No valid installation of Pelaxo could be found in the selected folder.");
    EXPECT_TRUE(app.legacyAllUsers);
    EXPECT_TRUE(app.legacyUpgrade);
    EXPECT_EQ(app.legacyExeDir, u"C:\\Tutoria\\Pelaxo 4\\bin");
    EXPECT_EQ(app.legacyInstNdir, u"C:\\Tutoria\\Pelaxo 4");

    // No earlier folder: the standard one is proposed; Back leaves without an upgrade.
    app.legacyExeDir.clear();
    answer("back");
    EXPECT_EQ(steps.askOlderInstallation(app), StepResult(PageResult::Back));
    EXPECT_EQ(ui.pagesShown.back().folder, u"C:\\Program Files (x86)\\Tutoria\\Circuita 5");
    EXPECT_FALSE(app.legacyUpgrade);
}

}  // namespace
