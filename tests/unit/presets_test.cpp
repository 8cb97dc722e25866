// The presets file of an Individual Setup and the legacy settings files, read through the
// fake's Windows INI reader.
#include <gtest/gtest.h>

#include <random>

#include "app/bootstrapper_app.h"
#include "config/legacy_settings.h"
#include "config/presets.h"
#include "fakes/fake_system.h"

namespace {

const std::u16string kPresets = u"D:\\setup.ini";

class Presets : public ::testing::Test {
protected:
    Presets() {
        // Both optional components offered: the settings choose them for installation.
        app.offer.askForVideos = app.choices.installVideos = true;
        app.offer.askForPresentations = app.choices.installPresentations = true;
    }
    int read(const std::string& text) {
        system.addFile(kPresets, text);
        return readPresets(app.choices, app.offer, system, kPresets);
    }
    FakeSystem system;
    FakeUi ui;
    CBootstrapperApp application{system, ui};
    RunContext& app = application.run();
    Navigation& navigation = application.navigation();
};

TEST_F(Presets, OnlyTheFolderKeyGivesTheDefaults) {
    ASSERT_EQ(read("[SETUP]\r\nDEFAULTDIRL=C:\\Apps\r\n"), 0);
    EXPECT_EQ(app.choices.targetProgramFolder, u"C:\\Apps");
    EXPECT_FALSE(app.choices.linkOnly);
    EXPECT_EQ(app.choices.autoMode, 0);
    EXPECT_FALSE(app.choices.allUsers);  // GLOBAL missing
    EXPECT_TRUE(app.choices.installVideos);
    EXPECT_TRUE(app.choices.installPresentations);
    EXPECT_TRUE(app.choices.useStandardCircuitFolder);
}

TEST_F(Presets, InstallationTypeAndItsFolderKey) {
    ASSERT_EQ(read("[SETUP]\nDEFAULTDIRN=\\\\srv\\apps\\Circuita\nWANT_FILES=n\nDEFAULTDIRL=C:\\Local\n"), 0);
    EXPECT_TRUE(app.choices.linkOnly);
    EXPECT_EQ(app.choices.targetProgramFolder, u"\\\\srv\\apps\\Circuita");

    // "no" is not "N": a full installation, which needs its own folder key.
    EXPECT_EQ(read("[SETUP]\nDEFAULTDIRN=\\\\srv\\apps\nWANT_FILES=no\n"), -1);
    EXPECT_TRUE(app.choices.linkOnly);  // nothing taken over
    ASSERT_EQ(read("[SETUP]\nDEFAULTDIRN=\\\\srv\\apps\nWANT_FILES=no\nDEFAULTDIRL=C:\\Local\n"), 0);
    EXPECT_FALSE(app.choices.linkOnly);
    EXPECT_EQ(app.choices.targetProgramFolder, u"C:\\Local");

    app.choices.targetProgramFolder = u"unchanged";
    EXPECT_EQ(read("[SETUP]\nWANT_FILES=N\nDEFAULTDIRN=\n"), -1);
    EXPECT_EQ(read("[OTHER]\nDEFAULTDIRL=C:\\Apps\n"), -1);
    EXPECT_EQ(app.choices.targetProgramFolder, u"unchanged");

    // Section and key names in any letter case, blanks around the value dropped.
    ASSERT_EQ(read("[setup]\ndefaultdirl =  E:\\Tools  \nglobal=1\n"), 0);
    EXPECT_EQ(app.choices.targetProgramFolder, u"E:\\Tools");
    EXPECT_TRUE(app.choices.allUsers);
}

// A planted file must not smuggle installer options through a folder: such a file is
// taken over not at all.
TEST_F(Presets, AFileWithAFolderThePagesWouldRefuseIsNotTakenOver) {
    const char* const refused[] = {
        "DEFAULTDIRL=C:\\P\" TRANSFORMS=\"\\\\host\\x.mst",
        "WANT_FILES=N\nDEFAULTDIRN=\\\\srv\\a\" CUSTOM=\"1",
        "DEFAULTDIRL=C:\\Apps\nDEFAULTDIRAPPDATA=D:\\c\" ALLUSERS=\"1",
        "DEFAULTDIRL=Apps",
        "DEFAULTDIRL=..\\medium",
        "DEFAULTDIRL=C:Apps",
        "DEFAULTDIRL=\\\\?\\C:\\Apps",
        "DEFAULTDIRL=C:\\Apps\\x:stream",
        "DEFAULTDIRL=C:\\Apps\nDEFAULTDIRAPPDATA=relative",
    };
    for (const char* body : refused) {
        app.choices.targetProgramFolder = u"before";
        EXPECT_EQ(read(std::string("[SETUP]\nAUTO_MODE=2\nGLOBAL=1\n") + body + "\n"), -2) << body;
        EXPECT_EQ(app.choices.targetProgramFolder, u"before") << body;
        EXPECT_EQ(app.choices.autoMode, 0) << body;
        EXPECT_TRUE(app.choices.useStandardCircuitFolder) << body;
    }
    const std::string longest(248 - 3, 'a'), tooLong(249 - 3, 'a');
    EXPECT_EQ(read("[SETUP]\nDEFAULTDIRL=C:\\" + longest + "\n"), 0);
    EXPECT_EQ(read("[SETUP]\nDEFAULTDIRL=C:\\" + tooLong + "\n"), -2);
    EXPECT_EQ(read("[SETUP]\nDEFAULTDIRL=D:\\Kurs=5 100% (A&B) !x^\n"), 0);
}

TEST_F(Presets, ValueRulesOfTheOtherKeys) {
    const std::pair<const char*, int> autoModes[] = {{"1", 1}, {"2", 2}, {"3", 0}, {"02", 0}, {"x", 0}, {"", 0}};
    for (const auto& [value, expected] : autoModes) {
        ASSERT_EQ(read(std::string("[SETUP]\nDEFAULTDIRL=C:\\A\nAUTO_MODE=") + value + "\n"), 0);
        EXPECT_EQ(app.choices.autoMode, expected) << value;
    }

    read("[SETUP]\nDEFAULTDIRL=C:\\A\nNOVIDEOS=y\nNOPRESENTATIONS=1\nGLOBAL=yes\n");
    EXPECT_FALSE(app.choices.installVideos);
    EXPECT_TRUE(app.choices.installPresentations);
    EXPECT_FALSE(app.choices.allUsers);  // only "1" means all users

    // Components that are not offered keep their state whatever the file says.
    app.offer.askForVideos = false;
    app.choices.installVideos = false;
    read("[SETUP]\nDEFAULTDIRL=C:\\A\n");
    EXPECT_FALSE(app.choices.installVideos);

    read("[SETUP]\nDEFAULTDIRL=C:\\A\nDEFAULTDIRAPPDATA=D:\\Circuits\n");
    EXPECT_EQ(app.choices.circuitFolder, u"D:\\Circuits");
    EXPECT_FALSE(app.choices.useStandardCircuitFolder);
}

TEST_F(Presets, ComposedTextAndItsFileBytes) {
    app.choices.targetProgramFolder = u"D:\\Prog\\";
    app.choices.individualSetupFolder = u"E:\\Setups\\";
    app.choices.allUsers = false;
    composePresets(app.choices, app.offer);
    EXPECT_EQ(app.choices.setupIniText, u"[SETUP]\nDEFAULTDIRL=D:\\Prog\n");
    EXPECT_EQ(app.choices.targetProgramFolder, u"D:\\Prog");
    EXPECT_EQ(app.choices.individualSetupFolder, u"E:\\Setups");

    // Every key, in the order of the file format.
    app.choices.linkOnly = true;
    app.choices.networkFolder = u"\\\\srv\\apps\\";
    app.choices.useStandardCircuitFolder = false;
    app.choices.circuitFolder = u"D:\\Circuits";
    app.choices.autoMode = 2;
    app.choices.installVideos = app.choices.installPresentations = false;
    app.choices.allUsers = true;
    composePresets(app.choices, app.offer);
    EXPECT_EQ(app.choices.setupIniText,
              u"[SETUP]\nDEFAULTDIRN=\\\\srv\\apps\\\nWANT_FILES=N\nDEFAULTDIRAPPDATA=D:\\Circuits\n"
              u"AUTO_MODE=2\nNOVIDEOS=Y\nNOPRESENTATIONS=Y\nGLOBAL=1\n");

    const std::vector<unsigned char> ascii = presetsFileBytes(u"[SETUP]\nDEFAULTDIRL=C:\\A\n");
    EXPECT_EQ(std::string(ascii.begin(), ascii.end()), "[SETUP]\r\nDEFAULTDIRL=C:\\A\r\n");
    const std::vector<unsigned char> wide = presetsFileBytes(u"[SETUP]\nDEFAULTDIRL=C:\\\u010c\n");
    const std::vector<unsigned char> expected = {0xFF, 0xFE, '[', 0, 'S', 0, 'E',  0, 'T',  0,
                                                 'U',  0,    'P', 0, ']', 0, '\r', 0, '\n', 0};
    ASSERT_GT(wide.size(), expected.size());
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), wide.begin()));
    EXPECT_EQ(std::vector<unsigned char>(wide.end() - 6, wide.end()),
              (std::vector<unsigned char>{0x0C, 0x01, '\r', 0, '\n', 0}));
}

