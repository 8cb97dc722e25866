// The run log: what it keeps from a run, how it masks secrets and names its file, and that
// a log that cannot be written never stops the run.
#include <gtest/gtest.h>

#include "app/bootstrapper_app.h"
#include "fakes/fake_system.h"
#include "platform/run_log.h"
#include "platform/strings.h"

namespace {

std::string fileText(FakeSystem& system, const std::u16string& path) {
    const auto& bytes = system.files[path];
    return std::string(bytes.begin(), bytes.end());
}

TEST(RunLog, SecretValuesAreMaskedAndFileNamesMadeSafe) {
    const std::pair<const char16_t*, const char16_t*> masked[] = {
        {u"/i \"a.msi\" PASSWORD=\"p w\" INSTALLDIR=\"C:\\x\"", u"/i \"a.msi\" PASSWORD=*** INSTALLDIR=\"C:\\x\""},
        {u"DB_PWD=s3cret PIDKEY=ABCDE-12345 A=1", u"DB_PWD=*** PIDKEY=*** A=1"},
        {u"apiToken=x\tsecret_file=\"y", u"apiToken=***\tsecret_file=***"},
        {u"C:\\PASSWORD=x\\setup.exe KEYWORD=k", u"C:\\PASSWORD=x\\setup.exe KEYWORD=k"},  // no name start
    };
    for (const auto& [line, expected] : masked) EXPECT_EQ(platform::maskSecrets(line), expected);

    const std::pair<const char16_t*, const char16_t*> names[] = {{u"Circuita 5", u"Circuita_5"},
                                                                 {u"..\\..\\x", u".._.._x"},
                                                                 {u"", u"setup"},
                                                                 {u"..", u"setup"},
                                                                 {u"\u00dcbung:*?", u"_bung___"}};
    for (const auto& [text, expected] : names) EXPECT_EQ(platform::logNamePart(text), expected);
}

TEST(RunLog, LinesBeforeTheFileAreKeptAndAFailedFileLosesOnlyLines) {
    FakeSystem system;
    platform::RunLog log(system);
    log.write(u"first\nsecond");
    system.clock += 1234;
    ASSERT_TRUE(log.open(u"C:\\Temp\\a.log"));
    log.write("third PASSWORD=x");
    EXPECT_EQ(fileText(system, u"C:\\Temp\\a.log"),
              "\xEF\xBB\xBF[    0.000] first\\nsecond\r\n[    1.234] third PASSWORD=***\r\n");

    FakeSystem readOnly;
    readOnly.unwritableFolders.insert(u"C:\\Temp");
    platform::RunLog lost(readOnly);
    EXPECT_FALSE(lost.open(u"C:\\Temp\\b.log"));
    lost.write(u"dropped");
    EXPECT_EQ(readOnly.files.count(u"C:\\Temp\\b.log"), 0u);
}

// Whole start-ups: the log is named after the product (or the launcher before the settings
// name one) and holds the story of the run in order.
TEST(RunLog, ARunWritesItsStoryInOrder) {
    struct Case {
        const char* settings;
        const char16_t* logName;
        std::vector<std::string> lines;
    };
    const std::string good =
        "<installer><product><name>Circuita 5</name><shortname>Circ/5</shortname><guid>G</guid></product>"
        "<bootstrapper><languages><language>de-de</language><language>en-us</language></languages>"
        "<application-dir-relative>App</application-dir-relative>"
        "<start-application-on-stick>Circuita.exe</start-application-on-stick>"
        "<link-installation-only><bin-dir>bin</bin-dir><program-dir>C</program-dir>"
        "<regentry-installdir subkey=\"S\" value-name=\"V\"/><regentry-icon subkey=\"i\"/>"
        "<regentry-open subkey=\"o\"/></link-installation-only></bootstrapper>"
        "<msi><output file=\"c.msi\" resource-id=\"MSI_FILE\" main-package=\"de-de\"/></msi></installer>";
    const Case cases[] = {
        {"<installer/>",
         u"C:\\Temp\\setup-20261211-080509.log",
         {"launcher: D:\\setup.exe", "settings document: refused, error code 2 (installer has no product)",
          "log: C:\\Temp\\setup-20261211-080509.log", "message: Installation error.\\nError code (readXML_Options): 2",
          "run ended: installer exit code 0, process exit code 0"}},
        {good.c_str(),
         u"C:\\Temp\\Circ_5-20261211-080509.log",
         {"launcher: D:\\setup.exe", "Windows ", "command line: \"D:\\setup.exe\"",
          "settings document: read (0), product Circuita 5", "log: C:\\Temp\\Circ_5-20261211-080509.log",
          "language: en-us, the system's user-interface language", "state: start", "page start: Cancel",
          "state: cancel", "run ended: installer exit code 0, process exit code 0"}},
    };
    for (const Case& c : cases) {
        FakeSystem system;
        FakeUi ui;
        system.uiLocale = 0x0409;
        system.setSettings(c.settings);
        {
            CBootstrapperApp app(system, ui);
            app.initInstance();
        }
        const std::string text = fileText(system, c.logName);
        std::size_t at = 0;
        for (const std::string& line : c.lines) {
            const std::size_t found = text.find(line, at);
            EXPECT_NE(found, std::string::npos) << line << "\nin\n" << text;
            if (found != std::string::npos) at = found;
        }
    }
}

}  // namespace
