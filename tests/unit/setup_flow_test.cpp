// The setup flow with scripted page steps and recorded actions.
#include <gtest/gtest.h>

#include "app/bootstrapper_app.h"
#include "app/setup_flow.h"
#include "fakes/fake_system.h"
#include "fakes/scripted_steps.h"

namespace {

using Root = platform::RegRoot;
using R = PageResult;

using Log = std::vector<std::string>;

class Flow : public ::testing::Test {
protected:
    Flow() {
        app.product.productName = u"Circuita";
        app.product.productGuid = u"{P}";
        app.choices.languageIndex = 1;
    }
    void run(const std::string& state = "start") {
        navigation.flowState = state;
        runSetupFlow(app, navigation, steps, steps);
    }
    void installDotNet20() {
        const std::u16string key = u"SOFTWARE\\Microsoft\\NET Framework Setup\\NDP\\v2.0.50727";
        system.setDword(Root::LocalMachine, key, u"Install", 1);
        system.setDword(Root::LocalMachine, key, u"SP", 2);
        system.versionStrings[u"C:\\Windows\\system32\\mscoree.dll"][u"FileVersion"] = u"2.0.50727.1";
    }
    void registerProduct(const std::u16string& guid) {
        system.setDword(Root::LocalMachine, u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + guid,
                        u"Version", 1);
    }
    std::vector<std::u16string> messages() const {
        std::vector<std::u16string> texts;
        for (const auto& m : ui.messages) texts.push_back(m.text);
        return texts;
    }

    FakeSystem system;
    FakeUi ui;
    CBootstrapperApp application{system, ui};
    RunContext& app = application.run();
    Navigation& navigation = application.navigation();
    ScriptedSteps steps;
};

TEST_F(Flow, FullInstallationForwardAndBack) {
    steps.script("start", {R::Button2});
    steps.script("application folder", {R::Back});  // back to the program folder
    steps.script("target folder", {R::Next, R::Back});
    steps.script("setup folder", {R::Next, R::Back, R::Next});
    run();
    EXPECT_EQ(steps.log,
              (Log{"start", "all users", "setup folder", "target folder", "application folder", "target folder",
                   "setup folder", "all users", "setup folder", "target folder", "application folder", "videos",
                   "videos download", "material download", "presentations", "shell extension", "launch package"}));
    EXPECT_EQ(navigation.backTarget["Dialog: all users"], "start");
    EXPECT_TRUE(navigation.forwardDirection);
    EXPECT_TRUE(steps.finishTexts.empty());  // a successful run ends without the finish page
}

TEST_F(Flow, CancelEndsAtOnceAndBackFromTheFirstPageReturnsToStart) {
    steps.script("start", {R::Button2, R::Button2});
    steps.script("all users", {R::Back, R::Next});
    steps.script("setup folder", {R::Cancel});
    run();
    EXPECT_EQ(steps.log, (Log{"start", "all users", "start", "all users", "setup folder"}));
    EXPECT_EQ(navigation.flowState, "cancel");
    EXPECT_TRUE(ui.messages.empty());

    // An Individual Setup run starts at the user group; its Back ends the run.
    steps.log.clear();
    navigation.backTarget["Dialog: all users"] = "cancel";
    steps.script("all users", {R::Back});
    run("Dialog: all users");
    EXPECT_EQ(steps.log, (Log{"all users"}));
}

TEST_F(Flow, FourthStartButtonSearchesUpdatesOrCreatesAnIndividualSetup) {
    installDotNet20();
    steps.script("start", {R::Button4});
    run();
    EXPECT_EQ(steps.log, (Log{"start", "download update"}));

    steps.log.clear();
    app.product.preconfigSetup = true;
    steps.script("start", {R::Button4, R::Cancel});
    steps.script("full or link", {R::Back});
    run();
    EXPECT_EQ(steps.log, (Log{"start", "full or link", "start"}));  // start cleared the mode again

    steps.log.clear();
    steps.script("start", {R::Button4});
    steps.script("full or link", {R::Option1});
    run();
    EXPECT_EQ(steps.log, (Log{"start", "full or link", "all users", "setup folder", "target folder",
                              "application folder", "videos", "videos download", "material download", "presentations",
                              "auto mode", "presets summary", "create individual setup", "finish"}));
    EXPECT_TRUE(app.choices.preconfigMode);
    EXPECT_EQ(navigation.backTarget["Dialog: auto mode"], "Dialog: presentations");
}

TEST_F(Flow, UpdateSearchWithoutTheRuntime) {
    steps.script("start", {R::Button4, R::Cancel});
    system.administrator = false;
    run();
    EXPECT_EQ(steps.log, (Log{"start", "start"}));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text.substr(0, 22), u"The update application");

    steps.log.clear();
    system.administrator = true;
    steps.script("start", {R::Button4, R::Cancel});
    steps.runtimeOutcome = RuntimeOutcome::Missing;
    run();
    EXPECT_EQ(steps.log, (Log{"start", "install .NET 2.0", "start"}));