// A drive root is a folder the pages and the reader take; written down it must stay one,
// or the copy would count its whole presets file as absent.
TEST_F(Presets, ADriveRootKeepsItsBackslashWhenComposed) {
    ASSERT_EQ(read("[SETUP]\r\nDEFAULTDIRL=E:\\\r\n"), 0);
    app.choices.individualSetupFolder = u"F:\\";
    composePresets(app.choices, app.offer);
    EXPECT_EQ(app.choices.setupIniText, u"[SETUP]\nDEFAULTDIRL=E:\\\n");
    EXPECT_EQ(app.choices.targetProgramFolder, u"E:\\");
    EXPECT_EQ(app.choices.individualSetupFolder, u"F:\\");

    ASSERT_TRUE(writePresetsFile(system, kPresets, app.choices.setupIniText));
    CBootstrapperApp copyApp{system, ui};
    RunContext& copy = copyApp.run();
    ASSERT_EQ(readPresets(copy.choices, copy.offer, system, kPresets), 0);
    EXPECT_EQ(copy.choices.targetProgramFolder, u"E:\\");
}

// Blanks kept by the quotes around a value go, as the folder pages drop them; what is
// taken is what an Individual Setup writes down.
TEST_F(Presets, BlanksAroundAQuotedFolderAreDroppedBeforeTheCheck) {
    ASSERT_EQ(read("[SETUP]\nDEFAULTDIRL=\"D:\\Kurs=5 \"\nDEFAULTDIRAPPDATA=\" E:\\c \"\n"), 0);
    EXPECT_EQ(app.choices.targetProgramFolder, u"D:\\Kurs=5");
    EXPECT_EQ(app.choices.circuitFolder, u"E:\\c");
    composePresets(app.choices, app.offer);
    EXPECT_EQ(app.choices.setupIniText, u"[SETUP]\nDEFAULTDIRL=D:\\Kurs=5\nDEFAULTDIRAPPDATA=E:\\c\n");

    // Without its blank, "\\srv\ " names no share.
    app.choices.targetProgramFolder = u"before";
    EXPECT_EQ(read("[SETUP]\nWANT_FILES=N\nDEFAULTDIRN=\"\\\\srv\\ \"\n"), -2);
    EXPECT_EQ(read("[SETUP]\nDEFAULTDIRL=\"  \"\n"), -2);
    EXPECT_EQ(app.choices.targetProgramFolder, u"before");
}

