// The setup flow with scripted page steps and recorded actions.
#include <gtest/gtest.h>

#include <deque>
#include <map>

#include "app/bootstrapper_app.h"
#include "app/setup_flow.h"
#include "fakes/fake_system.h"

namespace {

using Root = platform::RegRoot;

// Page steps answer from per-step scripts (default "next"); every call is logged.
class ScriptedSteps : public PageSteps, public InstallActions {
public:
    std::map<std::string, std::deque<std::string>> answers;
    std::vector<std::string> log;
    std::vector<std::u16string> finishTexts;
    int dotNetResult = 0;
    std::string dotNetWord = "next";
    int packageExitCode = 0;
    int individualSetupResult = 0;
    bool olderInstallation = false;
    UpdateOutcome updateOutcome = UpdateOutcome::Started;

    void script(const std::string& step, std::initializer_list<std::string> words) {
        answers[step].insert(answers[step].end(), words);
    }

    void page(RunContext& app, const std::string& name) {
        log.push_back(name);
        auto& queue = answers[name];
        if (queue.empty()) {
            app.flowState = "next";
            return;
        }
        const std::string word = queue.front();
        queue.pop_front();
        if (word != "(escape)") app.flowState = word;  // Escape writes nothing
    }

    void showStartPage(RunContext& app) override {
        EXPECT_FALSE(app.preconfigMode || app.linkOnly) << "start clears the modes first";
        page(app, "start");
    }
    void askAlreadyInstalled(RunContext& app) override { page(app, "already installed"); }
    void askOlderInstallation(RunContext& app) override { page(app, "older installation"); }
    void askInstallationType(RunContext& app) override { page(app, "full or link"); }
    void askNetworkFolder(RunContext& app) override { page(app, "server folder"); }
    void askUserGroup(RunContext& app) override { page(app, "all users"); }
    void askSetupFolder(RunContext& app) override { page(app, "setup folder"); }
    void askProgramFolder(RunContext& app) override { page(app, "target folder"); }
    void askCircuitFolder(RunContext& app) override { page(app, "application folder"); }
    void askCopyVideos(RunContext& app) override { page(app, "videos"); }
    void fetchVideos(RunContext& app) override { page(app, "videos download"); }
    void askMaterialDownload(RunContext& app) override { page(app, "material download"); }
    void askPresentations(RunContext& app) override { page(app, "presentations"); }
    void askAutoMode(RunContext& app) override { page(app, "auto mode"); }
    void showPresetsSummary(RunContext& app) override { page(app, "presets summary"); }
    void showFinishPage(RunContext&, const std::u16string& heading, const std::u16string& text,
                        const std::u16string& additional) override {
        log.push_back("finish");
        finishTexts = {heading, text, additional};
    }

