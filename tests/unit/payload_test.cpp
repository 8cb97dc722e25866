// The progress page's workers and the steps that show it, on the in-memory Windows: what
// lands in the files, what each failure leaves behind and says, where a runtime comes from.
#include <gtest/gtest.h>

#include "app/bootstrapper_app.h"
#include "fakes/fake_system.h"
#include "install/prerequisites.h"
#include "install/progress_steps.h"
#include "install/progress_workers.h"
#include "platform/worker_state.h"

namespace {

using platform::PageModel;
using platform::WorkKind;

std::vector<unsigned char> bytes(std::size_t n) {
    std::vector<unsigned char> b(n);
    for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<unsigned char>(i * 7 + 1);
    return b;
}

class Payload : public ::testing::Test {
protected:
    Payload() {
        app.product.productName = u"Circuita 5";
        app.offer.applicationTitle = u"Circuita 5 Setup";
        app.choices.languageIndex = 1;  // English
        app.product.msiFileName = u"Circuita.msi";
        app.product.msiResourceName = u"MSI_FILE";
        app.product.dotNet20ResourceId = u"DOTNET20_32_FILE";
        app.product.dotNet40ResourceId = u"DOTNET40_CLIENT_FILE";
        system.freeBytes = 1u << 30;
    }
    // The next progress page runs its work and ends with "next" (or ends with the word
    // before any work when it is not "next").
    void answerProgress(const std::string& word = "next") {
        ui.pageAnswers.push_back([word](PageModel& page) {
            if (word == "next" && page.work) page.work();
            return word;
        });
    }
    // What a runtime installer leaves behind, as the detection reads it.
    void registerRuntime20() {
        system.setDword(FakeSystem::Root::LocalMachine, u"SOFTWARE\\Microsoft\\NET Framework Setup\\NDP\\v2.0.50727",
                        u"Install", 1);
        system.setDword(FakeSystem::Root::LocalMachine, u"SOFTWARE\\Microsoft\\NET Framework Setup\\NDP\\v2.0.50727",
                        u"SP", 2);
        system.versionStrings[u"C:\\Windows\\system32\\mscoree.dll"][u"FileVersion"] = u"2.0.50727.4927";
    }
    std::vector<std::u16string> messageTexts() const {
        std::vector<std::u16string> texts;
        for (const auto& m : ui.messages) texts.push_back(m.text);
        return texts;
    }

