// Child processes started directly, found and ended by name.
#include <gtest/gtest.h>

#include "platform/processes.h"
#include "test_support.h"

namespace {

// The helper copied where quoting matters: spaces, parentheses, "&", and what the command
// interpreter would expand ("%OS%", "!x!") in its path.
class Processes : public testing::Test {
protected:
    static void SetUpTestSuite() {
        Win32System system;
        wchar_t programFiles[MAX_PATH];
        const DWORD length = GetEnvironmentVariableW(L"ProgramFiles(x86)", programFiles, MAX_PATH);
        toolFolder() = length ? fromWide(programFiles) : system.tempFolder();
        toolFolder() += u"\\Platform Tests (R&D) 100% %OS% !x! ^";
        makeFolders(toolFolder());
        system.copyFile(programFolder() + u"\\exit_code.exe", toolFolder() + u"\\exit code.exe");
        system.copyFile(programFolder() + u"\\exit_code.exe", toolFolder() + u"\\PlatformSleeper.exe");
    }
    static void TearDownTestSuite() { removeTree(toolFolder()); }
    static std::u16string& toolFolder() {
        static std::u16string folder;
        return folder;
    }
    static std::u16string quoted(const std::u16string& path) { return u"\"" + path + u"\""; }

    // Ends the sleeper whatever a failed check left behind.
    void TearDown() override {
        for (int i = 0; i < 10 && findProcess(system, u"PlatformSleeper.exe"); ++i) {
            killProcess(system, u"PlatformSleeper.exe");
            Sleep(100);
        }
    }
    std::uint32_t running(const std::u16string& name) {
        for (int i = 0; i < 50; ++i) {
            if (const std::uint32_t id = findProcess(system, name)) return id;
            Sleep(100);
        }
        return 0;
    }
    bool gone(const std::u16string& name) {
        for (int i = 0; i < 50; ++i) {
            if (!findProcess(system, name)) return true;
            Sleep(100);
        }
        return false;
    }
    Win32System system;
};

TEST_F(Processes, ExitCodeFromAQuotedPathWithParentheses) {
    const std::u16string tool = quoted(toolFolder() + u"\\exit code.exe");
    EXPECT_EQ(7u, runDirect(system, tool, u"7", 20000));
    EXPECT_EQ(0u, runDirect(system, tool, u"0", 20000));
    EXPECT_EQ(3000000000u, runDirect(system, tool, u"3000000000", 20000));  // all 32 bits
}

TEST_F(Processes, ChildPastItsLimitKeepsRunningUntilKilledByName) {
    const std::u16string sleeper = quoted(toolFolder() + u"\\PlatformSleeper.exe");
    EXPECT_EQ(platform::kStillActive, runDirect(system, sleeper, u"sleep 60000", 300));
    ASSERT_NE(0u, running(u"platformsleeper.EXE")) << "the child should still run";
    killProcess(system, u"PLATFORMSLEEPER.exe");
    EXPECT_TRUE(gone(u"PlatformSleeper.exe"));

    EXPECT_EQ(platform::kStillActive, runDirect(system, sleeper, u"sleep 60000", 300));
    const std::uint32_t id = running(u"PlatformSleeper.exe");
    ASSERT_NE(0u, id);
    system.terminateProcess(id);
    EXPECT_TRUE(gone(u"PlatformSleeper.exe"));
    EXPECT_EQ(0u, findProcess(system, u"no-such-program.exe"));
}

TEST_F(Processes, StartFailureGivesTheWindowsError) {
    EXPECT_EQ(static_cast<std::uint32_t>(ERROR_FILE_NOT_FOUND),
              runDirect(system, quoted(toolFolder() + u"\\no such program.exe"), u"7", 20000));
}

TEST_F(Processes, AChildRunsInTheFolderItIsGiven) {
    ScratchFolder scratch(u"processes");
    ASSERT_TRUE(writeFileBytes(scratch / u"marker.txt", "x"));
    const std::u16string tool = quoted(toolFolder() + u"\\exit code.exe");
    EXPECT_EQ(0u, runDirect(system, tool, u"cwd-has marker.txt", 20000, scratch.path()));
    EXPECT_EQ(1u, runDirect(system, tool, u"cwd-has marker.txt", 20000, toolFolder()));
}

TEST_F(Processes, OverlongCommandIsRefused) {
    const std::u16string tool = quoted(toolFolder() + u"\\exit code.exe");
    EXPECT_EQ(kCommandTooLong, runDirect(system, tool, u"7" + std::u16string(kMaxCommandLine, u' '), 20000));
    EXPECT_EQ(7u, runDirect(system, tool, u"7" + std::u16string(100, u' '), 20000));
}

// A DLL beside the program loads only while the search is not hardened (child processes,
// since hardening cannot be undone).
TEST(DllSearch, PlantedDllLoadsOnlyBeforeHardening) {
    Win32System system;
    const std::u16string self = u"\"" + system.launcherPath() + u"\"";
    ASSERT_TRUE(exists(programFolder() + u"\\plantme.dll"));
    EXPECT_EQ(0u, system.runProcess(self + u" --dll-probe=plain", 20000, u""));
    EXPECT_EQ(1u, system.runProcess(self + u" --dll-probe=hardened", 20000, u""));
}

}  // namespace
