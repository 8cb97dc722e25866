// The installer runs of the package launch on the in-memory Windows: the exact msiexec
// command lines for a first installation, a repair, an update with added features and the
// technology packages, and what is cleaned up afterwards.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "app/bootstrapper_app.h"
#include "fakes/fake_system.h"
#include "install/msi_properties.h"
#include "install/package_launch.h"

namespace {

const std::u16string kMsiexec = u"\"C:\\Windows\\system32\\msiexec.exe\" ";
const std::u16string kGuid = u"{11111111-2222-3333-4444-555555555555}";
const std::u16string kComponent = u"{AAAAAAAA-2222-3333-4444-555555555555}";

class PackageLaunch : public ::testing::Test {
protected:
    PackageLaunch() {
        app.product.productName = u"Circuita 5";
        app.product.productGuid = kGuid;
        app.choices.languageIndex = 1;
        app.product.mainPackageLanguage = 1;
        app.product.languagePackaged[1] = app.product.languagePackaged[3] = true;
        app.product.appParameter = {u"de", u"en", u"es", u"fr", u"it", u"cs"};
        app.product.binDirComponentGuid[1] = kComponent;
        app.product.msiFileName = u"Circuita.msi";
        app.product.msiResourceName = u"MSI_FILE";
        app.choices.useStandardCircuitFolder = true;
        system.resources[u"MSI_FILE"] = std::vector<unsigned char>(64, 'p');
        system.freeBytes = 1u << 30;
        ui.pageAnswers.push_back(runWork);  // the extraction page
    }
    static std::string runWork(platform::PageModel& page) {
        page.work();
        return "next";
    }
    void installed(const std::u16string& version) {
        system.setDword(FakeSystem::Root::LocalMachine,
                        u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + kGuid, u"Version", 1);
        system.productStates[kGuid] = platform::kInstallStateLocal;
        system.componentPaths[kGuid + u"/" + kComponent] = u"C:\\Program Files\\Circuita\\bin\\circuita.exe";
        system.files[u"C:\\Program Files\\Circuita\\bin\\circuita.exe"] = {};
        system.versionStrings[u"C:\\Program Files\\Circuita\\bin\\circuita.exe"][u"FileVersion"] = version;
        system.versionStrings[u"D:\\setup.exe"][u"FileVersion"] = u"5.1.0.7";
    }
    std::u16string property(const char* name) const {
        const std::u16string* value = msiProperty(app.choices, name);
        return value ? *value : u"<none>";
    }
    int launch() { return LaunchPackage(app, exitCode); }

