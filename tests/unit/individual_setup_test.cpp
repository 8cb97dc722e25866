// The Individual Setup and the start from the medium on the in-memory Windows: what is
// copied where, the space it needs, every result, and folder names that a command
// interpreter would have read as commands.
#include <gtest/gtest.h>

#include "app/bootstrapper_app.h"
#include "app/individual_setup.h"
#include "app/medium_start.h"
#include "fakes/fake_system.h"

namespace {

class IndividualSetup : public ::testing::Test {
protected:
    IndividualSetup() {
        system.exePath = u"D:\\setup.exe";
        system.addFile(u"D:\\setup.exe", "launcher");
        system.folders = {u"D:\\Support\\MSI", u"D:\\Support\\Portavo", u"E:\\Setups"};
        system.addFile(u"D:\\Support\\MSI\\Circuita.msi", std::string(700, 'm'));
        system.addFile(u"D:\\Support\\MSI\\media2.cab", std::string(200, 'v'));
        system.addFile(u"D:\\Support\\MSI\\Sub\\below.txt", "not copied");
        system.addFile(u"D:\\Support\\MSI\\readme.txt", std::string(50, 'r'));
        system.addFile(u"D:\\Support\\Portavo\\portavo.ini", std::string(50, 'p'));
        system.copyLikeXcopy();
        app.choices.languageIndex = 1;
        app.product.helpFile[1] = u"setup_help.chm";
        app.choices.individualSetupFolder = u"E:\\Setups\\";
        app.choices.setupIniText = u"[SETUP]\nDEFAULTDIRL=C:\\Apps\n";
        ui.pageAnswers.push_back(runWork);  // the copy page
    }
    static std::string runWork(platform::PageModel& page) {
        page.work();
        return "next";
    }
    std::u16string message() const { return ui.messages.empty() ? u"<none>" : ui.messages.back().text; }

