// Files, folders and long paths through the portable helpers and the Win32 primitives.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/strings.h"
#include "test_support.h"

namespace {

class Files : public testing::Test {
protected:
    Win32System system;
    ScratchFolder scratch{u"files"};
};

TEST_F(Files, ExistenceOfFilesFoldersAndLongPaths) {
    const std::u16string file = scratch / u"a file.txt";
    ASSERT_TRUE(writeFileBytes(file, "abc"));
    EXPECT_TRUE(fileExists(system, file));
    EXPECT_TRUE(fileExists(system, scratch.path()));  // a folder too
    EXPECT_TRUE(pathExists(system, file));
    EXPECT_TRUE(pathExists(system, scratch.path()));
    EXPECT_FALSE(fileExists(system, scratch / u"missing"));
    EXPECT_FALSE(pathExists(system, scratch / u"missing"));
    EXPECT_EQ(3, system.fileSize(file));
    EXPECT_EQ(-1, system.fileSize(scratch / u"missing"));

    // Beyond MAX_PATH only the long-path form reaches a file.
    std::u16string deep = scratch.path();
    while (deep.size() < 300) deep += u"\\a folder name of some length";
    ASSERT_TRUE(CreateDirectoryW(toWide(longPathForm(deep)).c_str(), nullptr) || makeFolders(longPathForm(deep)));
    const std::u16string deepFile = deep + u"\\deep.txt";
    ASSERT_TRUE(writeFileBytes(longPathForm(deepFile), "12345"));
    EXPECT_TRUE(fileExists(system, deepFile));
    EXPECT_TRUE(pathExists(system, deepFile));
    EXPECT_EQ(5, system.fileSize(longPathForm(deepFile)));
}

TEST_F(Files, ListFilesSkipsFoldersAndSumsSizes) {
    ASSERT_TRUE(writeFileBytes(scratch / u"one.txt", "123"));
    ASSERT_TRUE(writeFileBytes(scratch / u"two.txt", "12345"));
    ASSERT_TRUE(writeFileBytes(scratch / u"other.bin", "1"));
    ASSERT_TRUE(makeFolders(scratch / u"folder.txt"));
    for (const std::u16string& folder : {scratch.path(), scratch.path() + u"\\"}) {
        std::uint64_t total = 0;
        std::vector<std::u16string> found = listFiles(system, folder, u"*.txt", total);
        std::sort(found.begin(), found.end());
        EXPECT_EQ((std::vector<std::u16string>{scratch / u"one.txt", scratch / u"two.txt"}), found);
        EXPECT_EQ(8u, total);
    }
    std::uint64_t total = 0;
    EXPECT_EQ(3u, listFiles(system, scratch.path(), u"*", total).size());  // no ".", ".." or folder
    EXPECT_EQ(9u, total);
    EXPECT_TRUE(listFiles(system, scratch / u"missing", u"*", total).empty());
    EXPECT_EQ(0u, total);
}

TEST_F(Files, CopyReadAndDelete) {
    std::string big(250001, '\0');  // more than two copy chunks
    for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7);
    ASSERT_TRUE(writeFileBytes(scratch / u"big.bin", big));
    ASSERT_TRUE(writeFileBytes(scratch / u"copy.bin", std::string(300000, 'x')));  // replaced, not kept
    EXPECT_EQ(0, system.copyFile(scratch / u"big.bin", scratch / u"copy.bin"));
    EXPECT_EQ(big, readFileBytes(scratch / u"copy.bin"));
    std::vector<unsigned char> bytes;
    ASSERT_TRUE(system.readWholeFile(scratch / u"copy.bin", bytes));
    EXPECT_EQ(big, std::string(bytes.begin(), bytes.end()));

    EXPECT_EQ(-1, system.copyFile(scratch / u"missing.bin", scratch / u"never.bin"));
    EXPECT_FALSE(exists(scratch / u"never.bin"));
    EXPECT_EQ(-2, system.copyFile(scratch / u"big.bin", scratch / u"missing folder\\copy.bin"));
    EXPECT_FALSE(system.readWholeFile(scratch / u"missing.bin", bytes));

    EXPECT_TRUE(system.createEmptyFile(scratch / u"empty.txt"));
    EXPECT_EQ(0, system.fileSize(scratch / u"empty.txt"));
    EXPECT_TRUE(system.deleteFile(scratch / u"empty.txt"));
    EXPECT_FALSE(exists(scratch / u"empty.txt"));
    EXPECT_FALSE(system.deleteFile(scratch / u"empty.txt"));
    EXPECT_FALSE(system.createEmptyFile(scratch / u"missing folder\\empty.txt"));
}