    int installDotNet20(RunContext& app) override { return runtime(app, "install .NET 2.0"); }
    int installDotNet40Client(RunContext& app) override { return runtime(app, "install .NET 4.0"); }
    int runtime(RunContext& app, const std::string& name) {
        log.push_back(name);
        app.flowState = dotNetWord;
        return dotNetResult;
    }
    bool checkOlderInstallation(RunContext&) override { return olderInstallation; }
    void installShellExtension(RunContext&) override { log.push_back("shell extension"); }
    int launchPackage(RunContext&) override {
        log.push_back("launch package");
        return packageExitCode;
    }
    void createShortcutsAndRegistry(RunContext&) override { log.push_back("shortcuts"); }
    void removeProduct(RunContext&) override { log.push_back("remove"); }
    int createIndividualSetup(RunContext&) override {
        log.push_back("create individual setup");
        return individualSetupResult;
    }
    void startFromMedium(RunContext&) override { log.push_back("start from medium"); }
    UpdateOutcome downloadAndStartUpdate(RunContext&) override {
        log.push_back("download update");
        return updateOutcome;
    }
};

using Log = std::vector<std::string>;

class Flow : public ::testing::Test {
protected:
    Flow() {
        app.productName = u"Circuita";
        app.productGuid = u"{P}";
        app.languageIndex = 1;
    }
    void run(const std::string& state = "start") {
        app.flowState = state;
        runSetupFlow(app, steps, steps);
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
    CBootstrapperApp app{system, ui};
    ScriptedSteps steps;
};

TEST_F(Flow, FullInstallationForwardAndBack) {
    steps.script("start", {"button2"});
    steps.script("application folder", {"back"});  // back to the program folder
    steps.script("target folder", {"next", "back"});
    steps.script("setup folder", {"next", "back", "next"});
    run();
    EXPECT_EQ(steps.log,
              (Log{"start", "all users", "setup folder", "target folder", "application folder", "target folder",
                   "setup folder", "all users", "setup folder", "target folder", "application folder", "videos",
                   "videos download", "material download", "presentations", "shell extension", "launch package"}));
    EXPECT_EQ(app.backTarget["Dialog: all users"], "start");
    EXPECT_TRUE(app.forwardDirection);
    EXPECT_TRUE(steps.finishTexts.empty());  // a successful run ends without the finish page
}

TEST_F(Flow, CancelEndsAtOnceAndBackFromTheFirstPageReturnsToStart) {
    steps.script("start", {"button2", "button2"});
    steps.script("all users", {"back", "next"});
    steps.script("setup folder", {"cancel"});
    run();
    EXPECT_EQ(steps.log, (Log{"start", "all users", "start", "all users", "setup folder"}));
    EXPECT_EQ(app.flowState, "cancel");
    EXPECT_TRUE(ui.messages.empty());

    // An Individual Setup run starts at the user group; its Back ends the run.
    steps.log.clear();
    app.backTarget["Dialog: all users"] = "cancel";
    steps.script("all users", {"back"});
    run("Dialog: all users");
    EXPECT_EQ(steps.log, (Log{"all users"}));
}

TEST_F(Flow, FourthStartButtonSearchesUpdatesOrCreatesAnIndividualSetup) {
    installDotNet20();
    steps.script("start", {"button4"});
    run();
    EXPECT_EQ(steps.log, (Log{"start", "download update"}));

    steps.log.clear();
    app.preconfigSetup = true;
    steps.script("start", {"button4", "cancel"});
    steps.script("full or link", {"back"});
    run();
    EXPECT_EQ(steps.log, (Log{"start", "full or link", "start"}));  // start cleared the mode again

    steps.log.clear();
    steps.script("start", {"button4"});
    steps.script("full or link", {"option1"});
    run();
    EXPECT_EQ(steps.log, (Log{"start", "full or link", "all users", "setup folder", "target folder",
                              "application folder", "videos", "videos download", "material download", "presentations",
                              "auto mode", "presets summary", "create individual setup", "finish"}));
    EXPECT_TRUE(app.preconfigMode);
    EXPECT_EQ(app.backTarget["Dialog: auto mode"], "Dialog: presentations");
}

TEST_F(Flow, UpdateSearchWithoutTheRuntime) {
    steps.script("start", {"button4", "cancel"});
    system.administrator = false;
    run();
    EXPECT_EQ(steps.log, (Log{"start", "start"}));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text.substr(0, 22), u"The update application");

    steps.log.clear();
    system.administrator = true;
    steps.script("start", {"button4", "cancel"});
    steps.dotNetResult = -1;
    run();
    EXPECT_EQ(steps.log, (Log{"start", "install .NET 2.0", "start"}));

    steps.log.clear();
    steps.dotNetResult = 0;
    steps.updateOutcome = UpdateOutcome::NotStarted;  // a failed download returns to the start page
    steps.script("start", {"button4", "cancel"});
    run();
    EXPECT_EQ(steps.log, (Log{"start", "install .NET 2.0", "download update", "start"}));
}

TEST_F(Flow, ARefusedUpdateReturnsToTheStartPageOrEndsAQuietRunWithItsOwnCode) {
    installDotNet20();
    steps.updateOutcome = UpdateOutcome::Refused;
    steps.script("start", {"button4", "cancel"});
    run();
    EXPECT_EQ(steps.log, (Log{"start", "download update", "start"}));
    EXPECT_EQ(app.installerExitCode, 0u);

    // "/qn action=updatestick": the script learns why nothing runs, and no page waits.
    steps.log.clear();
    app.quietCommandLine = true;
    run("find update");
    EXPECT_EQ(steps.log, (Log{"download update"}));
    EXPECT_EQ(app.installerExitCode, 577u);
}

TEST_F(Flow, InstallationChecksInTheirOrder) {
    app.adminRequired = true;
    app.needsDotNet20 = true;
    system.administrator = false;
    steps.script("start", {"button2", "cancel"});
    run();
    EXPECT_EQ(messages(), (std::vector<std::u16string>{u"Circuita cannot be installed.\n\nAdministrative privileges "
                                                       u"are required in order to install the software."}));

    ui.messages.clear();
    app.adminRequired = false;
    steps.script("start", {"button2", "cancel"});
    run();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text.substr(0, 56), u"Circuita requires the Microsoft .Net Framework 2.0 SP2.\n");

