// The flow's routing table, row by row: where each step result leads from each page state,
// which Back target a move forward records, and how the direction of travel follows.
#include <gtest/gtest.h>

#include "app/bootstrapper_app.h"
#include "app/flow_routes.h"
#include "fakes/fake_system.h"

namespace {

using R = PageResult;

// Run modes a row depends on.
enum Mode { kPlain = 0, kOffersIndividualSetup = 1, kIndividualSetup = 2, kLinkOnly = 4 };

struct RouteCase {
    const char* from;
    StepResult result;
    bool forwardBefore;
    const char* to;
    bool forwardAfter;
    const char* backOfTo = nullptr;  // where the new state's Back returns afterwards; null: not checked
    int mode = kPlain;
};

const char* const kUsers = "Dialog: all users";
const char* const kRecorded = "(recorded back)";  // the from state's Back target before the step

const RouteCase kCases[] = {
    // The start page: its commands; anything else shows it again.
    {"start", R::Button1, true, "start from stick", true},
    {"start", R::Button2, false, "install application", true},
    {"start", R::Button4, true, "find update", true},
    {"start", R::Button4, true, "Dialog: full or link", true, "start", kOffersIndividualSetup},
    {"start", R::Next, true, "start", true},
    {"start", R::None, false, "start", false},
    {"start", R::Cancel, false, "cancel", false},
    // The installed product's page: a fixed Back, or the optional pages chosen by the step.
    {"Dialog: already installed notification", R::Next, true, "launch msi", true},
    {"Dialog: already installed notification", R::Back, true, "start", false},
    {"Dialog: already installed notification", R::None, true, "Dialog: already installed notification", true},
    {"Dialog: already installed notification", R::Option1, true, "start", true},
    {"Dialog: already installed notification", StepResult::jumpTo(StepTarget::Videos, R::Option2), false,
     "Dialog: videos", true, "Dialog: already installed notification"},
    {"Dialog: already installed notification", StepResult::jumpTo(StepTarget::MaterialDownload, R::None), false,
     "Dialog: ask for didactic material download", false, "Dialog: already installed notification"},
    // Full or link, and the server folder: Escape moves on like the full installation.
    {"Dialog: full or link", R::Option2, true, "Dialog: server folder", true, "Dialog: full or link"},
    {"Dialog: full or link", R::Option1, true, kUsers, true, "Dialog: full or link"},
    {"Dialog: full or link", R::None, false, kUsers, false, "Dialog: full or link"},
    {"Dialog: full or link", R::Back, true, kRecorded, false},
    {"Dialog: server folder", R::None, true, kUsers, true, "Dialog: server folder"},
    {"Dialog: server folder", R::Back, true, kRecorded, false},
    // A question: Escape takes the preselection and goes on without turning the direction.
    {kUsers, R::Next, false, "Dialog: setup folder", true, kUsers},
    {kUsers, R::None, false, "Dialog: setup folder", false, kUsers},
    {kUsers, R::Back, true, kRecorded, false},
    {kUsers, R::Option1, true, "start", true},  // an answer this page does not give
    {kUsers, R::Cancel, true, "cancel", true},
    // A page passed over keeps going the way the user went.
    {kUsers, StepResult::skip(), true, "Dialog: setup folder", true, kUsers},
    {kUsers, StepResult::skip(), false, kRecorded, false},
    {"Dialog: ask for didactic material download", StepResult::skip(), true, "Dialog: presentations", true},
    // Folder and information pages: Escape, or a refused folder, shows the page again.
    {"Dialog: setup folder", R::None, true, "Dialog: setup folder", true},
    {"Dialog: setup folder", StepResult::again(R::Next), false, "Dialog: setup folder", true},
    {"Dialog: target folder", R::Next, true, "Dialog: application folder", true, "Dialog: target folder"},
    {"Dialog: application folder", R::Next, true, "Dialog: videos", true, "Dialog: application folder"},
    {"Dialog: create preconfig setup notification dialog", R::Next, true, "create preconfig setup", true},
    {"Dialog: create preconfig setup notification dialog", R::None, true,
     "Dialog: create preconfig setup notification dialog", true},
    // A failed download: the question before it, still going forward.
    {"Dialog: ask for videos download", StepResult::backToQuestion(), false, kRecorded, true},
    {"Dialog: videos", R::Next, true, "Dialog: ask for videos download", true, "Dialog: videos"},
    // The last question: the installation, the links or the Individual Setup's own pages.
    {"Dialog: presentations", R::Next, true, "launch msi", true},
    {"Dialog: presentations", R::None, true, "launch msi", true},
    {"Dialog: presentations", R::Next, true, "create link", true, nullptr, kLinkOnly},
    {"Dialog: presentations", R::Next, true, "Dialog: auto mode", true, "Dialog: presentations", kIndividualSetup},
    {"Dialog: presentations", R::Option2, true, "start", true},
    {"Dialog: presentations", R::Back, true, kRecorded, false},
    {"Dialog: auto mode", R::Next, true, "Dialog: create preconfig setup notification dialog", true,
     "Dialog: auto mode"},
    // Not a page state.
    {"launch msi", R::Next, true, "start", true},
};

TEST(FlowRoutes, EachPageStateLeadsWhereItsRowSays) {
    for (const RouteCase& c : kCases) {
        SCOPED_TRACE(std::string(c.from) + " -> " + c.to);
        FakeSystem system;
        FakeUi ui;
        CBootstrapperApp application{system, ui};
        RunContext& app = application.run();
        Navigation& navigation = application.navigation();
        app.product.preconfigSetup = (c.mode & kOffersIndividualSetup) != 0;
        app.choices.preconfigMode = (c.mode & kIndividualSetup) != 0;
        app.choices.linkOnly = (c.mode & kLinkOnly) != 0;
        navigation.forwardDirection = c.forwardBefore;
        navigation.backTarget[c.from] = kRecorded;

        EXPECT_EQ(routeStep(app, navigation, c.from, c.result), c.to);
        EXPECT_EQ(navigation.forwardDirection, c.forwardAfter);
        if (c.backOfTo) {
            EXPECT_EQ(navigation.backTarget[c.to], c.backOfTo);
        }
        EXPECT_EQ(app.choices.preconfigMode, (c.mode & (kOffersIndividualSetup | kIndividualSetup)) != 0);
    }
}

}  // namespace