// What a written file gives back must be what was chosen, for any choice the pages allow.
TEST_F(Presets, ComposeWriteAndReadBackRoundTrips) {
    std::mt19937 random(20261209);
    const std::u16string letters = u"abcXYZ019 _-.()&'\u00e4\u00df\u010d\u0159\u017e\u011b\u00e9\u00f1\u20ac";
    auto folder = [&](const std::u16string& start) {
        std::u16string name = start;
        const int parts = 1 + random() % 3;
        for (int p = 0; p < parts; ++p) {
            name += u'\\';
            name += letters[random() % 6];  // a visible first character: INI values lose outer blanks
            for (int n = random() % 12; n > 0; --n) name += letters[random() % letters.size()];
            name += letters[random() % 6];
        }
        return name;
    };
    for (int round = 0; round < 300; ++round) {
        FakeSystem target;
        CBootstrapperApp madeApp{target, ui};
        RunContext& made = madeApp.run();
        made.choices.linkOnly = random() % 2;
        made.choices.networkFolder = folder(u"\\\\server\\share");
        made.choices.targetProgramFolder = folder(u"C:") + (random() % 2 ? u"\\" : u"");
        made.choices.useStandardCircuitFolder = random() % 2;
        made.choices.circuitFolder = folder(u"D:");
        made.choices.autoMode = random() % 3;
        made.offer.askForVideos = made.offer.askForPresentations = true;
        made.choices.installVideos = random() % 2;
        made.choices.installPresentations = random() % 2;
        made.choices.allUsers = random() % 2;
        composePresets(made.choices, made.offer);
        ASSERT_TRUE(writePresetsFile(target, kPresets, made.choices.setupIniText));

        CBootstrapperApp copyApp{target, ui};

        RunContext& copy = copyApp.run();
        copy.offer.askForVideos = copy.choices.installVideos = copy.offer.askForPresentations =
            copy.choices.installPresentations = true;
        ASSERT_EQ(readPresets(copy.choices, copy.offer, target, kPresets), 0);
        SCOPED_TRACE(std::string(made.choices.setupIniText.begin(), made.choices.setupIniText.end()));
        EXPECT_EQ(copy.choices.linkOnly, made.choices.linkOnly);
        EXPECT_EQ(copy.choices.targetProgramFolder,
                  made.choices.linkOnly ? made.choices.networkFolder : made.choices.targetProgramFolder);
        EXPECT_EQ(copy.choices.useStandardCircuitFolder, made.choices.useStandardCircuitFolder);
        if (!made.choices.useStandardCircuitFolder) {
            EXPECT_EQ(copy.choices.circuitFolder, made.choices.circuitFolder);
        }
        EXPECT_EQ(copy.choices.autoMode, made.choices.autoMode);
        EXPECT_EQ(copy.choices.installVideos, made.choices.installVideos);
        EXPECT_EQ(copy.choices.installPresentations, made.choices.installPresentations);
        EXPECT_EQ(copy.choices.allUsers, made.choices.allUsers);
    }
}

