// The start-up sequence of the application object with the fake platform.
#include <gtest/gtest.h>

#include "app/bootstrapper_app.h"
#include "app/startup_steps.h"
#include "fakes/fake_system.h"

namespace {

std::string minimalSettings(const std::string& languages = "<language>de-de</language><language>en-us</language>",
                            const std::string& bootstrapperAttributes = "") {
    return "<installer><product><name>Circuita</name><guid>G</guid></product>"
           "<bootstrapper " +
           bootstrapperAttributes + "><languages>" + languages +
           "</languages>"
           "<application-dir-relative>App</application-dir-relative>"
           "<start-application-on-stick>Circuita.exe</start-application-on-stick>"
           "<link-installation-only><bin-dir>bin</bin-dir><program-dir>C</program-dir>"
           "<regentry-installdir subkey=\"SOFTWARE\\Circuita\" value-name=\"INST_DIR\"/>"
           "<regentry-icon subkey=\"i\"/><regentry-open subkey=\"o\"/></link-installation-only>"
           "</bootstrapper><msi><output file=\"c.msi\" resource-id=\"MSI_FILE\" main-package=\"de-de\"/></msi>"
           "</installer>";
}

class Startup : public ::testing::Test {
protected:
    FakeSystem system;
    FakeUi ui;