    FakeSystem system;
    FakeUi ui;
    CBootstrapperApp application{system, ui};
    RunContext& app = application.run();
    Navigation& navigation = application.navigation();
    std::uint32_t exitCode = 99;
};

TEST_F(PackageLaunch, AFirstInstallationPassesItsFoldersAndLeavesNothingInTheTemporaryFolder) {
    app.choices.allUsers = false;
    app.choices.useStandardCircuitFolder = false;
    app.choices.circuitFolder = u"C:\\Users\\u\\Circuits";
    app.choices.installDir = u"C:\\Program Files\\Demo App";
    app.choices.msiUiOption = u"/qb ";
    system.onRunProcess = [](const std::u16string&, std::uint32_t) { return 3010u; };
    ASSERT_EQ(launch(), 0);
    EXPECT_EQ(exitCode, 3010u);
    EXPECT_TRUE(installerSucceeded(exitCode));
    ASSERT_EQ(system.commandLines.size(), 1u);
    EXPECT_EQ(system.commandLines[0],
              kMsiexec + u"/i \"C:\\Temp\\Circuita.msi\"/qb  " + BuildPropertyString(app.choices));
    EXPECT_EQ(property("SETUPDIR"), u"\"D:\\setup.exe\"");
    EXPECT_EQ(property("ALLUSERS"), u"\"\"");
    EXPECT_EQ(property("CTDIR"), u"\"C:\\Users\\u\\Circuits\"");
    EXPECT_EQ(property("INSTALLDIR"), u"\"C:\\Program Files\\Demo App\"");
    EXPECT_EQ(property("REINSTALLMODE"), u"amus");
    EXPECT_EQ(property("NOVIDEOS"), u"1");
    EXPECT_EQ(property("NOPRESENTATIONS"), u"1");
    EXPECT_EQ(property("LANGUAGE"), u"\"en\"");
    EXPECT_EQ(property("TRANSFORMS"), u"<none>");
    EXPECT_EQ(system.files.count(u"C:\\Temp\\Circuita.msi"), 0u);
    EXPECT_EQ(app.choices.msiUiOption, u"/qb ");
}

TEST_F(PackageLaunch, DownloadedMaterialIsInstalledAndOnlyThisRunsDownloadsAreDeleted) {
    app.product.askForMaterialDownload = app.record.materialDownloaded = true;
    app.product.materialCabFiles = u"m1.cab  m2.cab";
    system.files[u"\\\\?\\C:\\Temp\\m1.cab"] = {1};
    system.files[u"\\\\?\\C:\\Temp\\m2.cab"] = {2};
    system.files[u"\\\\?\\C:\\Temp\\media2.cab"] = {3};  // an earlier run's, not fetched now
    system.files[u"D:\\m1.cab"] = {4};
    ASSERT_EQ(launch(), 0);
    EXPECT_EQ(property("NOVIDEOS"), u"<none>");
    EXPECT_EQ(property("NOPRESENTATIONS"), u"<none>");
    EXPECT_EQ(system.files.count(u"\\\\?\\C:\\Temp\\m1.cab"), 0u);
    EXPECT_EQ(system.files.count(u"\\\\?\\C:\\Temp\\m2.cab"), 0u);
    EXPECT_EQ(system.files.count(u"\\\\?\\C:\\Temp\\media2.cab"), 1u);
    EXPECT_EQ(system.files.count(u"D:\\m1.cab"), 1u);
}

TEST_F(PackageLaunch, AnInstalledProductIsRepairedOrUpdatedInPlaceBeforeFeaturesAreAdded) {
    installed(u"5.1.0.7");
    ASSERT_EQ(launch(), 0);
    ASSERT_EQ(system.commandLines.size(), 1u);
    EXPECT_EQ(property("REINSTALL"), u"ALL");
    EXPECT_EQ(property("REINSTALLMODE"), u"vamus");

    // Features added to the same version: no update run.
    ui.pageAnswers.push_back(runWork);
    app.choices.installVideos = true;
    system.commandLines.clear();
    ASSERT_EQ(launch(), 0);
    EXPECT_EQ(system.commandLines.size(), 1u);
    EXPECT_EQ(property("ADDLOCAL"), u"Videos");

    // An older version is updated first, with the language of the interface (French).
    installed(u"5.0.0.1");
    ui.pageAnswers.push_back(runWork);
    app.choices.languageIndex = 3;
    app.choices.installPresentations = true;
    system.commandLines.clear();
    const std::u16string before = BuildPropertyString(app.choices);
    ASSERT_EQ(launch(), 0);
    ASSERT_EQ(system.commandLines.size(), 2u);
    EXPECT_EQ(system.commandLines[0], kMsiexec +
                                          u"/i \"C:\\Temp\\Circuita.msi\" /qb LANGUAGE=\"fr\" "
                                          u"TRANSFORMS=\":fr-fr.mst\" REINSTALL=ALL NOVIDEOS=1 "
                                          u"NOPRESENTATIONS=1 " +
                                          before);
    EXPECT_EQ(property("ADDLOCAL"), u"Videos,Presentations");
    EXPECT_EQ(property("TRANSFORMS"), u"\":fr-fr.mst\"");

    // A failed update stops the launch with its code.
    ui.pageAnswers.push_back(runWork);
    system.onRunProcess = [](const std::u16string&, std::uint32_t) { return 1603u; };
    system.commandLines.clear();
    EXPECT_EQ(launch(), -1);
    EXPECT_EQ(exitCode, 1603u);
    EXPECT_EQ(system.commandLines.size(), 1u);
}

TEST_F(PackageLaunch, LanguageFallbackRemovalFirstAndTheTechnologyPackages) {
    app.choices.languageIndex = 5;  // Czech, no package of its own
    app.choices.removeFirst = true;
    installed(u"5.1.0.7");
    ASSERT_EQ(launch(), 0);
    ASSERT_EQ(system.commandLines.size(), 2u);
    EXPECT_EQ(system.commandLines[0], kMsiexec + u"/qb /x " + kGuid);
    EXPECT_EQ(system.commandLines[1], kMsiexec + u"/i \"C:\\Temp\\Circuita.msi\" " + BuildPropertyString(app.choices));
    EXPECT_EQ(property("LANGUAGE"), u"\"en\"");
    EXPECT_EQ(property("TRANSFORMS"), u"<none>");
    EXPECT_TRUE(app.choices.msiUiOption.empty());

    app.product.toGoEdition = true;
    app.choices.targetProgramFolder = u"E:\\Portable";
    system.commandLines.clear();
    system.files[u"D:\\Support\\MSI\\Pelaxo5_P.msi"] = {};
    system.files[u"D:\\Support\\MSI\\Pelaxo5_E.msi"] = {};
    EXPECT_EQ(launch(), -1);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, u"Pelaxo5_H.msi not found.");
    EXPECT_TRUE(system.commandLines.empty());

