// The settings reader against scrambled documents held by the fake platform.
#include <gtest/gtest.h>

#include "app/bootstrapper_app.h"
#include "fakes/fake_system.h"

namespace {

const std::string kFullDocument = R"(<?xml version="1.0" encoding="utf-8"?>
<!-- product settings -->
<installer>
  <product demo-version="true">
    <name>Circuita Pro</name>
    <shortname>Circuita</shortname>
    <identifier>CIRC</identifier>
    <guid> 11111111-2222-3333-4444-555555555555
    </guid>
  </product>
  <bootstrapper external-msi="false" preconfig-setup="true" circuit-folder-dialog="true"
                kill-rla-client="true" pelaxo-togo="false" min-os-version="61abc">
    <languages>
      <language app-parameter="de" help-file="hilfe.chm" circuit-dir="Schaltpläne">de-de</language>
      <language app-parameter="en" help-file="help.chm" circuit-dir="Circuits">en-us</language>
    </languages>
    <application-dir-relative>App</application-dir-relative>
    <start-application-on-stick>Circuita.exe</start-application-on-stick>
    <link-installation-only>
      <bin-dir>bin</bin-dir>
      <program-dir>Circuita</program-dir>
      <regentry-installdir subkey="SOFTWARE\Circuita" value-name="INST_DIR"/>
      <regentry-icon subkey="CircuitaFile\DefaultIcon"/>
      <regentry-open subkey="CircuitaFile\shell\open\command"/>
    </link-installation-only>
  </bootstrapper>
  <technology domain="hyd"/>
  <dot-net20-framework>
    <resource>
      <Bit64 source-file="fx64.exe" id="DOTNET20_64_FILE"/>
      <Bit32 source-file="fx32.exe" id="DOTNET20_32_FILE"/>
    </resource>
  </dot-net20-framework>
  <dot-net40-client-framework>
    <resource source-file="fx40.exe" id="DOTNET40_FILE"/>
  </dot-net40-client-framework>
  <msi admin-required="true" ask-for-videos="true" videos-size="120" video-cab-file1="v1.cab"
       ask-for-presentations="true" presentations-size="30"
       ask-for-didactic-material-download="true" didactic-material-cab-files="m1.cab m2.cab"
       didactic-material-url="http://127.0.0.1/getfile.pl" media2-url="http://127.0.0.1/media2.cab">
    <package language="de-de">
      <defines>
        <define var-name="MainExeDir" value="Programm"/>
        <define var-name="BIN_DIR_Guid" value=" ABC "/>
        <define var-name="StartMenuDir" value="ShortcutNameApp"/>
        <define var-name="Unknown" value="x"/>
        <define value="no name"/>
      </defines>
    </package>
    <package language="en-us"/>
    <output file="Circuita.msi" resource-id="MSI_FILE" main-package="en-us"/>
  </msi>
  <thumbex/>
  <update url="http://127.0.0.1/update" target="Circuita.exe"/>
</installer>
)";

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    const auto at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

class SettingsReader : public ::testing::Test {
protected:
    FakeSystem system;
    FakeUi ui;
    const std::u16string msiFolder = u"D:\\Support\\MSI\\";

    int read(const std::string& xml) {
        system.setSettings(xml);
        app = std::make_unique<CBootstrapperApp>(system, ui);
        return app->readXML_Options();
    }
    std::unique_ptr<CBootstrapperApp> app;
};

