// The folder page steps against the scripted UI: what each proposes, which typed folders
// it takes, and what it reports when it refuses one.
#include "fakes/wizard_pages.h"

namespace {

using platform::PageClass;
using platform::PageModel;

TEST_F(WizardPages, FolderPagesTakeTheTypedFolderOnlyOnNext) {
    app.choices.preconfigMode = true;
    answer("back", [](PageModel& p) { p.folder = u"E:\\Typed"; });
    steps.askSetupFolder(app);
    EXPECT_EQ(lastPage().folder, u"c:\\install\\Circuita 5");
    EXPECT_EQ(lastPage().subFolder, u"Circuita 5");
    EXPECT_EQ(app.choices.individualSetupFolder, u"c:\\install\\Circuita 5");

    answer("next", [](PageModel& p) { p.folder = u"E:\\Typed"; });
    steps.askSetupFolder(app);
    EXPECT_EQ(app.choices.individualSetupFolder, u"E:\\Typed");

    app.product.circuitFolderDialog = true;
    answer("next", [](PageModel& p) {
        p.useStandardFolder = false;
        p.folder = u"D:\\Mine";
    });
    steps.askCircuitFolder(app);
    EXPECT_EQ(lastPage().pageClass, PageClass::CircuitFolder);
    EXPECT_EQ(lastPage().standardFolder, u"C:\\Users\\u\\Documents\\Circuits");
    EXPECT_FALSE(lastPage().showStandardFolder);  // the target systems' documents are unknown
    EXPECT_FALSE(app.choices.useStandardCircuitFolder);
    EXPECT_EQ(app.choices.circuitFolder, u"D:\\Mine");
}

TEST_F(WizardPages, NetworkFolderMustHoldAnInstallation) {
    app.product.startApplicationOnStick = u"Circuita.exe";
    system.addFile(u"\\\\srv\\apps\\Circuita\\bin\\Circuita.exe");
    app.choices.networkFolder = u"\\\\srv\\old";
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
    EXPECT_EQ(app.choices.networkFolder, u"\\\\srv\\apps\\Circuita");
    EXPECT_TRUE(app.choices.linkOnly);

    // Back over an invalid folder clears it without a message.
    answer("back", [](PageModel& p) { p.folder = u"\\\\srv\\nothing"; });
    steps.askNetworkFolder(app);
    EXPECT_TRUE(app.choices.networkFolder.empty());
    EXPECT_FALSE(app.choices.linkOnly);
    EXPECT_EQ(ui.messages.size(), 1u);

    // The current generation also needs the material of its technology.
    app.offer.isPelaxo5 = true;
    app.product.technologyDomain = "hyd";
    answer("next", [](PageModel& p) { p.folder = u"\\\\srv\\apps\\Circuita"; });
    answer("cancel");
    EXPECT_EQ(steps.askNetworkFolder(app), StepResult(PageResult::Cancel));
    EXPECT_EQ(ui.messages.size(), 2u);
    system.folders.insert(u"\\\\srv\\apps\\Circuita\\tuto\\hyd");
    answer("next", [](PageModel& p) { p.folder = u"\\\\srv\\apps\\Circuita"; });
    steps.askNetworkFolder(app);
    EXPECT_TRUE(app.choices.linkOnly);
}

TEST_F(WizardPages, SetupFolderIsCreatedOrRefusedWithItsName) {
    app.choices.preconfigMode = true;
    system.unwritableFolders.insert(u"R:\\Setups");
    answer("next", [](PageModel& p) { p.folder = u"R:\\Setups"; });
    EXPECT_EQ(steps.askSetupFolder(app), StepResult::again(PageResult::Next));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text,
              u"The folder 'R:\\Setups' cannot be created. \nMake sure the folder name is correct "
              u"\nand you have write access to the specified folder.");
    EXPECT_TRUE(app.choices.individualSetupFolder.empty());