    system.files[u"D:\\Support\\MSI\\Pelaxo5_H.msi"] = {};
    system.onRunProcess = [](const std::u16string& line, std::uint32_t) {
        return line.find(u"_H.msi") != std::u16string::npos ? 1602u : 0u;
    };
    EXPECT_EQ(launch(), 0);
    EXPECT_EQ(exitCode, 1602u);
    ASSERT_EQ(system.commandLines.size(), 2u);  // E never runs after H failed
    EXPECT_EQ(system.commandLines[0],
              kMsiexec + u"/i \"D:\\Support\\MSI\\Pelaxo5_P.msi\"/qb " + BuildPropertyString(app.choices));
    EXPECT_EQ(property("INSTALLDIR"), u"\"E:\\Portable\"");
}

// The order on the installer's command line is the name table's: ascending bucket of the
// tabulation hash in a table of 251 buckets, the later of two names in a bucket first.
TEST(MsiProperties, JoinInTheVisitingOrderOfTheirBuckets) {
    Choices run;
    const std::vector<std::string> names = {"SETUPDIR", "ALLUSERS",        "CTDIR",    "INSTALLDIR", "REINSTALLMODE",
                                            "NOVIDEOS", "NOPRESENTATIONS", "LANGUAGE", "TRANSFORMS", "CUSTOM_PROP"};
    std::vector<std::tuple<std::int64_t, int, std::string>> order;  // bucket, minus insertion index
    for (std::size_t i = 0; i < names.size(); ++i) {
        SetMsiProperty(run, names[i], u"v");
        const auto hash = static_cast<std::int32_t>(
            tabulationHash(reinterpret_cast<const unsigned char*>(names[i].c_str()), names[i].size() + 1));
        const std::int64_t rest = static_cast<std::int64_t>(hash) % 251;
        order.emplace_back(rest < 0 ? -rest : rest, -static_cast<int>(i), names[i]);
    }
    SetMsiProperty(run, "SETUPDIR", u"w");  // set again: keeps its place
    std::sort(order.begin(), order.end());
    std::u16string expected;
    for (const auto& [bucket, index, name] : order)
        expected += (expected.empty() ? u"" : u" ") + utf8ToWide(name) + (name == "SETUPDIR" ? u"=w" : u"=v");
    EXPECT_EQ(BuildPropertyString(run), expected);
}

}  // namespace