TEST_F(SettingsReader, FullDocumentFillsTheState) {
    system.addFile(msiFolder + u"v1.cab");
    system.addFile(msiFolder + u"media3.cab");
    ASSERT_EQ(read(kFullDocument), 0);
    const RunContext& a = app->run();
    EXPECT_TRUE(a.product.demoVersion);
    EXPECT_EQ(a.product.productName, u"Circuita Pro");
    EXPECT_EQ(a.product.productShortName, u"Circuita");
    EXPECT_EQ(a.product.productGuid, u"{11111111-2222-3333-4444-555555555555}");
    EXPECT_TRUE(a.product.preconfigSetup && a.product.circuitFolderDialog && a.product.killZirOveriz);
    EXPECT_FALSE(a.offer.useExternalMsi || a.product.toGoEdition);
    EXPECT_EQ(a.product.minOsVersion, 61);
    EXPECT_TRUE(a.product.languageEnabled[0] && a.product.languageEnabled[1] && !a.product.languageEnabled[2]);
    EXPECT_EQ(a.choices.languageIndex, 0);
    EXPECT_EQ(a.product.circuitDir[0], u"Schaltpl\u00e4ne");
    EXPECT_EQ(a.product.helpFile[1], u"help.chm");
    EXPECT_EQ(a.product.installDirRegSubkey, u"SOFTWARE\\Circuita");
    EXPECT_EQ(a.product.installDirRegValueName, u"INST_DIR");
    EXPECT_EQ(a.product.technologyDomain, "hyd");
    EXPECT_TRUE(a.product.needsDotNet20);
    EXPECT_EQ(a.product.dotNet20SourceFile, u"fx64.exe");
    EXPECT_EQ(a.product.dotNet20ResourceId, u"DOTNET20_64_FILE");
    EXPECT_TRUE(a.product.needsDotNet40Client);
    EXPECT_EQ(a.product.dotNet40ResourceId, u"DOTNET40_FILE");
    EXPECT_TRUE(a.product.adminRequired && a.offer.askForVideos && a.choices.installVideos);
    EXPECT_TRUE(a.offer.askForPresentations && a.choices.installPresentations && a.product.askForMaterialDownload);
    EXPECT_EQ(a.product.materialCabFiles, u"m1.cab m2.cab");
    EXPECT_TRUE(a.product.languagePackaged[0] && a.product.languagePackaged[1]);
    EXPECT_EQ(a.product.mainExeDir[0], u"Programm");
    EXPECT_EQ(a.product.binDirComponentGuid[0], u"{ ABC }");  // not trimmed
    EXPECT_EQ(a.product.startMenuDir[0], u"ShortcutNameApp");
    EXPECT_TRUE(a.product.shortcutNameApp[0].empty());
    EXPECT_EQ(a.product.msiFileName, u"Circuita.msi");
    EXPECT_EQ(a.product.msiResourceName, u"MSI_FILE");
    EXPECT_EQ(a.product.mainPackageLanguage, 1);
    EXPECT_TRUE(a.product.installThumbnailExtension && a.product.updateConfigured);
    EXPECT_EQ(a.product.updateTarget, u"Circuita.exe");
    EXPECT_FALSE(a.offer.isPelaxo4 || a.offer.isPelaxo5 || a.offer.videosAsDownload);
}

TEST_F(SettingsReader, MissingRequiredItemsGiveTheirCodes) {
    struct Case {
        const char* from;
        const char* to;
        int code;
    };
    const Case cases[] = {
        {"<installer>", "<setup>", -2},
        {"<name>Circuita Pro</name>", "", -3},
        {"<guid>", "<uid>", -4},
        {"<bootstrapper ", "<boot ", -5},
        {"<languages>", "<langs>", -6},
        {">de-de<", ">de-de <", -7},
        {">en-us<", ">EN-US<", -7},
        {"<application-dir-relative>App</application-dir-relative>", "", -8},
        {"<start-application-on-stick>", "<start-app>", -9},
        {"<link-installation-only>", "<link-only>", -10},
        {"<bin-dir>bin</bin-dir>", "", -11},
        {"<program-dir>Circuita</program-dir>", "", -12},
        {"<regentry-installdir ", "<regentry-dir ", -13},
        {"subkey=\"SOFTWARE\\Circuita\"", "", -14},
        {"value-name=\"INST_DIR\"", "", -15},
        {"<regentry-icon ", "<regentry-ico ", -16},
        {"subkey=\"CircuitaFile\\DefaultIcon\"", "", -17},
        {"<regentry-open ", "<regentry-opn ", -18},
        {"subkey=\"CircuitaFile\\shell\\open\\command\"", "", -19},
        {"<msi ", "<msx ", -20},
        {"<Bit64 ", "<Bit46 ", -30},
        {"source-file=\"fx64.exe\"", "", -32},
        {"id=\"DOTNET20_64_FILE\"", "", -33},
        {"source-file=\"fx40.exe\"", "", -32},
        {"<output ", "<outpt ", -38},
        {"file=\"Circuita.msi\"", "", -39},
        {"resource-id=\"MSI_FILE\"", "", -40},
        {"url=\"http://127.0.0.1/update\"", "", -45},
        {"target=\"Circuita.exe\"", "", -46},
        {"<package language=\"en-us\"/>", "<package language=\"xx\"/>", -48},
        {"<package language=\"en-us\"/>", "<package/>", -48},
        {"main-package=\"en-us\"", "", -49},
        {"main-package=\"en-us\"", "main-package=\"en\"", -50},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(read(replaced(kFullDocument, c.from, c.to)), c.code) << c.from;
    }
}

