// Help topics, staging of the help files and the topic address handed to the viewer.
#include <gtest/gtest.h>

#include "app/bootstrapper_app.h"
#include "config/help_files.h"
#include "config/help_topics.h"
#include "fakes/fake_system.h"

namespace {

class Help : public ::testing::Test {
protected:
    FakeSystem system;
    FakeUi ui;
    CBootstrapperApp application{system, ui};
    RunContext& app = application.run();
    Navigation& navigation = application.navigation();
};

TEST_F(Help, TopicTableIsCaseSensitiveAndKnowsOnlyThePages) {
    EXPECT_EQ(helpTopic(app.offer.helpTopics, "welcome"), 1);
    EXPECT_EQ(helpTopic(app.offer.helpTopics, "program-access"), 49);
    EXPECT_EQ(helpTopic(app.offer.helpTopics, "setup-options"), 57);
    EXPECT_EQ(helpTopic(app.offer.helpTopics, "Welcome"), -1);
    EXPECT_EQ(helpTopic(app.offer.helpTopics, "server-folder"), -1);
}

TEST_F(Help, EnglishCopyStandsInForLanguagesWithoutOne) {
    system.addFile(u"D:\\setup_hilfe.chm", "de");
    system.addFile(u"D:\\setup_help.chm", "en");
    app.product.helpFile[0] = u"setup_hilfe.chm";
    app.product.helpFile[1] = u"setup_help.chm";
    app.product.helpFile[3] = u"missing.chm";  // cannot be copied: English stands in
    prepareHelpFiles(app);
    EXPECT_EQ(app.record.helpFileTempCopy[0], u"C:\\Temp\\_0_setup_hilfe.chm");
    for (int i = 1; i < kLanguageCount; ++i)
        EXPECT_EQ(app.record.helpFileTempCopy[i], u"C:\\Temp\\_1_setup_help.chm") << i;
    EXPECT_EQ(system.files[u"C:\\Temp\\_0_setup_hilfe.chm"], (std::vector<unsigned char>{'d', 'e'}));

    app.choices.languageIndex = 3;  // French opens the English help
    showHelp(app, 52);
    ASSERT_EQ(ui.helpTopicsShown.size(), 1u);
    EXPECT_EQ(ui.helpTopicsShown[0], u"C:\\Temp\\_1_setup_help.chm::/setup_52.htm");
}

TEST_F(Help, WithoutAnEnglishCopyOtherLanguagesHaveNoHelp) {
    system.addFile(u"D:\\aide.chm");
    system.addFile(u"D:\\help.chm");
    app.product.helpFile[3] = u"aide.chm";
    app.product.helpFile[1] = u"help.chm";
    system.unwritableFolders.insert(u"C:\\Temp");  // every copy fails
    prepareHelpFiles(app);
    for (const auto& copy : app.record.helpFileTempCopy) EXPECT_TRUE(copy.empty());

    system.unwritableFolders.clear();
    app.product.helpFile[1].clear();
    prepareHelpFiles(app);
    EXPECT_EQ(app.record.helpFileTempCopy[3], u"C:\\Temp\\_3_aide.chm");
    EXPECT_TRUE(app.record.helpFileTempCopy[0].empty() && app.record.helpFileTempCopy[1].empty());

    app.choices.languageIndex = 0;
    app.record.helpFileTempCopy[0] = u"C:\\Temp\\_0_setup_hilfe.chm";
    EXPECT_EQ(helpTopicUrl(app, 52), u"C:\\Temp\\_0_setup_hilfe.chm::/setup_52.htm");
}

}  // namespace
