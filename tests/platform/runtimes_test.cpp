// The .NET checks against registry states written here and the runtime loader the
// scenario placed (Wine's own mscoree.dll has no version resource).
#include <gtest/gtest.h>

#include "platform/queries.h"
#include "platform/version.h"
#include "test_support.h"

namespace {

using platform::RegRoot;

const std::u16string kNet20 = u"SOFTWARE\\Microsoft\\NET Framework Setup\\NDP\\v2.0.50727";
const std::u16string kNet40 = u"SOFTWARE\\Microsoft\\NET Framework Setup\\NDP\\v4\\Client";

class DotNet : public testing::Test {
protected:
    void SetUp() override {
        if (scenario().mscoreeMajor < 0) GTEST_SKIP() << "needs --mscoree-major=";
        clear();
    }
    void TearDown() override { clear(); }
    // The writes go to the 64-bit view, where the runtime installers register.
    void clear() {
        deleteMachineKeyInBothViews(toWide(kNet20));
        deleteMachineKeyInBothViews(toWide(kNet40));
    }
    int major() const { return scenario().mscoreeMajor; }
    Win32System system;
};

TEST_F(DotNet, LoaderVersionAsTheScenarioPlacedIt) {
    Version version{};
    const bool versioned = getFileVersion(system, system.systemFolder() + u"\\mscoree.dll", u"FileVersion", version);
    EXPECT_EQ(major() > 0, versioned);
    if (versioned) {
        EXPECT_EQ(static_cast<std::uint32_t>(major()), version[0]);
    }
}

TEST_F(DotNet, Net20NeedsRegistrationServicePackAndLoader) {
    EXPECT_FALSE(dotNet20Installed(system, 0));  // nothing registered
    ASSERT_EQ(platform::kRegOk, system.regWriteDword(RegRoot::LocalMachine, kNet20, u"Install", 0));
    EXPECT_FALSE(dotNet20Installed(system, 0));
    ASSERT_EQ(platform::kRegOk, system.regWriteDword(RegRoot::LocalMachine, kNet20, u"Install", 1));
    ASSERT_EQ(platform::kRegOk, system.regWriteDword(RegRoot::LocalMachine, kNet20, u"SP", 1));
    EXPECT_EQ(major() >= 2, dotNet20Installed(system, 0));
    EXPECT_FALSE(dotNet20Installed(system, 2));  // service pack 1 is not enough
    EXPECT_FALSE(dotNet20Installed(system, 1));  // any service pack asked for means 2
    ASSERT_EQ(platform::kRegOk, system.regWriteDword(RegRoot::LocalMachine, kNet20, u"SP", 2));
    EXPECT_EQ(major() >= 2, dotNet20Installed(system, 2));
}

TEST_F(DotNet, Net40ClientNeedsRegistrationAndAVersion4Loader) {
    EXPECT_FALSE(dotNet40ClientInstalled(system));
    ASSERT_EQ(platform::kRegOk, system.regWriteDword(RegRoot::LocalMachine, kNet40, u"Install", 1));
    // A 2.0 loader is too old for 4.0.
    EXPECT_EQ(major() >= 4, dotNet40ClientInstalled(system));
    const std::u16string one = u"1";
    ASSERT_EQ(platform::kRegOk, system.regWriteString(RegRoot::LocalMachine, kNet40, u"Install", &one));
    EXPECT_FALSE(dotNet40ClientInstalled(system));  // text, not a number
}

}  // namespace