TEST_F(SettingsReader, ThirtyTwoBitWindowsNeedsItsOwnInstaller) {
    system.setWindows64(false);
    ASSERT_EQ(read(kFullDocument), 0);
    EXPECT_EQ(app->run().product.dotNet20SourceFile, u"fx32.exe");
    EXPECT_EQ(read(replaced(kFullDocument, "<Bit32 ", "<Bit23 ")), -31);
}

TEST_F(SettingsReader, DamagedResourcesReportTheResourceCode) {
    system.resources[u"SETTINGS"] = {};
    app = std::make_unique<CBootstrapperApp>(system, ui);
    EXPECT_EQ(app->readXML_Options(), -54);
    system.resources.clear();
    EXPECT_EQ(app->readXML_Options(), -54);

    // An unscrambled document reads as noise: no installer element.
    system.resources[u"SETTINGS"] = std::vector<unsigned char>(kFullDocument.begin(), kFullDocument.end());
    EXPECT_EQ(app->readXML_Options(), -2);

    // A truncated document keeps what was read before the cut.
    const std::string cut = kFullDocument.substr(0, kFullDocument.find("<msi "));
    EXPECT_EQ(read(cut), -20);
    EXPECT_EQ(app->run().product.productName, u"Circuita Pro");

    // Bytes after a zero are not part of the document.
    EXPECT_EQ(read(kFullDocument.substr(0, 40) + std::string(1, '\0') + kFullDocument.substr(40)), -2);
}

TEST_F(SettingsReader, OptionalItemsAndDefaults) {
    std::string xml = replaced(kFullDocument, "<shortname>Circuita</shortname>", "");
    xml = replaced(xml, "min-os-version=\"61abc\"", "min-os-version=\"-5\"");
    xml = replaced(xml, "ask-for-videos=\"true\"", "ask-for-videos=\"True\"");
    xml = replaced(xml, "<update url=\"http://127.0.0.1/update\" target=\"Circuita.exe\"/>", "");
    xml = replaced(xml, "<technology domain=\"hyd\"/>", "");
    xml = replaced(xml, "<guid> 11111111-2222-3333-4444-555555555555\n    </guid>",
                   "<guid pelaxo5-e-guid=\"\" pelaxo5-h-guid=\" E1 \"></guid>");
    ASSERT_EQ(read(xml), 0);
    EXPECT_EQ(app->run().product.productShortName, u"Circuita Pro");
    EXPECT_EQ(app->run().product.minOsVersion, 0);
    EXPECT_FALSE(app->run().offer.askForVideos);
    EXPECT_FALSE(app->run().product.updateConfigured);
    EXPECT_TRUE(app->run().product.technologyDomain.empty());
    EXPECT_EQ(app->run().product.productGuid, u"{}");
    EXPECT_TRUE(app->run().product.editionGuidE.empty());
    EXPECT_EQ(app->run().product.editionGuidH, u"{E1}");

    // No language at all still reads; the language stays unset.
    xml = replaced(
        kFullDocument,
        "<language app-parameter=\"de\" help-file=\"hilfe.chm\" circuit-dir=\"Schaltpläne\">de-de</language>", "");
    xml = replaced(
        xml, "<language app-parameter=\"en\" help-file=\"help.chm\" circuit-dir=\"Circuits\">en-us</language>", "");
    ASSERT_EQ(read(xml), 0);
    EXPECT_EQ(app->run().choices.languageIndex, -1);

    // Only the first product counts.
    xml = replaced(kFullDocument, "<product demo-version=\"true\">",
                   "<product><name>First</name><guid>1</guid></product><product>");
    ASSERT_EQ(read(xml), 0);
    EXPECT_EQ(app->run().product.productName, u"First");
    EXPECT_FALSE(app->run().product.demoVersion);
}