// A source that breaks off part way, as a share that goes away: a pipe whose server
// writes a little and hangs up, so the next read fails.
DWORD WINAPI writeAndHangUp(void* pipe) {
    DWORD written = 0;
    if (ConnectNamedPipe(pipe, nullptr) || GetLastError() == ERROR_PIPE_CONNECTED)
        WriteFile(pipe, "first part", 10, &written, nullptr);
    CloseHandle(pipe);
    return 0;
}

std::u16string brokenSource() {
    const std::u16string path = u"\\\\.\\pipe\\files-" + utf8ToWide(std::to_string(GetCurrentProcessId()));
    const HANDLE pipe =
        CreateNamedPipeW(toWide(path).c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE, 1, 4096, 4096, 0, nullptr);
    if (pipe == INVALID_HANDLE_VALUE) return path;
    const KernelHandle server(CreateThread(nullptr, 0, writeAndHangUp, pipe, 0, nullptr));  // runs on alone
    if (!server) CloseHandle(pipe);
    return path;
}

TEST_F(Files, FailedCopyLeavesNoPartialTarget) {
    const std::u16string source = scratch / u"source.bin", inUse = scratch / u"in use.bin";
    ASSERT_TRUE(writeFileBytes(source, "abc"));
    ASSERT_TRUE(writeFileBytes(inUse, "kept"));
    // Open elsewhere: it cannot be written, but a wrongful clean-up could still remove it.
    FileHandle held(CreateFileW(toWide(inUse).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    struct Case {
        const char* what;
        std::u16string source, target;
        int result;
        const char* left;  // the target's bytes afterwards; none when null
    } const cases[] = {
        {"source breaks off", brokenSource(), scratch / u"earlier copy.bin", -1, nullptr},
        {"missing source", scratch / u"missing.bin", inUse, -1, "kept"},
        {"target in use, not ours to remove", source, inUse, -2, "kept"},
    };
    ASSERT_TRUE(writeFileBytes(scratch / u"earlier copy.bin", "an earlier copy"));
    for (const Case& c : cases) {
        EXPECT_EQ(c.result, system.copyFile(c.source, c.target)) << c.what;
        if (c.left) EXPECT_EQ(c.left, readFileBytes(c.target)) << c.what;
        else EXPECT_FALSE(exists(c.target)) << c.what;
    }
    held.reset();  // a removal asked for while it was open happens now
    EXPECT_EQ("kept", readFileBytes(inUse));
}

// Links the scenario made to a full disk and to a file longer than its size says.
TEST_F(Files, WritesToAFullDiskAndReadsPastTheSizeFail) {
    const std::u16string& devices = scenario().deviceFolder;
    if (devices.empty()) GTEST_SKIP() << "needs --device-folder=";
    ASSERT_TRUE(writeFileBytes(scratch / u"source.bin", "abc"));
    // One link each: a failed write removes its target, which may take the link.
    EXPECT_EQ(-2, system.copyFile(scratch / u"source.bin", devices + u"\\full-1"));
    EXPECT_FALSE(system.writeWholeFile(devices + u"\\full-2", {'a', 'b', 'c'}));
    std::vector<unsigned char> bytes{'x'};
    EXPECT_FALSE(system.readWholeFile(devices + u"\\unsized", bytes));
    EXPECT_TRUE(bytes.empty());
}

TEST_F(Files, AnsiTextInTheActiveCodePage) {
    EXPECT_EQ(u"", system.ansiToWide(""));
    EXPECT_EQ(u"abc", system.ansiToWide("abc"));
    if (GetACP() == 1252) {
        EXPECT_EQ(u"Gr\u00f6\u00dfe \u20ac", system.ansiToWide("Gr\xf6\xdf"
                                                               "e \x80"));
    }
}

TEST_F(Files, InstallLogAllUsersAndShortcuts) {
    const std::string startMenu = "C:\\ProgramData\\Microsoft\\Windows\\Start Menu";
    ASSERT_TRUE(fileExists(system, fromWide(std::wstring(startMenu.begin(), startMenu.end()))));
    bool allUsers = false;
    std::vector<std::u16string> shortcuts;

    EXPECT_EQ(-1, readInstallLog(system, scratch / u"missing.log", allUsers, shortcuts));
    EXPECT_TRUE(allUsers);

    const std::u16string userLog = scratch / u"user.log";
    ASSERT_TRUE(writeFileBytes(userLog,
                               "File Copy: C:\\x\\a.exe\r\n"
                               "short\r\n"
                               "Shell Link: C:\\users\\me\\Start Menu\\Circuita.lnk  \r\n"
                               "INI Item: ALL_USER\r\n"
                               "Shell Link:   C:\\users\\me\\Desktop\\Circuita.lnk"));
    EXPECT_EQ(0, readInstallLog(system, userLog, allUsers, shortcuts));
    EXPECT_FALSE(allUsers);
    EXPECT_EQ((std::vector<std::u16string>{u"C:\\users\\me\\Start Menu\\Circuita.lnk",
                                           u"C:\\users\\me\\Desktop\\Circuita.lnk"}),
              shortcuts);

    const std::u16string commonLog = scratch / u"common.log";
    ASSERT_TRUE(writeFileBytes(commonLog, "Shell Link: " + startMenu + "\\Programs\\Circuita.lnk\r\n"));
    shortcuts.clear();
    EXPECT_EQ(0, readInstallLog(system, commonLog, allUsers, shortcuts));
    EXPECT_TRUE(allUsers);
    ASSERT_EQ(1u, shortcuts.size());

    const std::u16string iniLog = scratch / u"ini.log";
    ASSERT_TRUE(writeFileBytes(iniLog, "INI Item: ALL_USERS=1\n"));
    shortcuts.clear();
    EXPECT_EQ(0, readInstallLog(system, iniLog, allUsers, shortcuts));
    EXPECT_TRUE(allUsers);
    EXPECT_TRUE(shortcuts.empty());
}

TEST_F(Files, InstallationFolderHereOrInTheParent) {
    ASSERT_TRUE(makeFolders(scratch / u"Circuita 5\\bin"));
    ASSERT_TRUE(writeFileBytes(scratch / u"Circuita 5\\bin\\Circuita.exe", "MZ"));
    std::u16string folder = scratch / u"Circuita 5";
    EXPECT_TRUE(findInstallationFolder(system, folder, u"\\bin", u"Circuita.exe"));
    EXPECT_EQ(scratch / u"Circuita 5", folder);
    folder = scratch / u"Circuita 5\\data";
    EXPECT_TRUE(findInstallationFolder(system, folder, u"\\bin", u"Circuita.exe"));
    EXPECT_EQ(scratch / u"Circuita 5", folder);
    folder = scratch / u"elsewhere\\deeper";
    EXPECT_FALSE(findInstallationFolder(system, folder, u"\\bin", u"Circuita.exe"));
    EXPECT_EQ(scratch / u"elsewhere\\deeper", folder);
}

// ---- writing with xcopy ----

TEST_F(Files, WritableFolderExistingOrNew) {
    const std::u16string probeName = u"\\seqhgfq.xyz";
    EXPECT_TRUE(folderWritableByCopy(system, scratch.path()));
    EXPECT_TRUE(folderWritableByCopy(system, scratch.path() + u"\\"));
    EXPECT_FALSE(exists(scratch.path() + probeName));       // the copy is removed again
    EXPECT_FALSE(exists(system.tempFolder() + probeName));  // and so is the probe
    const std::u16string fresh = scratch / u"new (1)\\deeper folder";
    EXPECT_TRUE(folderWritableByCopy(system, fresh));
    EXPECT_TRUE(isFolder(fresh));
    EXPECT_FALSE(exists(fresh + probeName));
}

// Only directly below the file: Wine's xcopy spins for ever on "file\below\".
TEST_F(Files, FolderBlockedByAFileIsNotWritable) {
    ASSERT_TRUE(writeFileBytes(scratch / u"blocker", "x"));
    EXPECT_FALSE(folderWritableByCopy(system, scratch / u"blocker"));
}

TEST_F(Files, ReadOnlyFolderIsNotWritableEvenWithAStaleProbe) {
    if (scenario().readOnlyFolder.empty() || scenario().readOnlyStaleFolder.empty())
        GTEST_SKIP() << "needs --read-only-folder= and --read-only-stale-folder=";
    EXPECT_FALSE(folderWritableByCopy(system, scenario().readOnlyFolder));
    const std::u16string stale = scenario().readOnlyStaleFolder + u"\\seqhgfq.xyz";
    ASSERT_TRUE(exists(stale));
    EXPECT_FALSE(system.deleteFile(stale));
    EXPECT_TRUE(exists(stale));
    EXPECT_FALSE(folderWritableByCopy(system, scenario().readOnlyStaleFolder));
}

}  // namespace
