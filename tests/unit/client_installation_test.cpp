// A client installation on the in-memory Windows: which shortcuts and registry values each
// kind of product, user and folder choice produces; and the shell extension's files,
// registration run and file type.
#include <gtest/gtest.h>

#include "app/bootstrapper_app.h"
#include "fakes/fake_system.h"
#include "install/shell_extension.h"
#include "install/shortcuts.h"

namespace {

using Root = FakeSystem::Root;
const std::u16string kKey = u"SOFTWARE\\Ohmwerk\\Circuita\\5.0";
const std::u16string kServer = u"\\\\server\\apps\\Circuita 5";
const std::u16string kProgram = kServer + u"\\bin\\Circuita.exe";

class ClientInstallation : public ::testing::Test {
protected:
    ClientInstallation() {
        app.product.productName = u"Circuita 5";
        app.product.productShortName = u"Circuita";
        app.choices.languageIndex = 1;
        app.choices.networkFolder = kServer;
        app.product.binDir = u"bin";
        app.product.startApplicationOnStick = u"Circuita.exe";
        app.product.programDir = u"Ohmwerk";
        app.product.installDirRegSubkey = kKey;
        app.product.iconRegSubkey = u"Circuita.Circuit\\DefaultIcon";
        app.product.openRegSubkey = u"Circuita.Circuit\\shell\\open\\command";
        app.product.startMenuDir[1] = u"Circuita 5";
        app.product.shortcutNameApp[1] = u"Circuita 5";
        app.product.shortcutNameAppTechSelect[1] = u"Circuita 5 (choose technology)";
        app.product.shortcutNamePdf[1] = u"Manual";
        app.product.shortcutTargetPdf[1] = u"Manual.pdf";
        app.choices.allUsers = true;
        system.shortNames[kServer] = u"\\\\server\\apps\\CIRCUI~1";
    }
    const FakeSystem::RecordedLink* link(const std::u16string& path) const {
        auto it = system.links.find(path);
        return it == system.links.end() ? nullptr : &it->second;
    }

