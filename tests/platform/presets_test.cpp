// The presets file written by the launcher, copied and read back through the Windows INI
// reader, and the reader's own rules the launcher relies on.
#include <gtest/gtest.h>

#include "app/bootstrapper_app.h"
#include "config/legacy_settings.h"
#include "config/presets.h"
#include "test_support.h"

namespace {

class SilentUi : public platform::Ui {
public:
    platform::MessageAnswer messageBox(const std::u16string&, const std::u16string&, platform::MessageKind) override {
        return platform::MessageAnswer::Ok;
    }
    void showHtmlHelp(const std::u16string&) override {}
    bool browseForFolder(std::uintptr_t, const std::u16string*, const std::u16string&, unsigned, bool,
                         std::u16string&) override {
        return false;
    }
    std::string showPage(platform::PageModel&) override { return "cancel"; }
};

class PresetsFile : public testing::Test {
protected:
    Win32System system;
    SilentUi ui;
    ScratchFolder scratch{u"presets"};
};

TEST_F(PresetsFile, IniReaderRules) {
    const std::u16string file = scratch / u"rules.ini";
    ASSERT_TRUE(writeFileBytes(file, "[Setup]\r\nDefaultDirL =  C:\\Apps  \r\nEMPTY=\r\n[OTHER]\r\nX=1\r\n"));
    EXPECT_EQ(system.readIniString(file, u"SETUP", u"DEFAULTDIRL", u"d", 9999), u"C:\\Apps");
    EXPECT_EQ(system.readIniString(file, u"SETUP", u"EMPTY", u"d", 9999), u"");
    EXPECT_EQ(system.readIniString(file, u"SETUP", u"X", u"d", 9999), u"d");
    EXPECT_EQ(system.readIniString(file, u"SETUP", u"DEFAULTDIRL", u"", 4), u"C:\\");
    EXPECT_EQ(system.readIniString(scratch / u"missing.ini", u"SETUP", u"X", u"Y", 9999), u"Y");

    // A bare name is the Windows folder's file.
    wchar_t windows[MAX_PATH];
    ASSERT_GT(GetWindowsDirectoryW(windows, MAX_PATH), 0u);
    const std::u16string inWindows = fromWide(windows) + u"\\platform-test-legacy.ini";
    ASSERT_TRUE(writeFileBytes(inWindows, "[CIRC]\r\nEXE_DIR=C:\\Old\\bin\r\n"));
    EXPECT_EQ(system.readIniString(u"platform-test-legacy.ini", u"CIRC", u"EXE_DIR", u"", 9999), u"C:\\Old\\bin");
    DeleteFileW(toWide(inWindows).c_str());
}

// Written on one computer, copied with the Individual Setup, read on another: the same
// choices, whatever characters the folder names hold.
TEST_F(PresetsFile, WrittenCopiedAndReadBackGiveTheSameChoices) {
    const std::u16string folders[] = {
        u"C:\\Program Files (x86)\\tutoria\\Circuita 5",
        u"C:\\Programme\\\u010cer\u0165\u00e1k \u017elu\u0165ou\u010dk\u00fd",  // Czech on any code page
        u"D:\\Schaltpl\u00e4ne \u20ac\\\u56de\u8def",
    };
    ASSERT_TRUE(makeFolders(scratch / u"made") && makeFolders(scratch / u"copy"));
    for (const std::u16string& folder : folders) {
        CBootstrapperApp madeApp(system, ui);
        RunContext& made = madeApp.run();
        made.choices.targetProgramFolder = folder + u"\\";
        made.choices.useStandardCircuitFolder = false;
        made.choices.circuitFolder = folder + u"\\Circuits";
        made.choices.autoMode = 1;
        made.offer.askForVideos = true;
        made.choices.installVideos = false;
        made.choices.allUsers = true;
        composePresets(made.choices, made.offer);
        ASSERT_TRUE(writePresetsFile(system, scratch / u"made\\setup.ini", made.choices.setupIniText));
        ASSERT_EQ(system.copyFile(scratch / u"made\\setup.ini", scratch / u"copy\\setup.ini"), 0);

        CBootstrapperApp copyApp(system, ui);

        RunContext& copy = copyApp.run();
        copy.offer.askForVideos = copy.choices.installVideos = true;
        ASSERT_EQ(readPresets(copy.choices, copy.offer, system, scratch / u"copy\\setup.ini"), 0);
        EXPECT_EQ(copy.choices.targetProgramFolder, folder);
        EXPECT_EQ(copy.choices.circuitFolder, folder + u"\\Circuits");
        EXPECT_FALSE(copy.choices.useStandardCircuitFolder);
        EXPECT_EQ(copy.choices.autoMode, 1);
        EXPECT_FALSE(copy.choices.installVideos);
        EXPECT_TRUE(copy.choices.allUsers);
        EXPECT_FALSE(copy.choices.linkOnly);
    }
    // The ASCII form is the plain 8-bit file.
    CBootstrapperApp asciiApp(system, ui);
    RunContext& ascii = asciiApp.run();
    ascii.choices.targetProgramFolder = folders[0];
    ascii.choices.allUsers = false;
    composePresets(ascii.choices, ascii.offer);
    ASSERT_TRUE(writePresetsFile(system, scratch / u"made\\setup.ini", ascii.choices.setupIniText));
    EXPECT_EQ(readFileBytes(scratch / u"made\\setup.ini"),
              "[SETUP]\r\nDEFAULTDIRL=C:\\Program Files (x86)\\tutoria\\Circuita 5\r\n");
}

// The legacy file in the Windows folder and the copy Windows redirected for a program
// without administrator rights: the redirected values win, key by key.
TEST_F(PresetsFile, LegacySettingsFromTheWindowsFolderAndItsRedirectedCopy) {
    const std::u16string windowsCopy = system.windowsFolder() + u"\\tarvo.ini";
    const std::u16string store = system.localAppDataFolder() + u"\\VirtualStore\\Windows";
    const std::u16string perUser = system.appDataFolder() + u"\\CIRCPT\\misc";
    ASSERT_TRUE(makeFolders(store) && makeFolders(perUser));
    ASSERT_TRUE(writeFileBytes(windowsCopy, "[CIRCPT]\r\nEXE_DIR=C:\\Old\\bin\r\nINST_DIR=C:\\OLD\r\nVersion=4\r\n"));
    ASSERT_TRUE(writeFileBytes(store + u"\\tarvo.ini", "[CIRCPT]\r\nEXE_DIR=D:\\Mine\\bin\r\n"));
    ASSERT_TRUE(writeFileBytes(perUser + u"\\tarvo.ini", "[CIRCPT]\r\nCT_DIR=D:\\Circuits\r\n"));

    CBootstrapperApp application(system, ui);
    RunContext& app = application.run();
    app.product.productIdentifier = u"CIRCPT";
    app.product.productGuid = u"{00000000-0000-0000-0000-000000000000}";
    readLegacyIni(app, system);
    EXPECT_EQ(app.offer.legacyExeDir, u"D:\\Mine\\bin");
    EXPECT_EQ(app.offer.legacyInstDir, u"C:\\OLD");
    EXPECT_TRUE(app.offer.legacyVersion.empty());  // one character
    EXPECT_EQ(app.offer.legacyCircuitDir, u"D:\\Circuits");

    DeleteFileW(toWide(windowsCopy).c_str());
    DeleteFileW(toWide(store + u"\\tarvo.ini").c_str());
    removeTree(system.appDataFolder() + u"\\CIRCPT");
}

}  // namespace