    steps.log.clear();
    steps.runtimeOutcome = RuntimeOutcome::Installed;
    steps.updateOutcome = UpdateOutcome::NotStarted;  // a failed download returns to the start page
    steps.script("start", {R::Button4, R::Cancel});
    run();
    EXPECT_EQ(steps.log, (Log{"start", "install .NET 2.0", "download update", "start"}));
}

TEST_F(Flow, ARefusedUpdateReturnsToTheStartPageOrEndsAQuietRunWithItsOwnCode) {
    installDotNet20();
    steps.updateOutcome = UpdateOutcome::Refused;
    steps.script("start", {R::Button4, R::Cancel});
    run();
    EXPECT_EQ(steps.log, (Log{"start", "download update", "start"}));
    EXPECT_EQ(app.record.installerExitCode, 0u);

    // "/qn action=updatestick": the script learns why nothing runs, and no page waits.
    steps.log.clear();
    app.choices.quietCommandLine = true;
    run("find update");
    EXPECT_EQ(steps.log, (Log{"download update"}));
    EXPECT_EQ(app.record.installerExitCode, 577u);
}

TEST_F(Flow, InstallationChecksInTheirOrder) {
    app.product.adminRequired = true;
    app.product.needsDotNet20 = true;
    system.administrator = false;
    steps.script("start", {R::Button2, R::Cancel});
    run();
    EXPECT_EQ(messages(), (std::vector<std::u16string>{u"Circuita cannot be installed.\n\nAdministrative privileges "
                                                       u"are required in order to install the software."}));

    ui.messages.clear();
    app.product.adminRequired = false;
    steps.script("start", {R::Button2, R::Cancel});
    run();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text.substr(0, 56), u"Circuita requires the Microsoft .Net Framework 2.0 SP2.\n");

    // .NET 4.0: the same message with the version replaced.
    ui.messages.clear();
    installDotNet20();
    app.product.needsDotNet40Client = true;
    steps.script("start", {R::Button2, R::Cancel});
    run();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text.substr(0, 52), u"Circuita requires the Microsoft .Net Framework 4.0.\n");

    // An administrator gets the runtime installer; its Back returns to the start page.
    steps.log.clear();
    system.administrator = true;
    steps.runtimeOutcome = RuntimeOutcome::Back;
    steps.script("start", {R::Button2, R::Cancel});
    run();
    EXPECT_EQ(steps.log, (Log{"start", "install .NET 4.0", "start"}));
}

