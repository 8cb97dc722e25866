// Paths, the xcopy write test, install logs, installation search and command lines.
#include <gtest/gtest.h>

#include "fakes/fake_system.h"
#include "platform/files.h"
#include "platform/processes.h"

namespace {

TEST(Paths, LongPathFormsAndSearchNames) {
    EXPECT_EQ(longPathForm(u"\\\\?\\C:\\x"), u"\\\\?\\C:\\x");
    EXPECT_EQ(longPathForm(u"C:\\x"), u"\\\\?\\C:\\x");
    EXPECT_EQ(longPathForm(u"\\\\srv\\s\\x"), u"\\\\?\\UNC\\srv\\s\\x");

    FakeSystem sys;
    sys.folders.insert(u"C:\\Windows");
    sys.addFile(u"\\\\srv\\share\\a.txt");
    EXPECT_TRUE(fileExists(sys, u"C:\\Windows"));  // folders count
    EXPECT_TRUE(fileExists(sys, u"\\\\srv\\share\\a.txt"));
    EXPECT_TRUE(pathExists(sys, u"C:\\Windows"));
    EXPECT_FALSE(fileExists(sys, u"C:\\missing"));
    // The search name, prefix included, stays below 30,000 characters.
    const std::u16string longest = u"C:\\" + std::u16string(29992, u'a'), tooLong = longest + u"a";
    sys.addFile(longest);
    sys.addFile(tooLong);
    EXPECT_TRUE(fileExists(sys, longest));
    EXPECT_FALSE(fileExists(sys, tooLong));
    EXPECT_EQ(splitWords(u"a.cab  b.cab "), (std::vector<std::u16string>{u"a.cab", u"b.cab"}));
}

TEST(Paths, ListFilesSkipsFoldersAndSumsSizes) {
    FakeSystem sys;
    sys.addFile(u"C:\\m\\a.cab", "12345");
    sys.addFile(u"C:\\m\\b.cab", "12");
    sys.addFile(u"C:\\m\\c.txt", "1");
    sys.folders.insert(u"C:\\m\\d.cab");
    std::uint64_t total = 0;
    const auto found = listFiles(sys, u"C:\\m\\", u"*.cab", total);
    EXPECT_EQ(found, (std::vector<std::u16string>{u"C:\\m\\a.cab", u"C:\\m\\b.cab"}));
    EXPECT_EQ(total, 7u);
    EXPECT_TRUE(listFiles(sys, u"", u"*", total).empty());
    EXPECT_EQ(total, 0u);
}

TEST(Commands, StartedDirectlyAndBounded) {
    FakeSystem sys;
    sys.environment[u"COMSPEC"] = u"C:\\Windows\\system32\\cmd.exe";
    // "%", "!" and "^" stay as they are: no interpreter stands between.
    runDirect(sys, u"\"D:\\Kurs 100% %OS% !x^ (A&B)\\t.exe\"", u"/x \"a b\"", 60000, u"D:\\Kurs 100% %OS% !x^ (A&B)");
    ASSERT_EQ(sys.commandLines.size(), 1u);
    EXPECT_EQ(sys.commandLines[0], u"\"D:\\Kurs 100% %OS% !x^ (A&B)\\t.exe\" /x \"a b\"");
    EXPECT_EQ(sys.runFolders[0], u"D:\\Kurs 100% %OS% !x^ (A&B)");

    // A command that does not fit is refused, not cut.
    const std::u16string huge(4100, u'a');
    EXPECT_EQ(runDirect(sys, u"x", huge, 1), kCommandTooLong);
    EXPECT_EQ(sys.commandLines.size(), 1u);

    sys.onRunProcess = [](const std::u16string&, std::uint32_t) { return platform::kStillActive; };
    EXPECT_EQ(runDirect(sys, u"x", u"", 1), platform::kStillActive);
}

TEST(Commands, ProcessesFoundByNameIgnoringCase) {
    FakeSystem sys;
    sys.processes = {{0, u"System"}, {40, u"explorer.exe"}, {44, u"ZIROveriz.exe"}, {48, u"ziroveriz.exe"}};
    EXPECT_EQ(findProcess(sys, u"ziroveriz.EXE"), 44u);
    EXPECT_EQ(findProcess(sys, u"missing.exe"), 0u);
    killProcess(sys, u"ziroveriz.EXE");
    killProcess(sys, u"missing.exe");
    EXPECT_EQ(sys.terminated, std::vector<std::uint32_t>{44});  // only the first match
}

class WriteTest : public ::testing::Test {
protected:
    WriteTest() {
        // xcopy of the fake: copies the probe when the target folder is writable.
        sys.onRunProcess = [this](const std::u16string& line, std::uint32_t limit) -> std::uint32_t {
            EXPECT_EQ(limit, 10000u);
            EXPECT_NE(
                line.find(u"\"C:\\Windows\\system32\\xcopy.exe\" \"C:\\Temp\\seqhgfq.xyz\" \"D:\\Target\\\" /H /R /Y"),
                std::u16string::npos)
                << std::string(line.begin(), line.end());
            return sys.copyFile(u"C:\\Temp\\seqhgfq.xyz", u"D:\\Target\\seqhgfq.xyz") == 0 ? 0 : 4;
        };
    }
    FakeSystem sys;
};

TEST_F(WriteTest, WritableFolderLeavesNoProbeBehind) {
    EXPECT_TRUE(folderWritableByCopy(sys, u"D:\\Target\\"));
    EXPECT_EQ(sys.files.count(u"D:\\Target\\seqhgfq.xyz"), 0u);
    EXPECT_EQ(sys.files.count(u"C:\\Temp\\seqhgfq.xyz"), 0u);
}

TEST_F(WriteTest, StaleProbeDoesNotMakeAReadOnlyFolderWritable) {
    sys.addFile(u"D:\\Target\\seqhgfq.xyz");  // left by an earlier run
    sys.unwritableFolders.insert(u"D:\\Target");
    EXPECT_FALSE(folderWritableByCopy(sys, u"D:\\Target"));

    // xcopy failing while a copy appears anyway (a race) is no proof either.
    FakeSystem other;
    other.onRunProcess = [&other](const std::u16string&, std::uint32_t) {
        other.addFile(u"D:\\Target\\seqhgfq.xyz");
        return 4u;
    };
    EXPECT_FALSE(folderWritableByCopy(other, u"D:\\Target"));

    FakeSystem noTemp;
    noTemp.temp.clear();
    EXPECT_FALSE(folderWritableByCopy(noTemp, u"D:\\Target"));
}

TEST(InstallLog, AllUsersAndShortcuts) {
    FakeSystem sys;
    bool allUsers = false;
    std::vector<std::u16string> shortcuts;
    EXPECT_EQ(readInstallLog(sys, u"C:\\missing.log", allUsers, shortcuts), -1);
    EXPECT_TRUE(allUsers);

    sys.addFile(u"C:\\install.log",
                "File Copy: C:\\x\\a.exe\r\n"
                "short\n"
                "Shell Link: C:\\Users\\u\\Desktop\\Circuita.lnk  \r\n"
                "Shell Link: C:\\Users\\u\\Start Menu\\Circuita.lnk");
    EXPECT_EQ(readInstallLog(sys, u"C:\\install.log", allUsers, shortcuts), 0);
    EXPECT_FALSE(allUsers);
    // The last line has no line end and keeps its last character.
    EXPECT_EQ(shortcuts, (std::vector<std::u16string>{u"C:\\Users\\u\\Desktop\\Circuita.lnk",
                                                      u"C:\\Users\\u\\Start Menu\\Circuita.lnk"}));

    shortcuts.clear();
    sys.addFile(u"C:\\all.log", "Shell Link: C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\C.lnk\n");
    readInstallLog(sys, u"C:\\all.log", allUsers, shortcuts);
    EXPECT_TRUE(allUsers);
    sys.addFile(u"C:\\flag.log", "INI Item: ALL_USERS=1\n");
    readInstallLog(sys, u"C:\\flag.log", allUsers, shortcuts);
    EXPECT_TRUE(allUsers);
}

TEST(InstallationSearch, FolderOrItsParent) {
    FakeSystem sys;
    sys.addFile(u"N:\\Apps\\Circuita\\bin\\Circuita.exe");
    std::u16string folder = u"N:\\Apps\\Circuita";
    EXPECT_TRUE(findInstallationFolder(sys, folder, u"\\bin", u"Circuita.exe"));
    EXPECT_EQ(folder, u"N:\\Apps\\Circuita");

    folder = u"N:\\Apps\\Circuita\\bin";  // the user picked the program folder itself
    EXPECT_TRUE(findInstallationFolder(sys, folder, u"\\bin", u"Circuita.exe"));
    EXPECT_EQ(folder, u"N:\\Apps\\Circuita");

    folder = u"N:\\Other";
    EXPECT_FALSE(findInstallationFolder(sys, folder, u"\\bin", u"Circuita.exe"));
    EXPECT_EQ(folder, u"N:\\Other");

    sys.addFile(u"\\\\srv\\apps\\bin\\Circuita.exe");
    folder = u"\\\\srv\\apps";
    EXPECT_TRUE(findInstallationFolder(sys, folder, u"\\bin", u"Circuita.exe"));
}

}  // namespace
