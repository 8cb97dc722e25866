// The Windows Installer queries against the demo package, which the scenario installed
// with its Videos feature left out.
#include <gtest/gtest.h>

#include "platform/queries.h"
#include "test_support.h"

namespace {

const std::u16string kProduct = u"{B3D89C4A-4261-4AFD-9C98-C70B8E542933}";
const std::u16string kMainComponent = u"{FEA481B1-44F4-4C4F-8BA2-6EDA1D541A88}";
const std::u16string kUnknownGuid = u"{00000000-1111-2222-3333-444444444444}";
const std::wstring kUninstallKey =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{B3D89C4A-4261-4AFD-9C98-C70B8E542933}";

// The launcher asking about the product is some other file.
class SystemWithLauncher : public Win32System {
public:
    explicit SystemWithLauncher(std::u16string path) : path_(std::move(path)) {}
    std::u16string launcherPath() override { return path_; }

private:
    std::u16string path_;
};

class Installer : public testing::Test {
protected:
    void SetUp() override {
        if (!scenario().msiInstalled) GTEST_SKIP() << "needs the demo package installed (--msi-installed)";
    }
    Win32System system;
};

TEST(InstallerBinding, OrdinalsAreTheNamedFunctions) {
    wchar_t folder[MAX_PATH];
    GetSystemDirectoryW(folder, MAX_PATH);
    const HMODULE msi = LoadLibraryW((std::wstring(folder) + L"\\msi.dll").c_str());
    ASSERT_NE(nullptr, msi);
    EXPECT_EQ(GetProcAddress(msi, "MsiQueryFeatureStateW"), GetProcAddress(msi, MAKEINTRESOURCEA(111)));
    EXPECT_EQ(GetProcAddress(msi, "MsiQueryProductStateW"), GetProcAddress(msi, MAKEINTRESOURCEA(113)));
    EXPECT_EQ(GetProcAddress(msi, "MsiGetComponentPathW"), GetProcAddress(msi, MAKEINTRESOURCEA(173)));
    FreeLibrary(msi);
}

TEST_F(Installer, ProductAndFeatureStates) {
    EXPECT_EQ(5, system.msiProductState(kProduct));  // INSTALLSTATE_DEFAULT
    EXPECT_EQ(platform::kInstallStateUnknown, system.msiProductState(kUnknownGuid));
    EXPECT_EQ(platform::kInstallStateLocal, system.msiFeatureState(kProduct, u"Main"));
    EXPECT_EQ(platform::kInstallStateAbsent, system.msiFeatureState(kProduct, u"Videos"));
    EXPECT_EQ(platform::kInstallStateUnknown, system.msiFeatureState(kProduct, u"NoSuchFeature"));
    EXPECT_TRUE(IsFeatureInstalledLocally(system, kProduct, u"Main"));
    EXPECT_FALSE(IsFeatureInstalledLocally(system, kProduct, u"Videos"));
}

TEST_F(Installer, AnX86PackageIsSeenInstalledByEitherBuild) {
    // An x86 package registers in the 32-bit view only: the launcher's default view.
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey.c_str(), 0, KEY_QUERY_VALUE | KEY_WOW64_32KEY, &key));
    RegCloseKey(key);
    EXPECT_TRUE(IsProductInstalled(system, kProduct));
    EXPECT_FALSE(IsProductInstalled(system, kUnknownGuid));
}

TEST_F(Installer, ComponentPathAndInstalledVersion) {
    std::u16string path;
    ASSERT_EQ(platform::kInstallStateLocal, system.msiComponentPath(kProduct, kMainComponent, path));
    EXPECT_TRUE(exists(path)) << toWide(path).c_str();
    EXPECT_NE(platform::kInstallStateLocal, system.msiComponentPath(kProduct, kUnknownGuid, path));

    if (scenario().demoSetup.empty()) GTEST_SKIP() << "needs --demo-setup=";
    SystemWithLauncher sameVersion(scenario().demoSetup);  // 5.0.2.0, as the installed program
    EXPECT_TRUE(IsInstalledVersionCurrent(sameVersion, kProduct, kMainComponent));
    EXPECT_FALSE(IsInstalledVersionCurrent(sameVersion, kProduct, u""));
    EXPECT_FALSE(IsInstalledVersionCurrent(sameVersion, kProduct, kUnknownGuid));
    SystemWithLauncher otherVersion(programFolder() + u"\\two_languages.dll");
    EXPECT_FALSE(IsInstalledVersionCurrent(otherVersion, kProduct, kMainComponent));
    SystemWithLauncher unversioned(programFolder() + u"\\plantme.dll");
    EXPECT_FALSE(IsInstalledVersionCurrent(unversioned, kProduct, kMainComponent));
}

}  // namespace