    // .NET 4.0: the same message with the version replaced.
    ui.messages.clear();
    installDotNet20();
    app.needsDotNet40Client = true;
    steps.script("start", {"button2", "cancel"});
    run();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text.substr(0, 52), u"Circuita requires the Microsoft .Net Framework 4.0.\n");

    // An administrator gets the runtime installer; its Back returns to the start page.
    steps.log.clear();
    system.administrator = true;
    steps.dotNetWord = "back";
    steps.script("start", {"button2", "cancel"});
    run();
    EXPECT_EQ(steps.log, (Log{"start", "install .NET 4.0", "start"}));
}

TEST_F(Flow, PortableEditionStopsAtAnInstalledSibling) {
    app.toGoEdition = true;
    app.editionGuidE = u"{E}";
    app.editionGuidH = u"{H}";
    registerProduct(u"{H}");
    steps.script("start", {"button2", "cancel"});
    run();
    EXPECT_EQ(messages(), (std::vector<std::u16string>{u"Circuita H is already installed."}));

    // An absent sibling (installer says 2) does not count.
    ui.messages.clear();
    system.productStates[u"{H}"] = platform::kInstallStateAbsent;
    steps.script("start", {"button2", "cancel"});
    run();
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(Flow, RestartCodesCountAsSuccessAndQuietRunsShowNoPage) {
    registerProduct(u"{P}");
    steps.script("start", {"button2"});
    steps.script("already installed", {"next"});
    steps.packageExitCode = 3010;
    run();
    EXPECT_EQ(steps.log.back(), "finish");
    EXPECT_EQ(steps.finishTexts[1], u"Installation successfully completed.");

    steps.log.clear();
    steps.packageExitCode = 1603;
    app.msiUiOption = u"/qn ";
    run("launch msi");
    EXPECT_EQ(steps.log, (Log{"shell extension", "launch package"}));
}

TEST_F(Flow, AlreadyInstalledPageAndItsFixedBack) {
    registerProduct(u"{P}");
    steps.script("start", {"button2", "button2", "cancel"});
    steps.script("already installed", {"back", "next"});
    steps.packageExitCode = 1603;
    run();
    EXPECT_EQ(steps.log, (Log{"start", "already installed", "start", "already installed", "shell extension",
                              "launch package", "finish"}));
    EXPECT_EQ(steps.finishTexts[1], u"Setup has been aborted.");

    // The step may jump to a later page itself.
    steps.log.clear();
    steps.answers.clear();
    app.backTarget["Dialog: videos"] = "Dialog: already installed notification";
    steps.script("already installed", {"Dialog: videos", "cancel"});
    steps.script("videos", {"back"});
    run("Dialog: already installed notification");
    EXPECT_EQ(steps.log, (Log{"already installed", "videos", "already installed"}));

    // The older generation's installation leads to its own page.
    steps.log.clear();
    steps.answers.clear();
    system.registry.clear();
    app.isPelaxo4 = true;
    steps.olderInstallation = true;
    steps.script("start", {"button2", "cancel"});
    steps.script("older installation", {"back"});
    run();
    EXPECT_EQ(steps.log, (Log{"start", "older installation", "start"}));
}

TEST_F(Flow, NetworkInstallationAndEscape) {
    steps.script("start", {"button4"});
    app.preconfigSetup = true;
    // Escape moves on from the installation-type and server-folder pages.
    steps.script("full or link", {"option2", "(escape)"});
    steps.script("server folder", {"(escape)", "back"});
    steps.script("all users", {"back", "cancel"});
    run();
    EXPECT_EQ(steps.log, (Log{"start", "full or link", "server folder", "all users", "server folder", "full or link",
                              "all users"}));
    EXPECT_EQ(app.backTarget["Dialog: all users"], "Dialog: full or link");

    // Elsewhere Escape shows the page again.
    steps.log.clear();
    steps.script("target folder", {"(escape)", "cancel"});
    run("Dialog: target folder");
    EXPECT_EQ(steps.log, (Log{"target folder", "target folder"}));
}

TEST_F(Flow, LinkInstallationFinishesWithItsOwnText) {
    app.linkOnly = true;  // as the network-folder step leaves it
    run("Dialog: presentations");
    EXPECT_EQ(steps.log, (Log{"presentations", "shell extension", "shortcuts", "finish"}));
    EXPECT_EQ(steps.finishTexts[2],
              u"No files have been copied. Only a link to an existing installation has been created.");

    steps.log.clear();
    app.msiUiOption = u"/qn ";
    run("create link");
    EXPECT_EQ(steps.log, (Log{"shell extension", "shortcuts"}));
    steps.log.clear();
    run("create link silently");
    EXPECT_EQ(steps.log, (Log{"shortcuts"}));
}

TEST_F(Flow, IndividualSetupFailuresReturnToItsFolderPage) {
    app.individualSetupFolder = u"E:\\Setups";
    app.setupIniText = u"[SETUP]\nDEFAULTDIRL=C:\\Circuita";
    steps.individualSetupResult = -4;
    steps.script("setup folder", {"cancel"});
    run("create preconfig setup");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, u"Not enough space on selected disk.");
    EXPECT_EQ(ui.messages[0].kind, platform::MessageKind::Plain);
    EXPECT_EQ(steps.log.back(), "setup folder");

    ui.messages.clear();
    steps.individualSetupResult = -2;
    steps.script("setup folder", {"cancel"});
    run("create preconfig setup");
    EXPECT_EQ(ui.messages[0].text.rfind(u"Unable to copy the 'Individual Setup' to folder 'E:\\Setups'", 0), 0u);

    steps.individualSetupResult = 0;
    run("create preconfig setup");
    EXPECT_EQ(steps.finishTexts[1],
              u"The program has been installed as selected. Folder of the 'Individual Setup':\nE:\\Setups");
    EXPECT_EQ(steps.finishTexts[2], u"Content of the file 'setup.ini'\n\n[SETUP]\nDEFAULTDIRL=C:\\Circuita");
}