    FakeSystem system;
    FakeUi ui;
    CBootstrapperApp application{system, ui};
    RunContext& app = application.run();
    Navigation& navigation = application.navigation();
    platform::ProgressSink sink;
};

TEST_F(Payload, ExtractionWritesTheResourceAfreshAndNeverLeavesAPartialFile) {
    system.resources[u"MSI_FILE"] = bytes(101);
    system.addFile(u"C:\\Temp\\Circuita.msi", "planted");
    EXPECT_EQ(extractResourceWork(app, sink, u"MSI_FILE", u"C:\\Temp\\Circuita.msi"), 0);
    EXPECT_EQ(system.files[u"C:\\Temp\\Circuita.msi"], bytes(101));
    // The planted file went first and the new one was created exclusively.
    EXPECT_EQ(system.deletedFiles, std::vector<std::u16string>{u"C:\\Temp\\Circuita.msi"});
    EXPECT_EQ(system.opened.back().second, platform::FileOpen::CreateNew);
    EXPECT_EQ(sink.state.percentDone, 99);

    // A volume that fills up half-way: the piece written so far is removed.
    system.writeLimits[u"C:\\Temp\\big.bin"] = 500;
    system.resources[u"BIG"] = bytes(1000);
    EXPECT_EQ(extractResourceWork(app, sink, u"BIG", u"C:\\Temp\\big.bin"), -1);
    EXPECT_FALSE(system.files.count(u"C:\\Temp\\big.bin"));
    // Data lost on close counts as well.
    system.failingCloses.insert(u"C:\\Temp\\closed.bin");
    EXPECT_EQ(extractResourceWork(app, sink, u"BIG", u"C:\\Temp\\closed.bin"), -1);
    EXPECT_FALSE(system.files.count(u"C:\\Temp\\closed.bin"));
    EXPECT_EQ(extractResourceWork(app, sink, u"NONE", u"C:\\Temp\\none.bin"), -1);
    system.unwritableFolders.insert(u"C:\\Locked");
    EXPECT_EQ(extractResourceWork(app, sink, u"BIG", u"C:\\Locked\\x.bin"), -1);
    EXPECT_EQ(messageTexts(), (std::vector<std::u16string>{
                                  u"Installation error.\nError code: 57", u"Installation error.\nError code: 57",
                                  u"Installation error.\nError code: 58", u"Installation error.\nError code: 57"}));
    EXPECT_EQ(ui.messages[0].kind, platform::MessageKind::Error);
}

TEST_F(Payload, CopyKeepsTimeStampsClearsReadOnlyAndRefusesToCopyAFileOntoItself) {
    system.addFile(u"D:\\a.txt", "alpha");
    system.fileStatus[u"D:\\a.txt"] = {platform::kAttributeReadOnly | 0x20, 11, 22, 33};
    system.addFile(u"E:\\a.txt", "old");
    system.fileStatus[u"E:\\a.txt"] = {platform::kAttributeReadOnly, 1, 1, 1};
    EXPECT_EQ(copyFilesWork(app, sink, 5, {u"D:\\a.txt"}, {u"E:\\a.txt"}), 0);
    EXPECT_EQ(system.files[u"E:\\a.txt"], std::vector<unsigned char>({'a', 'l', 'p', 'h', 'a'}));
    EXPECT_EQ(system.fileStatus[u"E:\\a.txt"].attributes, 0x20u);
    EXPECT_EQ(system.fileStatus[u"E:\\a.txt"].written, 33u);
    EXPECT_EQ(sink.state.percentDone, 100);

    // A total of 0 (empty support folders): no division, 0 percent.
    EXPECT_EQ(copyFilesWork(app, sink, 0, {u"D:\\a.txt"}, {u"E:\\z.txt"}), 0);
    EXPECT_EQ(sink.state.percentDone, 0);
    EXPECT_TRUE(ui.messages.empty());

    EXPECT_EQ(copyFilesWork(app, sink, 5, {u"D:\\a.txt"}, {u"d:/A.TXT"}), -1);
    EXPECT_EQ(system.files[u"D:\\a.txt"].size(), 5u);
    EXPECT_EQ(ui.messages.back().text, u"Installation error.\nError code: 63");

    // An unreadable source stops the list: what follows it is not copied.
    system.unreadableFiles.insert(u"D:\\b.txt");
    system.addFile(u"D:\\b.txt", "beta");
    system.addFile(u"D:\\c.txt", "gamma");
    EXPECT_EQ(copyFilesWork(app, sink, 9, {u"D:\\b.txt", u"D:\\c.txt"}, {u"E:\\b.txt", u"E:\\c.txt"}), -1);
    EXPECT_EQ(ui.messages.back().text, u"Installation error.\nError code: 62");
    EXPECT_FALSE(system.files.count(u"E:\\c.txt"));
    // A destination that fills up is removed, not left half-written.
    system.writeLimits[u"E:\\c.txt"] = 2;
    EXPECT_EQ(copyFilesWork(app, sink, 5, {u"D:\\c.txt"}, {u"E:\\c.txt"}), -1);
    EXPECT_FALSE(system.files.count(u"E:\\c.txt"));
    EXPECT_EQ(ui.messages.back().text, u"Installation error.\nError code: 63");
}

TEST_F(Payload, AProgramRunKeepsItsPageForThreeSeconds) {
    const std::u16string quiet = u"/q";
    system.processRunMs = 500;
    runProgramWork(system, u"C:\\Temp\\NetFx20SP2.exe", &quiet, nullptr);
    EXPECT_EQ(system.commandLines.back(), u"\"C:\\Temp\\NetFx20SP2.exe\" /q");  // no interpreter
    EXPECT_EQ(system.sleeps, std::vector<std::uint32_t>{2500});
    system.processRunMs = 10000;
    runProgramWork(system, u"\"C:\\x.exe\"", nullptr, nullptr);
    EXPECT_EQ(system.commandLines.back(), u"\"C:\\x.exe\"");
    EXPECT_EQ(system.sleeps.size(), 1u);
}

TEST_F(Payload, ExtractionNeedsMoreRoomThanTheFileAndSixtyFourKilobytes) {
    system.resources[u"MSI_FILE"] = bytes(1000);
    system.freeBytes = 1000 + 65536;
    EXPECT_EQ(ExtractResourceWithProgress(app, u"MSI_FILE", u"C:\\Temp\\Circuita.msi", true), -1);
    EXPECT_EQ(ui.messages.back().text,
              app.text(TextRow::NotEnoughSpaceForFile)
                  .replace(app.text(TextRow::NotEnoughSpaceForFile).find(u"xyz"), 3, u"C:\\Temp\\Circuita.msi"));
    EXPECT_TRUE(ui.pagesShown.empty());
    EXPECT_EQ(ExtractResourceWithProgress(app, u"MSI_FILE", u"C:\\Temp\\Circuita.msi", false), -1);
    EXPECT_EQ(ui.messages.size(), 1u);

    for (std::optional<std::uint64_t> room :
         {std::optional<std::uint64_t>(1000 + 65537), std::optional<std::uint64_t>()}) {
        system.freeBytes = room;
        answerProgress();
        EXPECT_EQ(ExtractResourceWithProgress(app, u"MSI_FILE", u"C:\\Temp\\Circuita.msi", true), 0);
    }
    const PageModel& page = ui.pagesShown.back();
    EXPECT_EQ(page.pageClass, platform::PageClass::Progress);
    EXPECT_EQ(page.workKind, WorkKind::ExtractResource);
    EXPECT_EQ(page.title, app.text(TextRow::ExtractingTitle));
    EXPECT_EQ(page.message, app.text(TextRow::ExtractingMessage));
    EXPECT_EQ(page.progressTitle, app.text(TextRow::ExtractingStatus));
    EXPECT_TRUE(page.infoText.empty());
    EXPECT_EQ(system.files[u"C:\\Temp\\Circuita.msi"], bytes(1000));
}

TEST_F(Payload, PackageComesFromTheMediumOrIsExtractedWithItsOwnErrors) {
    std::u16string path;
    app.offer.useExternalMsi = true;
    EXPECT_EQ(PreparePackage(app, path), -1);
    EXPECT_EQ(ui.messages.back().text, u"Installation error.\nError code: 55");
    system.addFile(u"D:\\Support\\MSI\\Circuita.msi");
    EXPECT_EQ(PreparePackage(app, path), 0);
    EXPECT_EQ(path, u"D:\\Support\\MSI\\Circuita.msi");
    EXPECT_TRUE(ui.pagesShown.empty());

    app.offer.useExternalMsi = false;
    EXPECT_EQ(PreparePackage(app, path), -1);  // no resource
    EXPECT_EQ(messageTexts().back(), u"Installation error.\nError code: 68");
    system.resources[u"MSI_FILE"] = bytes(300);
    answerProgress();
    EXPECT_EQ(PreparePackage(app, path), 0);
    EXPECT_EQ(path, u"C:\\Temp\\Circuita.msi");
}

TEST_F(Payload, ARuntimeIsExtractedRunAfterNextAndRemovedAgain) {
    system.resources[u"DOTNET20_32_FILE"] = bytes(200);
    answerProgress();  // the extraction
    ui.pageAnswers.push_back([this](PageModel& page) {
        page.work();
        registerRuntime20();
        return "next";
    });
    EXPECT_EQ(InstallDotNet20(app), RuntimeOutcome::Installed);
    ASSERT_EQ(ui.pagesShown.size(), 2u);
    const PageModel& page = ui.pagesShown[1];
    EXPECT_EQ(page.workKind, WorkKind::RunProgram);
    EXPECT_EQ(page.title, app.text(TextRow::DotNetFramework));
    EXPECT_EQ(page.message, u"Circuita 5 requires the Microsoft .Net Framework 2.0 SP2.");
    EXPECT_EQ(page.progressTitle, app.text(TextRow::InstallingDotNet20));
    EXPECT_EQ(page.infoText, app.text(TextRow::InstallationMayTakeMinutes));
    EXPECT_NE(system.commandLines.back().find(u"\"C:\\Temp\\NetFx20SP2.exe\" /q"), std::u16string::npos);
    EXPECT_FALSE(system.files.count(u"C:\\Temp\\NetFx20SP2.exe"));
}

TEST_F(Payload, ACancelledOrFruitlessRuntimeRunInstallsNothing) {
    system.resources[u"DOTNET20_32_FILE"] = bytes(200);
    answerProgress();
    answerProgress("cancel");
    EXPECT_EQ(InstallDotNet20(app), RuntimeOutcome::Cancelled);
    EXPECT_TRUE(system.commandLines.empty());
    EXPECT_FALSE(system.files.count(u"C:\\Temp\\NetFx20SP2.exe"));
    EXPECT_TRUE(ui.messages.empty());

    // The installer ran but the runtime is still missing: say so instead of going on.
    answerProgress();
    answerProgress();
    EXPECT_EQ(InstallDotNet20(app), RuntimeOutcome::Missing);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].kind, platform::MessageKind::Warning);
    EXPECT_EQ(ui.messages[0].text,
              u"Circuita 5 requires the Microsoft .Net Framework 2.0 SP2.\n\n" +
                  app.text(TextRow::NoRuntimeFiles)
                      .replace(app.text(TextRow::NoRuntimeFiles).find(u"ProductX"), 8, u".NET Framework 2.0"));
}