TEST_F(SettingsReader, MissingCabinetsSwitchOffTheirOffers) {
    // Neither v1.cab nor media3.cab beside the launcher.
    ASSERT_EQ(read(kFullDocument), 0);
    EXPECT_FALSE(app->run().offer.askForVideos || app->run().choices.installVideos);
    EXPECT_FALSE(app->run().offer.askForPresentations || app->run().choices.installPresentations);

    // A second video cabinet must be there as well.
    system.addFile(msiFolder + u"v1.cab");
    system.addFile(msiFolder + u"media3.cab");
    ASSERT_EQ(read(replaced(kFullDocument, "video-cab-file1=\"v1.cab\"",
                            "video-cab-file1=\"v1.cab\" video-cab-file2=\"v2.cab\"")),
              0);
    EXPECT_FALSE(app->run().offer.askForVideos);
    EXPECT_TRUE(app->run().offer.askForPresentations);
}

TEST_F(SettingsReader, ExternalPackageMustEqualTheEmbeddedOne) {
    const std::string withExternal =
        replaced(kFullDocument, "external-msi=\"false\"", "external-msi=\"true\" additional-internal-msi=\"true\"");
    system.addFile(msiFolder + u"v1.cab");
    system.addFile(msiFolder + u"media3.cab");
    system.resources[u"MSI_FILE"] = {'M', 'S', 'I', '1'};

    system.addFile(msiFolder + u"Circuita.msi", "MSI1");
    ASSERT_EQ(read(withExternal), 0);
    EXPECT_TRUE(app->run().offer.useExternalMsi && app->run().offer.additionalInternalMsi &&
                app->run().offer.askForVideos);

    system.addFile(msiFolder + u"Circuita.msi", "MSI2");
    ASSERT_EQ(read(withExternal), 0);
    EXPECT_FALSE(app->run().offer.useExternalMsi || app->run().offer.askForVideos ||
                 app->run().offer.askForPresentations);
    EXPECT_TRUE(app->run().offer.additionalInternalMsi);

    system.files.erase(msiFolder + u"Circuita.msi");
    ASSERT_EQ(read(withExternal), 0);
    EXPECT_FALSE(app->run().offer.useExternalMsi || app->run().choices.installVideos ||
                 app->run().choices.installPresentations);

    system.addFile(msiFolder + u"Circuita.msi", "MSI1");
    system.resources.erase(u"MSI_FILE");
    ASSERT_EQ(read(withExternal), 0);
    EXPECT_TRUE(app->run().offer.useExternalMsi);
    EXPECT_FALSE(app->run().offer.additionalInternalMsi);
}

TEST_F(SettingsReader, ProductGenerationFlags) {
    ASSERT_EQ(read(replaced(kFullDocument, ">Circuita.exe<", ">pelaxo5.EXE<")), 0);
    EXPECT_TRUE(app->run().offer.isPelaxo5);
    EXPECT_FALSE(app->run().offer.isPelaxo4);

    // The older generation with hydraulics offers its videos as a download...
    ASSERT_EQ(read(replaced(kFullDocument, "<shortname>Circuita", "<shortname>Pelaxo Hyd")), 0);
    EXPECT_TRUE(app->run().offer.isPelaxo4 && app->run().offer.videosAsDownload && app->run().offer.askForVideos &&
                app->run().choices.installVideos);

    // ...unless the videos are installed already.
    system.featureStates[u"{11111111-2222-3333-4444-555555555555}/Videos"] = platform::kInstallStateLocal;
    ASSERT_EQ(read(replaced(kFullDocument, "<shortname>Circuita", "<shortname>Pelaxo Hyd")), 0);
    EXPECT_FALSE(app->run().offer.videosAsDownload);

    ASSERT_EQ(read(replaced(kFullDocument, "<shortname>Circuita", "<shortname>pelaxo")), 0);
    EXPECT_FALSE(app->run().offer.isPelaxo4);  // case-sensitive
}

}  // namespace
