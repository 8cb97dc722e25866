// What the update search trusts: a signed launcher starts only an update whose signature is
// intact and made with its own certificate; anything else is named, deleted and not started.
#include <gtest/gtest.h>

#include "app/setup_actions.h"
#include "fakes/fake_system.h"
#include "platform/signatures.h"
#include "ui/progress_presenter.h"

namespace {

using platform::FileSignature;
using platform::SignatureState;

const std::vector<unsigned char> kPublisher = {0x30, 0x82, 0x03, 0x0d, 0x01};
const std::vector<unsigned char> kOther = {0x30, 0x82, 0x03, 0x0d, 0x02};

FileSignature intact(const std::vector<unsigned char>& certificate) { return {SignatureState::Intact, certificate}; }
// A tampered file still names the certificate it was signed with.
const FileSignature kTampered = {SignatureState::Broken, kPublisher};
const FileSignature kUnsigned = {};

TEST(UpdateTrust, OnlyTheLaunchersOwnIntactSignatureIsTakenOnceTheLauncherIsSigned) {
    struct Case {
        const char* story;
        FileSignature launcher, update;
        bool starts;
    };
    const Case cases[] = {
        {"an unsigned launcher takes an unsigned update", kUnsigned, kUnsigned, true},
        {"an unsigned launcher takes a tampered one too", kUnsigned, kTampered, true},
        {"signed by the launcher's publisher, intact", intact(kPublisher), intact(kPublisher), true},
        {"signed by the publisher, then changed", intact(kPublisher), kTampered, false},
        {"signed by someone else", intact(kPublisher), intact(kOther), false},
        {"not signed", intact(kPublisher), kUnsigned, false},
        {"the launcher's own signature does not hold", kTampered, intact(kPublisher), false},
        {"a launcher whose certificate could not be read", intact({}), intact({}), false},
    };
    for (const Case& c : cases) {
        FakeSystem system;
        system.signatures[system.exePath] = c.launcher;
        system.signatures[u"C:\\Temp\\update.exe"] = c.update;
        EXPECT_EQ(signedLikeLauncher(system, u"C:\\Temp\\update.exe"), c.starts) << c.story;
    }
}

TEST(UpdateSearch, AForeignOrChangedUpdateIsNamedDeletedAndNotStarted) {
    FakeSystem system;
    FakeUi ui;
    RunContext app(system, ui);
    ProgressPages pages(app);
    app.setProgress(pages);
    app.choices.languageIndex = 1;
    app.product.updateUrl = u"http://h/update.exe";
    app.product.updateTarget = u"update.exe";
    system.signatures[system.exePath] = intact(kPublisher);
    system.onHttp = [](const std::u16string&) {
        FakeSystem::HttpReply reply;
        reply.body = std::string(6000, 'u');
        reply.contentLength = u"6000";
        return reply;
    };
    for (const FileSignature& fetched : {kTampered, intact(kOther), kUnsigned}) {
        ui.messages.clear();
        system.signatures[u"C:\\Temp\\update.exe"] = fetched;
        ui.pageAnswers.push_back([](platform::PageModel& page) {
            page.work();
            return std::string("next");
        });
        EXPECT_EQ(SetupActions().downloadAndStartUpdate(app), UpdateOutcome::Refused);
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text, u"The downloaded update is not signed by the publisher of this setup.");
        EXPECT_EQ(ui.messages[0].kind, platform::MessageKind::Error);
        EXPECT_TRUE(system.files.empty()) << "the refused program stays behind";
        EXPECT_TRUE(system.started.empty());
    }
}

}  // namespace