TEST_F(Payload, WithoutAnEmbeddedRuntimeTheMediumsCopyForTheWindowsWidthRuns) {
    app.product.dotNet20ResourceId.clear();
    EXPECT_EQ(InstallDotNet20(app), RuntimeOutcome::Missing);  // nothing on the medium either
    EXPECT_EQ(ui.messages.back().kind, platform::MessageKind::Warning);
    EXPECT_TRUE(ui.pagesShown.empty());

    system.setWindows64(true);
    system.addFile(u"D:\\Support\\Dot_Net20\\NetFx20SP2_x64.exe");
    answerProgress("back");
    EXPECT_EQ(InstallDotNet20(app), RuntimeOutcome::Back);
    EXPECT_EQ(ui.pagesShown.back().workKind, WorkKind::RunProgram);
    EXPECT_TRUE(system.files.count(u"D:\\Support\\Dot_Net20\\NetFx20SP2_x64.exe"));  // the medium's stays

    // The 4.0 runtime names itself in every text, and has one medium file for both widths.
    app.product.dotNet40ResourceId.clear();
    ui.messages.clear();
    EXPECT_EQ(InstallDotNet40Client(app), RuntimeOutcome::Missing);
    EXPECT_EQ(ui.messages.back().text.substr(0, 54), u"Circuita 5 requires the Microsoft .Net Framework 4.0.\n");
    system.addFile(u"D:\\Support\\Dot_Net40_Client\\dotNetFx40_Client_x86_x64.exe");
    answerProgress("back");
    EXPECT_EQ(InstallDotNet40Client(app), RuntimeOutcome::Back);
    EXPECT_EQ(ui.pagesShown.back().progressTitle.find(u"2.0"), std::u16string::npos);
}

}  // namespace
