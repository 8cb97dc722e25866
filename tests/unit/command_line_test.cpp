// The launcher's own command line: what steers the run and what reaches the installer.
#include <gtest/gtest.h>

#include "app/bootstrapper_app.h"
#include "app/command_line.h"
#include "fakes/fake_system.h"
#include "install/msi_properties.h"

namespace {

class CommandLine : public ::testing::Test {
protected:
    void evaluate(const std::string& arguments, const std::string& program = "\"D:\\my setup\\setup.exe\" ") {
        app = std::make_unique<CBootstrapperApp>(system, ui);
        app->run().choices.installVideos = app->run().choices.installPresentations = true;
        evaluateCommandLine(app->run(), app->navigation(), program + arguments);
    }
    std::u16string property(const char* name) const {
        const std::u16string* value = msiProperty(app->run().choices, name);
        return value ? *value : u"<none>";
    }

    FakeSystem system;
    FakeUi ui;
    std::unique_ptr<CBootstrapperApp> app;
};

TEST_F(CommandLine, QuietOptionsRemovalAndLinkModesChooseTheFirstState) {
    evaluate("/qn REMOVE=ALL");
    EXPECT_EQ(app->navigation().flowState, "remove all");
    EXPECT_EQ(app->run().choices.msiUiOption, u"/qn ");
    EXPECT_TRUE(app->run().choices.quietCommandLine);

    evaluate("/QB INSTALLMODE=minimal");
    EXPECT_EQ(app->navigation().flowState, "create link silently");
    EXPECT_EQ(app->run().choices.msiUiOption, u"/qb ");
    evaluate("INSTALLMODE=Minimal");
    EXPECT_EQ(app->navigation().flowState, "ask for link directory");
    EXPECT_FALSE(app->run().choices.quietCommandLine);

    evaluate("/q");
    EXPECT_EQ(app->navigation().flowState, "launch msi");
    EXPECT_EQ(app->run().choices.msiUiOption, u"/qn ");
    evaluate("/x");
    EXPECT_EQ(app->navigation().flowState, "remove all");
    EXPECT_TRUE(app->run().choices.msiUiOption.empty());

    // The update search stops the evaluation: "/x" is never read.
    evaluate("action=updatestick /x");
    EXPECT_EQ(app->navigation().flowState, "find update");
    evaluate("");
    EXPECT_EQ(app->navigation().flowState, "start");
}

TEST_F(CommandLine, ValuesQuotedOrNotAndWhatFallsThroughToTheInstaller) {
    evaluate(
        "INSTALLDIR=\"C:\\Program Files\\Demo App\" TARGETDIR=\"C:\\a b\" REMOVE_FIRST=0 action=x "
        "CUSTOM_PROP=7 custom_prop=8 CUSTOM_PROP=9 NOVIDEOS NOPRESENTATIONS=1");
    EXPECT_EQ(app->run().choices.installDir, u"C:\\Program Files\\Demo App");
    EXPECT_EQ(property("INSTALLDIR"), u"<none>");
    EXPECT_EQ(property("TARGETDIR"), u"\"C:\\a b\"");
    EXPECT_EQ(property("REMOVE_FIRST"), u"0");
    EXPECT_FALSE(app->run().choices.removeFirst);
    EXPECT_EQ(property("action"), u"x");
    // Names are the installer's: case tells two properties apart; a later pair replaces.
    EXPECT_EQ(property("CUSTOM_PROP"), u"9");
    EXPECT_EQ(property("custom_prop"), u"8");
    EXPECT_EQ(property("NOVIDEOS"), u"<none>");  // no "=": dropped
    EXPECT_TRUE(app->run().choices.installVideos);
    EXPECT_FALSE(app->run().choices.installPresentations);
    EXPECT_EQ(property("NOPRESENTATIONS"), u"<none>");

    evaluate(
        "REMOVE_FIRST=1 INSTALLDIR=C:\\\xc3\x9c"
        "bung");
    EXPECT_TRUE(app->run().choices.removeFirst);
    EXPECT_EQ(app->run().choices.installDir, u"C:\\\u00dcbung");
    evaluate("REMOVE_FIRST=1 CTRL_NO_UPGRADE=1");
    EXPECT_FALSE(app->run().choices.removeFirst);
}

TEST_F(CommandLine, ADanglingNameOrEqualsSignEndsTheEvaluationKeepingWhatCameBefore) {
    evaluate("/qb A=1 B=");
    EXPECT_EQ(property("A"), u"1");
    EXPECT_EQ(property("B"), u"<none>");
    EXPECT_EQ(app->navigation().flowState, "launch msi");
    evaluate("A=\"open quote to the end");
    EXPECT_EQ(property("A"), u"\"open quote to the end\"");
}

// Windows splits the program path off first; nothing in it is an option, however the
// medium's folder is named.
TEST_F(CommandLine, TheProgramPathIsNeverReadAsOptions) {
    const char* const programs[] = {
        "\"C:\\Kurs=5\\setup.exe\" ",
        "C:\\Kurs=5\\setup.exe ",
        "\"C:\\Kurs=5 100% (A&B)\\x REMOVE=ALL\\setup.exe\"\t ",
        "D:\\\"/qn\"\\setup.exe ",
        "\"\" ",
    };
    for (const char* program : programs) {
        evaluate("TARGETDIR=\"C:\\a b\"", program);
        EXPECT_EQ(BuildPropertyString(app->run().choices), u"TARGETDIR=\"C:\\a b\"") << program;
        EXPECT_EQ(app->navigation().flowState, "start") << program;
        EXPECT_TRUE(app->run().choices.msiUiOption.empty()) << program;
    }
    EXPECT_EQ(argumentsAfterProgramPath("setup.exe"), "");
    EXPECT_EQ(argumentsAfterProgramPath("\"unterminated /qn"), "");
}

// A quote or "=" where a name belongs names nothing. Taken as a name, the quote would
// pair off with the next one on the installer's command line and split a pair in two.
TEST_F(CommandLine, ALoneQuoteOrEqualsSignIsNoPropertyName) {
    evaluate("\"=1");
    EXPECT_EQ(BuildPropertyString(app->run().choices), u"");
    evaluate("A \"=\" TARGETDIR=x\" B=2 ==3 C=4");
    EXPECT_EQ(property("\""), u"<none>");
    EXPECT_EQ(property("="), u"<none>");
    EXPECT_EQ(property("A"), u"<none>");
    EXPECT_EQ(property("TARGETDIR"), u"x");
    EXPECT_EQ(property("B"), u"2");
    EXPECT_EQ(property("C"), u"4");
    EXPECT_EQ(BuildPropertyString(app->run().choices).find(u'"'), std::u16string::npos);
}

// Folders reach the installer inside quotes: nothing that is not a folder name is taken,
// and no property value can carry a quote of its own.
TEST_F(CommandLine, HostileFoldersAndValuesNeverReachTheInstaller) {
    for (const char* folder : {"relative", "C:rel", "\\\\?\\C:\\a"}) {
        evaluate(std::string("INSTALLDIR=") + folder);
        EXPECT_TRUE(app->run().choices.installDir.empty()) << folder;
    }
    evaluate("INSTALLDIR=\"D:\\Kurs=5 100% (A&B)\"");
    EXPECT_EQ(app->run().choices.installDir, u"D:\\Kurs=5 100% (A&B)");

    evaluate("");
    EXPECT_FALSE(SetMsiProperty(app->run().choices, "INSTALLDIR", u"\"C:\\P\" TRANSFORMS=\"\\\\host\\x.mst\""));
    EXPECT_FALSE(SetMsiProperty(app->run().choices, "A", u"two words"));
    EXPECT_FALSE(SetMsiProperty(app->run().choices, "A", u"\"line\nbreak\""));
    EXPECT_TRUE(SetMsiProperty(app->run().choices, "ALLUSERS", u"\"\""));
    EXPECT_TRUE(SetMsiProperty(app->run().choices, "B", u"\"C:\\a b\""));
    EXPECT_EQ(BuildPropertyString(app->run().choices), u"ALLUSERS=\"\" B=\"C:\\a b\"");
}

}  // namespace