    // A whole run; what it did shows in the messages, pages and state it left.
    void run(const std::string& settings) {
        system.setSettings(settings);
        app = std::make_unique<CBootstrapperApp>(system, ui);
        app->initInstance();
    }
    std::u16string onlyMessage() {
        EXPECT_EQ(ui.messages.size(), 1u);
        return ui.messages.empty() ? u"" : ui.messages.front().text;
    }
    std::unique_ptr<CBootstrapperApp> app;
};

TEST_F(Startup, VersionSuffixFromTheLauncherProductVersion) {
    const std::pair<const char16_t*, const char16_t*> cases[] = {
        {u"5.0.2.0", u" (V 5.0b)"}, {u"5.1.0.0", u" (V 5.1)"}, {u"5, 2, 1, 7", u" (V 5.2a)"}, {u"5.1.0", u""}};
    for (const auto& [version, suffix] : cases) {
        system.versionStrings[system.exePath][u"ProductVersion"] = version;
        CBootstrapperApp a(system, ui);
        EXPECT_EQ(a.run().offer.versionSuffix, suffix) << std::string(version, version + 5).c_str();
    }
    system.versionStrings.clear();
    CBootstrapperApp unreadable(system, ui);
    EXPECT_TRUE(unreadable.run().offer.versionSuffix.empty());
}

TEST_F(Startup, SettingsErrorsAreReportedByCodeAndEndTheRun) {
    run("<installer><product><guid>x</guid></product></installer>");
    EXPECT_EQ(onlyMessage(), u"Installation error.\nError code (readXML_Options): 3");
    EXPECT_EQ(ui.messages.front().kind, platform::MessageKind::Error);
    EXPECT_EQ(ui.messages.front().caption, u"setup");  // no product name yet
    EXPECT_TRUE(ui.pagesShown.empty());

    ui.messages.clear();
    system.resources.clear();
    app = std::make_unique<CBootstrapperApp>(system, ui);
    app->initInstance();
    EXPECT_EQ(onlyMessage(), u"Installation error.\nError code (readXML_Options): 54");
    EXPECT_TRUE(ui.pagesShown.empty());
}

TEST_F(Startup, NoLanguageEndsWithCode51) {
    run(minimalSettings(""));
    EXPECT_EQ(onlyMessage(), u"Installation error.\nError code: 51");
    EXPECT_EQ(ui.messages.front().caption, u"Circuita Setup");
}

TEST_F(Startup, SecondInstanceAndOldWindowsEndTheRun) {
    system.otherInstanceRunning = true;
    run(minimalSettings());
    EXPECT_EQ(onlyMessage(), u"Setup cannot run more than once.");

    ui.messages.clear();
    system.otherInstanceRunning = false;
    system.osVersion = 60;
    run(minimalSettings("<language>en-us</language>", "min-os-version=\"61\""));
    EXPECT_EQ(onlyMessage(), u"This operating system is no lonfer supported.");

    // A limit of 0 never blocks, and equal versions pass: the wizard starts.
    for (const char* limit : {"0", "60"}) {
        ui.messages.clear();
        ui.pagesShown.clear();
        run(minimalSettings("<language>en-us</language>", std::string("min-os-version=\"") + limit + "\""));
        EXPECT_TRUE(ui.messages.empty());
        ASSERT_EQ(ui.pagesShown.size(), 1u);
        EXPECT_EQ(ui.pagesShown[0].pageClass, platform::PageClass::Start);
        EXPECT_EQ(app->navigation().flowState, "cancel");
    }
}

TEST_F(Startup, LanguageFollowsTheSystemLocale) {
    system.uiLocale = 0x0407;
    run(minimalSettings("<language>en-us</language><language>de-de</language>"));
    EXPECT_EQ(app->run().choices.languageIndex, 0);
    EXPECT_EQ(app->run().offer.languageList, (std::vector<int>{0, 1}));

    system.uiLocale = 0x0C07;  // German (Austria) falls back to English
    run(minimalSettings("<language>de-de</language><language>en-us</language>"));
    EXPECT_EQ(app->run().choices.languageIndex, 1);

    system.uiLocale = 0x0409;  // English not offered: the first listed stays
    run(minimalSettings("<language>fr-fr</language><language>de-de</language>"));
    EXPECT_EQ(app->run().choices.languageIndex, 3);
}

TEST_F(Startup, FoldersInstallDirAndRights) {
    system.exePath = u"E:\\Medium\\setup.exe";
    system.setString(platform::RegRoot::CurrentUser, u"SOFTWARE\\Circuita", u"INST_DIR", u"C:\\User\\Circuita");
    system.administrator = false;
    run(minimalSettings());
    EXPECT_EQ(app->run().offer.stickAppPath, u"E:\\Medium\\App\\Circuita.exe");
    EXPECT_EQ(system.currentFolder, u"E:\\Medium");
    EXPECT_EQ(app->run().choices.installDir, u"C:\\User\\Circuita");
    EXPECT_EQ(app->run().choices.networkFolder, app->run().choices.installDir);
    EXPECT_FALSE(app->run().choices.allUsers);
    EXPECT_FALSE(app->run().record.lastPageRect.isSet());

    // The machine-wide value wins over the user's; an administrator keeps allUsers.
    system.setString(platform::RegRoot::LocalMachine, u"SOFTWARE\\Circuita", u"INST_DIR", u"C:\\All\\Circuita");
    system.administrator = true;
    run(minimalSettings());
    EXPECT_EQ(app->run().choices.installDir, u"C:\\All\\Circuita");
    EXPECT_TRUE(app->run().choices.allUsers);
    // A value that is no folder name counts as none, whichever hive holds it.
    system.setString(platform::RegRoot::LocalMachine, u"SOFTWARE\\Circuita", u"INST_DIR",
                     u"C:\\All\" TRANSFORMS=\"\\\\host\\x.mst");
    run(minimalSettings());
    EXPECT_EQ(app->run().choices.installDir, u"C:\\User\\Circuita");

    // The two product families never take the folder from the registry.
    std::string pelaxo5 = minimalSettings();
    pelaxo5.replace(pelaxo5.find("Circuita.exe"), 12, "Pelaxo5.exe");
    run(pelaxo5);
    EXPECT_TRUE(app->run().offer.isPelaxo5);
    EXPECT_TRUE(app->run().choices.installDir.empty());
}

TEST_F(Startup, FlowRunsAndStagedHelpCopiesGoAtTheEnd) {
    run(minimalSettings());
    ASSERT_EQ(ui.pagesShown.size(), 1u);
    EXPECT_EQ(ui.pagesShown[0].pageClass, platform::PageClass::Start);
    EXPECT_TRUE(system.commonControlsInitialised);
    EXPECT_EQ(system.comInitCount, 1);
    EXPECT_EQ(app->run().offer.applicationTitle, u"Circuita Setup");

    // Several languages may share one copy; each entry is deleted, failures ignored.
    system.addFile(u"C:\\Temp\\_1_help.chm");
    app->run().record.helpFileTempCopy.fill(u"C:\\Temp\\_1_help.chm");
    app->run().record.helpFileTempCopy[3].clear();
    app.reset();
    EXPECT_EQ(system.deletedFiles.size(), 5u);
    EXPECT_EQ(system.files.count(u"C:\\Temp\\_1_help.chm"), 0u);
    EXPECT_EQ(system.comInitCount, 0);
}

// A "setup.ini" beside the launcher of a product that makes Individual Setups.
class StartupWithPresets : public Startup {
protected:
    StartupWithPresets() { system.exePath = u"E:\\Copy\\setup.exe"; }
    void presets(const std::string& text) { system.addFile(u"E:\\Copy\\setup.ini", text); }
    std::string pelaxo5() {
        std::string settings = minimalSettings();
        return settings.replace(settings.find("Circuita.exe"), 12, "Pelaxo5.exe");
    }
    std::vector<std::u16string> titlesShown() const {
        std::vector<std::u16string> titles;
        for (const auto& page : ui.pagesShown) titles.push_back(page.title);
        return titles;
    }
};

TEST_F(StartupWithPresets, RunStartsAtTheUserGroupAndBackEndsIt) {
    presets("[SETUP]\nDEFAULTDIRL=C:\\Apps\\Circuita\nGLOBAL=1\n");
    ui.answerPage("back");
    run(pelaxo5());
    EXPECT_EQ(titlesShown(), std::vector<std::u16string>{u"Select User Group"});
    EXPECT_EQ(ui.pagesShown[0].selectedOption, 0);
    EXPECT_EQ(app->run().choices.installDir, u"C:\\Apps\\Circuita");
    EXPECT_EQ(app->run().choices.networkFolder, app->run().choices.installDir);
    EXPECT_TRUE(app->run().choices.msiUiOption.empty());

    // Without its folder key the file is ignored: the start page comes first.
    presets("[SETUP]\nGLOBAL=1\n");
    ui.pagesShown.clear();
    run(pelaxo5());
    EXPECT_EQ(ui.pagesShown.at(0).pageClass, platform::PageClass::Start);
    EXPECT_TRUE(app->run().choices.installDir.empty());
}

TEST_F(StartupWithPresets, AutoModeRunsWithoutQuestions) {
    presets("[SETUP]\nDEFAULTDIRL=C:\\Apps\nAUTO_MODE=2\n");
    system.uiLocale = 0x0409;
    system.resources[u"MSI_FILE"] = std::vector<unsigned char>(100, 'm');
    ui.pageAnswers.push_back([](platform::PageModel& page) {  // the extraction runs its work
        page.work();
        return std::string("next");
    });
    run(pelaxo5());
    EXPECT_EQ(app->run().choices.msiUiOption, u"/qn ");
    EXPECT_FALSE(app->run().choices.allUsers);
    // No question is asked: the only page is the extraction's, and msiexec installs the
    // extracted package quietly.
    ASSERT_EQ(ui.pagesShown.size(), 1u);
    EXPECT_EQ(ui.pagesShown[0].pageClass, platform::PageClass::Progress);
    ASSERT_FALSE(system.commandLines.empty());
    EXPECT_NE(system.commandLines.back().find(u"msiexec.exe\" /i \"C:\\Temp\\c.msi\"/qn  "), std::u16string::npos)
        << wideToUtf8(system.commandLines.back());
    // Presets make a quiet run, but not one started by a script: it still ends with 0.
    EXPECT_EQ(app->exitCode(), 0);
}

TEST_F(StartupWithPresets, AQuietCommandLineEndsWithTheInstallersExitCode) {
    system.resources[u"MSI_FILE"] = std::vector<unsigned char>(100, 'm');
    system.onRunProcess = [](const std::u16string&, std::uint32_t) { return 1603u; };
    auto extraction = [](platform::PageModel& page) {
        page.work();
        return std::string("next");
    };
    system.ownCommandLine = u"\"D:\\setup.exe\" /qn CUSTOM_PROP=7";
    ui.pageAnswers.push_back(extraction);
    run(minimalSettings());
    EXPECT_EQ(app->exitCode(), 1603);
    EXPECT_NE(system.commandLines.back().find(u"CUSTOM_PROP=7"), std::u16string::npos);
    EXPECT_TRUE(ui.messages.empty());

    // Without "/q" the same failure ends with 0: the finish page has told the user.
    system.ownCommandLine = u"\"D:\\setup.exe\"";
    system.commandLines.clear();
    run(minimalSettings());
    EXPECT_EQ(app->exitCode(), 0);
    EXPECT_TRUE(system.commandLines.empty());
}

TEST_F(StartupWithPresets, WhichProductsReadThemAndWhenTheyEndTheRun) {
    presets("[SETUP]\nDEFAULTDIRL=C:\\Apps\nGLOBAL=1\n");
    // A product outside both families ignores them unless it makes Individual Setups.
    run(minimalSettings());
    EXPECT_EQ(ui.pagesShown.at(0).pageClass, platform::PageClass::Start);
    ui.pagesShown.clear();
    run(minimalSettings("<language>en-us</language>", "preconfig-setup=\"true\""));
    EXPECT_EQ(titlesShown().at(0), u"Select User Group");

    // All users asked for by a user without administrator rights: no run at all.
    ui.pagesShown.clear();
    system.administrator = false;
    run(pelaxo5());
    EXPECT_TRUE(ui.pagesShown.empty());
    EXPECT_EQ(onlyMessage(),
              u"Circuita cannot be installed.\n\nAdministrative privileges are required in order to "
              u"install the software.");

    // A removal asked for on the command line is not turned into an installation.
    app->navigation().flowState = "remove all";
    app->run().choices.installDir.clear();
    EXPECT_TRUE(applyPresetsFile(*app));
    EXPECT_EQ(app->navigation().flowState, "remove all");
    EXPECT_TRUE(app->run().choices.installDir.empty());
}

}  // namespace