class LegacySettings : public Presets {
protected:
    LegacySettings() {
        app.product.productIdentifier = u"CIRC";
        app.product.productGuid = u"{G}";
    }
    const std::u16string windowsCopy = u"C:\\Windows\\tarvo.ini";
    const std::u16string redirected = u"C:\\Users\\u\\AppData\\Local\\VirtualStore\\Windows\\tarvo.ini";
    const std::u16string perUser = u"C:\\Users\\u\\AppData\\Roaming\\CIRC\\misc\\tarvo.ini";
};

TEST_F(LegacySettings, ThreePlacesAndTheRedirectedCopyWins) {
    system.addFile(windowsCopy,
                   "[CIRC]\nEXE_DIR=C:\\Old\\bin\nINST_DIR=C:\\OLD\nINST_DIR_LFN=C:\\Old\n"
                   "INST_NDIR=N\nVersion=4.2\n");
    system.addFile(redirected, "[CIRC]\nEXE_DIR=D:\\Mine\\bin\nINST_NDIR_LFN=\\\\srv\\old\nINST_DIR=C:\\x\" A=\"1\n");
    system.addFile(perUser, "[CIRC]\nCT_DIR=D:\\Circuits\nEXE_DIR=ignored\n");
    readLegacyIni(app, system);
    EXPECT_EQ(app.offer.legacyExeDir, u"D:\\Mine\\bin");
    EXPECT_EQ(app.offer.legacyInstDir, u"C:\\OLD");  // the redirected copy's value is refused
    EXPECT_EQ(app.offer.legacyInstDirLfn, u"C:\\Old");
    EXPECT_EQ(app.offer.legacyInstNdirLfn, u"\\\\srv\\old");
    EXPECT_TRUE(app.offer.legacyInstNdir.empty());  // one character: not a folder
    EXPECT_EQ(app.offer.legacyVersion, u"4.2");
    EXPECT_EQ(app.offer.legacyCircuitDir, u"D:\\Circuits");
}

TEST_F(LegacySettings, NothingIsReadForAnInstalledProductOrWithoutIdentifier) {
    system.addFile(windowsCopy, "[CIRC]\nEXE_DIR=C:\\Old\\bin\n");
    system.setDword(platform::RegRoot::LocalMachine, u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{G}",
                    u"Version", 1);
    system.productStates[u"{G}"] = platform::kInstallStateLocal;
    readLegacyIni(app, system);
    EXPECT_TRUE(app.offer.legacyExeDir.empty());

    system.productStates[u"{G}"] = platform::kInstallStateAbsent;
    app.product.productIdentifier.clear();
    readLegacyIni(app, system);
    EXPECT_TRUE(app.offer.legacyExeDir.empty());
    app.product.productIdentifier = u"CIRC";
    readLegacyIni(app, system);
    EXPECT_EQ(app.offer.legacyExeDir, u"C:\\Old\\bin");
}

}  // namespace