    FakeSystem system;
    FakeUi ui;
    CBootstrapperApp application{system, ui};
    RunContext& app = application.run();
    Navigation& navigation = application.navigation();
};

TEST_F(IndividualSetup, CopiesPresetsLauncherAndTheSupportFoldersOwnFilesIntoTheFolder) {
    system.addFile(u"D:\\setup_help.chm", "help");
    ASSERT_EQ(createIndividualSetup(app), 0);
    EXPECT_EQ(app.choices.individualSetupFolder, u"E:\\Setups");  // the trailing backslash is gone
    const std::string presets = "[SETUP]\r\nDEFAULTDIRL=C:\\Apps\r\n";
    EXPECT_EQ(system.files.at(u"E:\\Setups\\setup.ini"), std::vector<unsigned char>(presets.begin(), presets.end()));
    EXPECT_EQ(system.files.at(u"E:\\Setups\\setup.exe"), system.files.at(u"D:\\setup.exe"));
    EXPECT_TRUE(system.files.count(u"E:\\Setups\\setup_help.chm"));
    EXPECT_TRUE(system.files.count(u"E:\\Setups\\Support\\MSI\\Circuita.msi"));
    EXPECT_TRUE(system.files.count(u"E:\\Setups\\Support\\Portavo\\portavo.ini"));
    EXPECT_FALSE(system.files.count(u"E:\\Setups\\Support\\MSI\\Sub\\below.txt"));
    EXPECT_FALSE(system.folders.count(u"E:\\Setups\\Support\\Dot_Net20"));  // not needed
    // xcopy from the system folder, started directly: presets first, then each tree.
    ASSERT_EQ(system.commandLines.size(), 3u);
    EXPECT_EQ(system.commandLines[0],
              u"\"C:\\Windows\\system32\\xcopy.exe\" \"C:\\Temp\\setup.ini\" \"E:\\Setups\\\" /H /R /Y");
    EXPECT_EQ(system.commandLines[1],
              u"\"C:\\Windows\\system32\\xcopy.exe\" \"D:\\Support\\MSI\\*.*\" \"E:\\Setups\\Support\\MSI\\\" /T /Y");
}

TEST_F(IndividualSetup, NeedsRoomForEveryEntryAndTheFolderFilesAndAReserve) {
    // Five entries (three MSI files, one Portavo file, the launcher) whose folder files
    // hold 1,000 bytes.
    const std::uint64_t needed = 5 * 65536 + 1000 + 1000000;
    system.freeBytes = needed - 1;
    EXPECT_EQ(createIndividualSetup(app), -4);
    EXPECT_FALSE(system.files.count(u"E:\\Setups\\setup.exe"));
    EXPECT_TRUE(ui.messages.empty());  // the flow says it
    system.freeBytes = needed;
    EXPECT_EQ(createIndividualSetup(app), 0);
}

TEST_F(IndividualSetup, EachFailureHasItsResult) {
    system.unwritableFolders.insert(u"C:\\Temp");
    EXPECT_EQ(createIndividualSetup(app), -1);
    EXPECT_EQ(message(), u"Installation error.\nError code: 60");
    system.unwritableFolders = {u"E:\\Setups"};
    EXPECT_EQ(createIndividualSetup(app), -2);
    EXPECT_EQ(message(), u"Installation error.\nError code: 69");

    // A runtime file whose name is too long to split.
    system.unwritableFolders.clear();
    app.product.needsDotNet20 = true;
    system.folders.insert(u"D:\\Support\\Dot_Net20");
    const std::u16string longName = u"D:\\Support\\Dot_Net20\\" + std::u16string(300, u'n') + u".exe";
    system.addFile(longName);
    EXPECT_EQ(createIndividualSetup(app), -3);
    EXPECT_EQ(message(), u"Installation error.\nError code: 70");
    system.files.erase(longName);
    system.addFile(u"D:\\Support\\Dot_Net20\\NetFx20SP2_x86.exe", "runtime");
    ASSERT_EQ(createIndividualSetup(app), 0);  // the copy page's answer is used up here
    EXPECT_TRUE(system.files.count(u"E:\\Setups\\Support\\Dot_Net20\\NetFx20SP2_x86.exe"));
    ui.pageAnswers.push_back(runWork);

    // A copy that breaks off is a failure, not an Individual Setup.
    system.unwritableFolders.clear();
    system.unreadableFiles.insert(u"D:\\Support\\MSI\\media2.cab");
    EXPECT_EQ(createIndividualSetup(app), kIndividualSetupCopyFailed);
    EXPECT_EQ(message(), u"Installation error.\nError code: 62");

    // The medium's own folder, the folders the copy reads and names that only look
    // elsewhere are refused before anything is written.
    ui.messages.clear();
    system.commandLines.clear();
    for (const char16_t* folder : {u"D:\\", u"D:", u"d:\\support", u"D:\\Support\\MSI\\x", u"D:\\Copies\\..",
                                   u"D:/Copies/../Support/./Portavo", u".", u"..\\medium", u"Copies"}) {
        app.choices.individualSetupFolder = folder;
        EXPECT_EQ(createIndividualSetup(app), kIndividualSetupOnMedium) << std::u16string(folder).size();
    }
    EXPECT_TRUE(system.commandLines.empty());
    EXPECT_TRUE(ui.messages.empty());
}

// A launcher at a drive root can still make its copies elsewhere on that drive.
TEST_F(IndividualSetup, AFolderBesideTheMediumsOwnOnItsDriveIsAllowed) {
    app.choices.individualSetupFolder = u"D:\\Copies\\.\\Setup\\";
    ASSERT_EQ(createIndividualSetup(app), 0);
    EXPECT_EQ(app.choices.individualSetupFolder, u"D:\\Copies\\Setup");
    EXPECT_TRUE(system.files.count(u"D:\\Copies\\Setup\\setup.exe"));
}

TEST_F(IndividualSetup, AnEarlierPresetsFileCannotPassForThisOne) {
    system.addFile(u"E:\\Setups\\setup.ini", "[SETUP]\r\nDEFAULTDIRL=C:\\Old\r\n");
    system.fileStatus[u"E:\\Setups\\setup.ini"].attributes = platform::kAttributeReadOnly;
    system.onRunProcess = [](const std::u16string&, std::uint32_t) { return 4u; };  // xcopy fails
    EXPECT_EQ(createIndividualSetup(app), -2);
    EXPECT_FALSE(system.files.count(u"E:\\Setups\\setup.ini"));
}

TEST_F(IndividualSetup, FolderNamesAnInterpreterWouldExpandReachXcopyAsTheyAre) {
    const std::u16string folder = u"E:\\100%TEMP% & (x) ^!";
    system.folders.insert(folder);
    app.choices.individualSetupFolder = folder;
    ASSERT_EQ(createIndividualSetup(app), 0);
    EXPECT_EQ(system.commandLines[0],
              u"\"C:\\Windows\\system32\\xcopy.exe\" \"C:\\Temp\\setup.ini\" \"" + folder + u"\\\" /H /R /Y");
    EXPECT_TRUE(system.files.count(folder + u"\\setup.exe"));
}

TEST(MediumStart, StartsTheProgramFromTheLauncherFolderWithTheLanguageParameterWhenThereIsOne) {
    FakeSystem system;
    FakeUi ui;
    CBootstrapperApp application{system, ui};
    RunContext& app = application.run();
    app.offer.stickAppPath = u"D:\\Circuita 5\\bin\\Circuita.exe";
    app.product.appParameter = {u"de", u"", u"es", u"fr", u"it", u"cs"};
    app.choices.languageIndex = 0;
    startFromMedium(app);
    app.choices.languageIndex = 1;
    startFromMedium(app);
    ASSERT_EQ(system.started.size(), 2u);
    EXPECT_EQ(system.started[0].first, u"\"D:\\Circuita 5\\bin\\Circuita.exe\" PROGLANG=\"de\"");
    EXPECT_EQ(system.started[0].second, u"D:\\");  // the root of a stick, not drive D's current folder
    EXPECT_EQ(system.started[1].first, u"\"D:\\Circuita 5\\bin\\Circuita.exe\"");
}

}  // namespace