TEST_F(Flow, PortableEditionStopsAtAnInstalledSibling) {
    app.product.toGoEdition = true;
    app.product.editionGuidE = u"{E}";
    app.product.editionGuidH = u"{H}";
    registerProduct(u"{H}");
    steps.script("start", {R::Button2, R::Cancel});
    run();
    EXPECT_EQ(messages(), (std::vector<std::u16string>{u"Circuita H is already installed."}));

    // An absent sibling (installer says 2) does not count.
    ui.messages.clear();
    system.productStates[u"{H}"] = platform::kInstallStateAbsent;
    steps.script("start", {R::Button2, R::Cancel});
    run();
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(Flow, RestartCodesCountAsSuccessAndQuietRunsShowNoPage) {
    registerProduct(u"{P}");
    steps.script("start", {R::Button2});
    steps.script("already installed", {R::Next});
    steps.packageExitCode = 3010;
    run();
    EXPECT_EQ(steps.log.back(), "finish");
    EXPECT_EQ(steps.finishTexts[1], u"Installation successfully completed.");

    steps.log.clear();
    steps.packageExitCode = 1603;
    app.choices.msiUiOption = u"/qn ";
    run("launch msi");
    EXPECT_EQ(steps.log, (Log{"shell extension", "launch package"}));
}

TEST_F(Flow, AlreadyInstalledPageAndItsFixedBack) {
    registerProduct(u"{P}");
    steps.script("start", {R::Button2, R::Button2, R::Cancel});
    steps.script("already installed", {R::Back, R::Next});
    steps.packageExitCode = 1603;
    run();
    EXPECT_EQ(steps.log, (Log{"start", "already installed", "start", "already installed", "shell extension",
                              "launch package", "finish"}));
    EXPECT_EQ(steps.finishTexts[1], u"Setup has been aborted.");

    // The step may jump to a later page itself.
    steps.log.clear();
    steps.answers.clear();
    steps.script("already installed", {StepResult::jumpTo(StepTarget::Videos, R::Option2), R::Cancel});
    steps.script("videos", {R::Back});
    run("Dialog: already installed notification");
    EXPECT_EQ(steps.log, (Log{"already installed", "videos", "already installed"}));

    // The older generation's installation leads to its own page.
    steps.log.clear();
    steps.answers.clear();
    system.registry.clear();
    app.offer.isPelaxo4 = true;
    steps.olderInstallation = true;
    steps.script("start", {R::Button2, R::Cancel});
    steps.script("older installation", {R::Back});
    run();
    EXPECT_EQ(steps.log, (Log{"start", "older installation", "start"}));
}

TEST_F(Flow, NetworkInstallationAndEscape) {
    steps.script("start", {R::Button4});
    app.product.preconfigSetup = true;
    // Escape moves on from the installation-type and server-folder pages.
    steps.script("full or link", {R::Option2, R::None});
    steps.script("server folder", {R::None, R::Back});
    steps.script("all users", {R::Back, R::Cancel});
    run();
    EXPECT_EQ(steps.log, (Log{"start", "full or link", "server folder", "all users", "server folder", "full or link",
                              "all users"}));
    EXPECT_EQ(navigation.backTarget["Dialog: all users"], "Dialog: full or link");

    // Elsewhere Escape shows the page again.
    steps.log.clear();
    steps.script("target folder", {R::None, R::Cancel});
    run("Dialog: target folder");
    EXPECT_EQ(steps.log, (Log{"target folder", "target folder"}));
}

TEST_F(Flow, LinkInstallationFinishesWithItsOwnText) {
    app.choices.linkOnly = true;  // as the network-folder step leaves it
    run("Dialog: presentations");
    EXPECT_EQ(steps.log, (Log{"presentations", "shell extension", "shortcuts", "finish"}));
    EXPECT_EQ(steps.finishTexts[2],
              u"No files have been copied. Only a link to an existing installation has been created.");

    steps.log.clear();
    app.choices.msiUiOption = u"/qn ";
    run("create link");
    EXPECT_EQ(steps.log, (Log{"shell extension", "shortcuts"}));
    steps.log.clear();
    run("create link silently");
    EXPECT_EQ(steps.log, (Log{"shortcuts"}));
}

TEST_F(Flow, IndividualSetupFailuresReturnToItsFolderPage) {
    app.choices.individualSetupFolder = u"E:\\Setups";
    app.choices.setupIniText = u"[SETUP]\nDEFAULTDIRL=C:\\Circuita";
    steps.individualSetupResult = -4;
    steps.script("setup folder", {R::Cancel});
    run("create preconfig setup");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, u"Not enough space on selected disk.");
    EXPECT_EQ(ui.messages[0].kind, platform::MessageKind::Plain);
    EXPECT_EQ(steps.log.back(), "setup folder");

    ui.messages.clear();
    steps.individualSetupResult = -2;
    steps.script("setup folder", {R::Cancel});
    run("create preconfig setup");
    EXPECT_EQ(ui.messages[0].text.rfind(u"Unable to copy the 'Individual Setup' to folder 'E:\\Setups'", 0), 0u);

    steps.individualSetupResult = 0;
    run("create preconfig setup");
    EXPECT_EQ(steps.finishTexts[1],
              u"The program has been installed as selected. Folder of the 'Individual Setup':\nE:\\Setups");
    EXPECT_EQ(steps.finishTexts[2], u"Content of the file 'setup.ini'\n\n[SETUP]\nDEFAULTDIRL=C:\\Circuita");
}

TEST_F(Flow, StartFromStickChecksOnlyTheRuntime) {
    app.product.adminRequired = true;
    app.product.needsDotNet20 = true;
    system.administrator = false;
    steps.script("start", {R::Button1, R::Cancel});
    run();
    ASSERT_EQ(ui.messages.size(), 1u);  // the runtime message, not the rights message
    EXPECT_EQ(ui.messages[0].text.substr(0, 8), u"Circuita");
    EXPECT_NE(ui.messages[0].text.find(u".Net Framework 2.0 SP2"), std::u16string::npos);

    steps.log.clear();
    installDotNet20();
    steps.script("start", {R::Button1});
    run();
    EXPECT_EQ(steps.log, (Log{"start", "start from medium"}));
}

TEST_F(Flow, QuietLaunchSkipsTheChecksAndUnknownWordsLeadToStart) {
    app.product.adminRequired = true;
    system.administrator = false;
    run("launch msi");
    EXPECT_EQ(steps.log, (Log{"shell extension", "launch package"}));
    EXPECT_TRUE(ui.messages.empty());

    steps.log.clear();
    app.product.toGoEdition = true;
    run("launch msi");
    EXPECT_EQ(steps.log.back(), "finish");  // the portable edition always says goodbye

    steps.log.clear();
    steps.script("start", {R::Cancel});
    steps.script("all users", {R::Option1});  // a word this page's row does not use
    run("Dialog: all users");
    EXPECT_EQ(steps.log, (Log{"all users", "start"}));
    steps.log.clear();
    steps.script("start", {R::Cancel});
    run("ask for link directory");  // named by the command line, but no state of the flow
    EXPECT_EQ(steps.log, (Log{"start"}));
}

}  // namespace