    // Shown again with the default; a new folder is created by the write test.
    answer("next", [](PageModel& p) { p.folder = u"  E:\\New\\Setup  "; });
    EXPECT_EQ(steps.askSetupFolder(app), StepResult(PageResult::Next));
    EXPECT_EQ(lastPage().folder, u"c:\\install\\Circuita 5");
    EXPECT_EQ(app.choices.individualSetupFolder, u"E:\\New\\Setup");
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
    app.choices.preconfigMode = true;
    app.offer.isPelaxo5 = true;
    answer("back");
    steps.askProgramFolder(app);
    EXPECT_EQ(lastPage().folder, u"C:\\Program Files (x86)\\tutoria\\Circuita 5");
    EXPECT_EQ(lastPage().title, u"Select program folder on the target system.");
    EXPECT_TRUE(app.choices.targetProgramFolder.empty());  // the default is dropped again
    EXPECT_EQ(system.folders.count(u"C:\\Program Files (x86)\\tutoria\\Circuita 5"), 1u);  // though made

    answer("next", [](PageModel& p) { p.folder = u" \r\n"; });
    EXPECT_EQ(steps.askProgramFolder(app), StepResult::again(PageResult::Next));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text.substr(0, 16), u"The folder '' ca");
    EXPECT_TRUE(app.choices.targetProgramFolder.empty());

    system.setWindows64(false);
    app.offer.isPelaxo5 = false;
    app.product.toGoEdition = true;
    app.choices.preconfigMode = false;
    answer("next", [](PageModel& p) { p.folder = u" D:\\Portable "; });
    EXPECT_EQ(steps.askProgramFolder(app), StepResult(PageResult::Next));
    EXPECT_EQ(lastPage().folder, u"C:\\Program Files\\Circuita 5");
    EXPECT_EQ(lastPage().message, u"The program will be installed in this folder.");
    EXPECT_EQ(app.choices.targetProgramFolder, u"D:\\Portable");
}

TEST_F(WizardPages, CircuitFolderIsTrimmedAndMustBeNameable) {
    app.product.circuitFolderDialog = true;
    answer("next", [](PageModel& p) {
        p.useStandardFolder = false;
        p.folder = u"  D:\\My Circuits \r\n";
    });
    steps.askCircuitFolder(app);
    EXPECT_EQ(app.choices.circuitFolder, u"D:\\My Circuits");
    EXPECT_TRUE(lastPage().showStandardFolder);

    answer("next", [](PageModel& p) {
        p.useStandardFolder = false;
        p.folder = u"D:\\<new>";
    });
    answer("next", [](PageModel& p) { p.useStandardFolder = true; });
    steps.askCircuitFolder(app);
    EXPECT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(app.choices.useStandardCircuitFolder);
    EXPECT_EQ(app.choices.circuitFolder, u"D:\\My Circuits");  // kept for the next visit

    // Back takes the check box but no folder.
    answer("back", [](PageModel& p) {
        p.useStandardFolder = false;
        p.folder = u"E:\\Other";
    });
    steps.askCircuitFolder(app);
    EXPECT_FALSE(app.choices.useStandardCircuitFolder);
    EXPECT_EQ(app.choices.circuitFolder, u"D:\\My Circuits");
}

TEST_F(WizardPages, OlderInstallationIsSearchedUntilAFolderHoldsItsPrograms) {
    app.offer.isPelaxo4 = true;
    app.product.startApplicationOnStick = u"Pelaxo.exe";
    app.offer.legacyExeDir = u"C:\\Gone\\bin";  // no longer there: the old installation was for everyone
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
    EXPECT_TRUE(app.offer.legacyAllUsers);
    EXPECT_TRUE(app.offer.legacyUpgrade);
    EXPECT_EQ(app.offer.legacyExeDir, u"C:\\Tutoria\\Pelaxo 4\\bin");
    EXPECT_EQ(app.offer.legacyInstNdir, u"C:\\Tutoria\\Pelaxo 4");

    // No earlier folder: the standard one is proposed; Back leaves without an upgrade.
    app.offer.legacyExeDir.clear();
    answer("back");
    EXPECT_EQ(steps.askOlderInstallation(app), StepResult(PageResult::Back));
    EXPECT_EQ(ui.pagesShown.back().folder, u"C:\\Program Files (x86)\\Tutoria\\Circuita 5");
    EXPECT_FALSE(app.offer.legacyUpgrade);
}

}  // namespace