    FakeSystem system;
    FakeUi ui;
    CBootstrapperApp application{system, ui};
    RunContext& app = application.run();
    Navigation& navigation = application.navigation();
};

TEST_F(ClientInstallation, AnOrdinaryProductLinksFromTheCommonDesktopAndMenuWithAQuotedOpenCommand) {
    app.choices.useStandardCircuitFolder = false;
    app.choices.circuitFolder = u"D:\\Circuits";
    CreateShortcutsAndRegistry(app);

    const auto* desktop = link(u"C:\\Users\\Public\\Desktop\\Circuita 5.lnk");
    ASSERT_NE(desktop, nullptr);
    EXPECT_EQ(desktop->target, kProgram);
    EXPECT_EQ(desktop->arguments, std::nullopt);
    EXPECT_EQ(desktop->workingFolder, kServer + u"\\bin");
    const std::u16string menu = u"C:\\ProgramData\\Start Menu\\Programs\\Ohmwerk";
    EXPECT_TRUE(system.folders.count(menu));
    ASSERT_NE(link(menu + u"\\Circuita 5.lnk"), nullptr);
    EXPECT_EQ(link(menu + u"\\Circuita 5.lnk")->arguments, std::nullopt);
    EXPECT_EQ(link(menu + u"\\Circuita 5 (choose technology).lnk"), nullptr);  // version 5 only
    const auto* manual = link(menu + u"\\Manual.lnk");
    ASSERT_NE(manual, nullptr);
    EXPECT_EQ(manual->target, kServer + u"\\doc\\Manual.pdf");
    EXPECT_EQ(manual->workingFolder, std::nullopt);
    EXPECT_EQ(system.links.size(), 3u);

    EXPECT_EQ(system.value(Root::ClassesRoot, app.product.iconRegSubkey, u""), kProgram + u",0");
    EXPECT_EQ(system.value(Root::ClassesRoot, app.product.openRegSubkey, u""), u"\"" + kProgram + u"\" \"%1\"");
    EXPECT_EQ(system.value(Root::LocalMachine, kKey, u"INST_DIR"), u"<none>");
    // Links for everybody: new users get the circuit folder too.
    EXPECT_EQ(system.value(Root::Users, u".DEFAULT\\" + kKey, u"CT_DIR"), u"D:\\Circuits");
    EXPECT_EQ(system.value(Root::CurrentUser, kKey, u"CT_DIR"), u"<none>");
}

TEST_F(ClientInstallation, WithoutAdministrativeRightsEverythingGoesToTheUsersOwnFolders) {
    system.administrator = false;
    app.choices.useStandardCircuitFolder = false;
    app.choices.circuitFolder = u"D:\\Circuits";
    CreateShortcutsAndRegistry(app);
    EXPECT_NE(link(u"C:\\Users\\u\\Desktop\\Circuita 5.lnk"), nullptr);
    EXPECT_NE(link(u"C:\\Users\\u\\Start Menu\\Programs\\Ohmwerk\\Circuita 5.lnk"), nullptr);
    EXPECT_EQ(system.value(Root::CurrentUser, kKey, u"CT_DIR"), u"D:\\Circuits");
    EXPECT_EQ(system.value(Root::Users, u".DEFAULT\\" + kKey, u"CT_DIR"), u"<none>");
}

TEST_F(ClientInstallation, VersionFiveRecordsTheShortFoldersAndPassesItsTechnology) {
    app.offer.isPelaxo5 = true;
    const std::u16string menu = u"C:\\ProgramData\\Start Menu\\Programs\\Ohmwerk\\Circuita 5";
    for (const auto& [domain, argument] : std::vector<std::pair<std::string, std::u16string>>{
             {"hyd", u"TECH=H"}, {"pneu", u"TECH=P"}, {"et", u"TECH=E"}, {"", u""}, {"HYD", u""}}) {
        SCOPED_TRACE(domain);
        system.links.clear();
        app.product.technologyDomain = domain;
        CreateShortcutsAndRegistry(app);
        ASSERT_NE(link(menu + u"\\Circuita 5.lnk"), nullptr);
        EXPECT_EQ(link(menu + u"\\Circuita 5.lnk")->arguments.value_or(u""), argument);
        EXPECT_EQ(link(menu + u"\\Circuita 5.lnk")->arguments.has_value(), !argument.empty());
        ASSERT_NE(link(menu + u"\\Circuita 5 (choose technology).lnk"), nullptr);
        EXPECT_EQ(link(menu + u"\\Circuita 5 (choose technology).lnk")->workingFolder, std::nullopt);
        EXPECT_EQ(link(u"C:\\Users\\Public\\Desktop\\Circuita 5.lnk"), nullptr);
    }
    EXPECT_EQ(system.value(Root::LocalMachine, kKey, u"INST_NDIR"), u"\\\\server\\apps\\CIRCUI~1");
    EXPECT_EQ(system.value(Root::LocalMachine, kKey, u"INST_DIR"), u"\\\\server\\apps\\CIRCUI~1");
    EXPECT_EQ(system.value(Root::LocalMachine, kKey, u"INST_DIR_LFN"), kServer);
    EXPECT_EQ(system.value(Root::LocalMachine, kKey, u"EXE_DIR"), u"\\\\server\\apps\\CIRCUI~1\\BIN");
}

TEST_F(ClientInstallation, TheOlderGenerationFilesItsLinksUnderTheShortNameAndForgetsAStandardCircuitFolder) {
    app.offer.isPelaxo4 = true;
    system.setString(Root::CurrentUser, kKey, u"CT_DIR", u"D:\\Old circuits");
    system.setString(Root::Users, u".DEFAULT\\" + kKey, u"CT_DIR", u"D:\\Old circuits");
    CreateShortcutsAndRegistry(app);
    EXPECT_NE(link(u"C:\\ProgramData\\Start Menu\\Programs\\Ohmwerk\\Circuita\\Circuita 5.lnk"), nullptr);
    EXPECT_EQ(system.value(Root::CurrentUser, kKey, u"CT_DIR"), u"<none>");
    EXPECT_EQ(system.value(Root::Users, u".DEFAULT\\" + kKey, u"CT_DIR"), u"<none>");
}

class ShellExtension : public ClientInstallation {
protected:
    ShellExtension() {
        system.setWindows64(true);
        system.resources[u"RESTARTEXPLORER"] = std::vector<unsigned char>(10, 'r');
        system.resources[u"MVTHUMBEX"] = std::vector<unsigned char>(20, 'm');
        system.resources[u"LOGICNP"] = std::vector<unsigned char>(30, 'l');
        system.resources[u"REGISTEREXTENSIONDOTNET20X64"] = std::vector<unsigned char>(40, 'x');
        system.versionStrings[u"C:\\Temp\\MVThumbEx.dll"][u"FileVersion"] = u"2.5.0.0";
    }
    std::u16string file(const char16_t* name) const {
        auto it = system.files.find(kCommon + u"\\" + name);
        return it == system.files.end() ? u"<none>" : std::u16string(it->second.begin(), it->second.end());
    }
    void installedHandler(const char16_t* version) {
        system.addFile(kCommon + u"\\MVThumbEx.dll", "installed");
        system.versionStrings[kCommon + u"\\MVThumbEx.dll"][u"FileVersion"] = version;
    }
    const std::u16string kCommon = u"C:\\Program Files (x86)\\Marventa\\Common";
};

TEST_F(ShellExtension, WritesTheFilesRunsTheRegistrationAndNamesTheFileTypeInTheInterfaceLanguage) {
    registerShellExtensionWork(app);
    EXPECT_EQ(file(u"MVThumbEx.dll"), std::u16string(20, u'm'));
    EXPECT_EQ(file(u"LogicNP.EZShellExtensions.dll"), std::u16string(30, u'l'));
    EXPECT_EQ(file(u"RegisterExtensionDotNet20x64.exe"), std::u16string(40, u'x'));
    EXPECT_EQ(file(u"RestartExplorer.exe"), u"<none>");  // a tool of this run only
    EXPECT_FALSE(system.files.count(u"C:\\Temp\\MVThumbEx.dll"));
    ASSERT_EQ(system.commandLines.size(), 1u);
    // Started directly, where the files it names lie.
    EXPECT_EQ(system.commandLines[0], u"\"" + kCommon +
                                          u"\\RegisterExtensionDotNet20x64.exe\" -i MVThumbEx.dll "
                                          u"LogicNP.EZShellExtensions.dll");
    EXPECT_EQ(system.runFolders[0], kCommon);
    EXPECT_EQ(system.value(Root::ClassesRoot, u".circ", u""), u"Marventa.Document");
    EXPECT_EQ(system.value(Root::ClassesRoot, u"Marventa.Document", u""), u"Circuit Diagram");
    EXPECT_EQ(system.value(Root::ClassesRoot, u"Marventa.Document", u"EditFlags"), u"dword:0");

    app.choices.languageIndex = 0;
    registerShellExtensionWork(app);
    EXPECT_EQ(system.value(Root::ClassesRoot, u"Marventa.Document", u""), u"Schaltkreis");
}

TEST_F(ShellExtension, TheHandlerIsReplacedOnlyByANewerVersionAndALockedOneAfterTheShellRestart) {
    installedHandler(u"2.5.0.0");  // the same version stays
    registerShellExtensionWork(app);
    EXPECT_EQ(file(u"MVThumbEx.dll"), u"installed");
    installedHandler(u"3.0.0.0");  // a newer one stays
    registerShellExtensionWork(app);
    EXPECT_EQ(file(u"MVThumbEx.dll"), u"installed");

    installedHandler(u"2.4.9.9");
    system.lockedFiles.insert(kCommon + u"\\MVThumbEx.dll");
    system.commandLines.clear();
    system.onRunProcess = [this](const std::u16string& line, std::uint32_t) {
        if (line.find(u"RestartExplorer.exe") != std::u16string::npos) system.lockedFiles.clear();
        return 0u;
    };
    registerShellExtensionWork(app);
    ASSERT_EQ(system.commandLines.size(), 2u);
    EXPECT_EQ(system.commandLines[0], u"\"" + kCommon + u"\\RestartExplorer.exe\"");
    EXPECT_EQ(system.runFolders[0], kCommon);
    EXPECT_EQ(file(u"MVThumbEx.dll"), std::u16string(20, u'm'));
}

TEST_F(ShellExtension, AFileThatCannotBeWrittenStopsTheWorkSilently) {
    system.lockedFiles.insert(kCommon + u"\\LogicNP.EZShellExtensions.dll");
    registerShellExtensionWork(app);
    EXPECT_TRUE(system.commandLines.empty());
    EXPECT_EQ(system.value(Root::ClassesRoot, u".circ", u""), u"<none>");
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ShellExtension, OnA32BitWindowsTheSmallerToolRegistersTheHandlerAlone) {
    system.setWindows64(false);
    system.resources[u"REGISTEREXTENSIONDOTNET20X32"] = std::vector<unsigned char>(40, 'y');
    registerShellExtensionWork(app);
    const std::u16string common = u"C:\\Program Files\\Marventa\\Common";
    EXPECT_TRUE(system.files.count(common + u"\\RegisterExtensionDotNet20x32.exe"));
    ASSERT_EQ(system.commandLines.size(), 1u);
    EXPECT_EQ(system.commandLines[0], u"\"" + common + u"\\RegisterExtensionDotNet20x32.exe\" -i MVThumbEx.dll");
}

TEST_F(ShellExtension, ALauncherWithoutTheFilesStillRegistersAndAMissingProgramFolderIsReported) {
    system.resources.clear();
    registerShellExtensionWork(app);
    EXPECT_EQ(system.commandLines.size(), 1u);
    EXPECT_EQ(system.value(Root::ClassesRoot, u".circ", u""), u"Marventa.Document");

    system.programFilesX86.clear();
    registerShellExtensionWork(app);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, u"Installation error.\nError code: 37");
}

}  // namespace