TEST_F(Flow, StartFromStickChecksOnlyTheRuntime) {
    app.adminRequired = true;
    app.needsDotNet20 = true;
    system.administrator = false;
    steps.script("start", {"button1", "cancel"});
    run();
    ASSERT_EQ(ui.messages.size(), 1u);  // the runtime message, not the rights message
    EXPECT_EQ(ui.messages[0].text.substr(0, 8), u"Circuita");
    EXPECT_NE(ui.messages[0].text.find(u".Net Framework 2.0 SP2"), std::u16string::npos);

    steps.log.clear();
    installDotNet20();
    steps.script("start", {"button1"});
    run();
    EXPECT_EQ(steps.log, (Log{"start", "start from medium"}));
}

TEST_F(Flow, QuietLaunchSkipsTheChecksAndUnknownWordsLeadToStart) {
    app.adminRequired = true;
    system.administrator = false;
    run("launch msi");
    EXPECT_EQ(steps.log, (Log{"shell extension", "launch package"}));
    EXPECT_TRUE(ui.messages.empty());

    steps.log.clear();
    app.toGoEdition = true;
    run("launch msi");
    EXPECT_EQ(steps.log.back(), "finish");  // the portable edition always says goodbye

    steps.log.clear();
    steps.script("start", {"cancel"});
    steps.script("all users", {"option1"});  // a word this page's row does not use
    run("Dialog: all users");
    EXPECT_EQ(steps.log, (Log{"all users", "start"}));
    steps.log.clear();
    steps.script("start", {"cancel"});
    run("ask for link directory");  // named by the command line, but no state of the flow
    EXPECT_EQ(steps.log, (Log{"start"}));
}

}  // namespace
