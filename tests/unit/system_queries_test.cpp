// Runtime, product and version questions answered from registry and installer states.
#include <gtest/gtest.h>

#include "config/scramble.h"
#include "fakes/fake_system.h"
#include "platform/queries.h"

namespace {

using Root = platform::RegRoot;
const std::u16string kNdp20 = u"SOFTWARE\\Microsoft\\NET Framework Setup\\NDP\\v2.0.50727";
const std::u16string kNdp40 = u"SOFTWARE\\Microsoft\\NET Framework Setup\\NDP\\v4\\Client";
const std::u16string kProduct = u"{B3D89C4A-4261-4AFD-9C98-C70B8E542933}";

TEST(DotNet, RegistrationServicePackAndLoaderVersion) {
    FakeSystem sys;
    EXPECT_FALSE(dotNet20Installed(sys, 0));
    sys.setDword(Root::LocalMachine, kNdp20, u"Install", 1);
    sys.setDword(Root::LocalMachine, kNdp20, u"SP", 1);
    EXPECT_FALSE(dotNet20Installed(sys, 0));  // no loader yet

    sys.versionStrings[u"C:\\Windows\\system\\mscoree.dll"][u"FileVersion"] = u"2.0.50727.4927";
    EXPECT_TRUE(dotNet20Installed(sys, 0));
    EXPECT_FALSE(dotNet20Installed(sys, 2));  // service pack 1 is not enough
    EXPECT_FALSE(dotNet20Installed(sys, 1));  // any level asked for means 2
    sys.setDword(Root::LocalMachine, kNdp20, u"SP", 2);
    EXPECT_TRUE(dotNet20Installed(sys, 2));

    sys.setString(Root::LocalMachine, kNdp20, u"Install", u"1");  // wrong type
    EXPECT_FALSE(dotNet20Installed(sys, 0));

    sys.setDword(Root::LocalMachine, kNdp40, u"Install", 1);
    EXPECT_FALSE(dotNet40ClientInstalled(sys));  // loader of version 2 only
    sys.versionStrings[u"C:\\Windows\\system32\\mscoree.dll"][u"FileVersion"] = u"4.0.30319.1";
    EXPECT_TRUE(dotNet40ClientInstalled(sys));
    sys.setDword(Root::LocalMachine, kNdp40, u"Install", 0);
    EXPECT_FALSE(dotNet40ClientInstalled(sys));
}

TEST(InstalledProduct, UninstallEntryAndInstallerStates) {
    FakeSystem sys;
    const std::u16string uninstall = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + kProduct;
    sys.productStates[kProduct] = 5;
    EXPECT_FALSE(IsProductInstalled(sys, kProduct));  // no uninstall entry
    sys.setDword(Root::LocalMachine, uninstall, u"Version", 0x05000002);
    EXPECT_TRUE(IsProductInstalled(sys, kProduct));
    sys.productStates[kProduct] = platform::kInstallStateAbsent;
    EXPECT_FALSE(IsProductInstalled(sys, kProduct));

    sys.featureStates[kProduct + u"/Videos"] = 2;
    sys.featureStates[kProduct + u"/Main"] = 3;
    EXPECT_FALSE(IsFeatureInstalledLocally(sys, kProduct, u"Videos"));
    EXPECT_TRUE(IsFeatureInstalledLocally(sys, kProduct, u"Main"));
    EXPECT_FALSE(IsFeatureInstalledLocally(sys, kProduct, u"Unknown"));
}

TEST(InstalledProduct, VersionCurrentComparesAllFourNumbers) {
    FakeSystem sys;
    const std::u16string component = u"{FEA481B1-44F4-4C4F-8BA2-6EDA1D541A88}";
    const std::u16string installed = u"C:\\Program Files\\Circuita 5\\bin\\Circuita.exe";
    EXPECT_FALSE(IsInstalledVersionCurrent(sys, kProduct, u""));
    EXPECT_FALSE(IsInstalledVersionCurrent(sys, kProduct, component));  // not installed
    sys.componentPaths[kProduct + u"/" + component] = installed;
    sys.versionStrings[installed][u"FileVersion"] = u"5.0.2.0";
    EXPECT_FALSE(IsInstalledVersionCurrent(sys, kProduct, component));  // launcher has no version
    sys.versionStrings[sys.exePath][u"FileVersion"] = u"5.0.2.0";
    EXPECT_TRUE(IsInstalledVersionCurrent(sys, kProduct, component));
    sys.versionStrings[sys.exePath][u"FileVersion"] = u"5.0.2.1";
    EXPECT_FALSE(IsInstalledVersionCurrent(sys, kProduct, component));
}

TEST(Windows64, NeedsBothProgramFilesValuesOrA64BitProcess) {
    FakeSystem sys;
    EXPECT_TRUE(isWindows64(sys));
    sys.setWindows64(false);
    EXPECT_FALSE(isWindows64(sys));
    sys.process64 = true;  // whatever the registry holds
    EXPECT_TRUE(isWindows64(sys));
}

TEST(Resources, UnscrambledOnlyWhenAsked) {
    FakeSystem sys;
    sys.setSettings("<a/>");
    int error = 1;
    const auto plain = loadCustomResource(sys, u"SETTINGS", error, true);
    EXPECT_EQ(error, 0);
    EXPECT_EQ(std::string(plain.begin(), plain.end()), "<a/>");
    EXPECT_NE(loadCustomResource(sys, u"SETTINGS", error, false), plain);
    EXPECT_TRUE(loadCustomResource(sys, u"MISSING", error, true).empty());
    EXPECT_EQ(error, platform::kResourceNotFound);
}

}  // namespace
