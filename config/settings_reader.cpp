// Reads the embedded settings document into the application object. The order of the
// reads is fixed: the first missing required item ends the read with its own code, and
// the fields read before it keep their values.
#include <algorithm>
#include <cstring>

#include "app/bootstrapper_app.h"
#include "config/scramble.h"
#include "config/xml_document.h"
#include "platform/files.h"
#include "platform/queries.h"
#include "platform/strings.h"
#include "text/languages.h"

namespace {

constexpr int kNoSettingsResource = -54;

// Lookups by literal name against one document; names are interned before the lookup.
class SettingsTree {
public:
    explicit SettingsTree(XmlDocument& doc) : doc_(doc) {}

    const XmlElement* child(const XmlElement* parent, const char* name) {
        return parent ? parent->findChild(doc_.intern(name)) : nullptr;
    }
    const XmlAttribute* attribute(const XmlElement* element, const char* name) {
        return element ? element->findAttribute(doc_.intern(name)) : nullptr;
    }
    template <typename Visit>
    void forEachChild(const XmlElement* parent, const char* name, Visit&& visit) {
        const char* interned = doc_.intern(name);
        for (const auto& c : parent->children) {
            if (c->name == interned) visit(*c);
        }
    }

    // A flag is only ever switched on; any value but "true" leaves the field alone.
    void readFlag(const XmlElement* element, const char* name, bool& field) {
        if (isFlagSet(attribute(element, name))) field = true;
    }
    // An absent attribute leaves the field unchanged.
    void readString(const XmlElement* element, const char* name, std::u16string& field) {
        if (const XmlAttribute* a = attribute(element, name)) field = utf8ToWide(a->value);
    }
    bool requireString(const XmlElement* element, const char* name, std::u16string& field) {
        const XmlAttribute* a = attribute(element, name);
        if (!a) return false;
        field = utf8ToWide(a->value);
        return true;
    }

private:
    XmlDocument& doc_;
};

std::u16string elementText(const XmlElement& element) { return utf8ToWide(element.text); }

std::u16string bracedGuid(const std::string& value) {
    return u"{" + trimBlanks(utf8ToWide(value)) + u"}";
}

}  // namespace

int CBootstrapperApp::readXML_Options() {
    platform::System& sys = system();

    int loadError = platform::kResourceOk;
    const std::vector<unsigned char> raw = loadCustomResource(sys, u"SETTINGS", loadError, true);
    if (loadError != platform::kResourceOk || raw.empty()) return kNoSettingsResource;
    // The document ends at the first zero byte or at the end of the resource.
    const auto zero = std::find(raw.begin(), raw.end(), 0);
    const std::string documentText(raw.begin(), zero);

    XmlDocument doc;
    std::string parseError;
    // A syntax error is not fatal by itself: the partial tree usually lacks a required
    // item further down, which then names the problem by its code.
    (void)doc.parse(documentText.c_str(), parseError);
    SettingsTree tree(doc);

    // ---- product ----
    const XmlElement* installer = tree.child(&doc.root(), "installer");
    const XmlElement* product = tree.child(installer, "product");
    if (!product) return -2;
    tree.readFlag(product, "demo-version", demoVersion);
    const XmlElement* name = tree.child(product, "name");
    if (!name) return -3;
    productName = elementText(*name);
    if (const XmlElement* shortName = tree.child(product, "shortname")) productShortName = elementText(*shortName);
    else productShortName = productName;
    if (const XmlElement* identifier = tree.child(product, "identifier")) productIdentifier = elementText(*identifier);
    const XmlElement* guid = tree.child(product, "guid");
    if (!guid) return -4;
    productGuid = bracedGuid(guid->text);
    const std::pair<const char*, std::u16string*> editionGuids[] = {
        {"pelaxo5-e-guid", &editionGuidE}, {"pelaxo5-h-guid", &editionGuidH}, {"pelaxo5-p-guid", &editionGuidP}};
    for (const auto& [attributeName, field] : editionGuids) {
        const XmlAttribute* a = tree.attribute(guid, attributeName);
        if (a && !trimBlanks(utf8ToWide(a->value)).empty()) *field = bracedGuid(a->value);
    }

    // ---- bootstrapper ----
    const XmlElement* bootstrapper = tree.child(installer, "bootstrapper");
    if (!bootstrapper) return -5;
    tree.readFlag(bootstrapper, "external-msi", useExternalMsi);
    tree.readFlag(bootstrapper, "additional-internal-msi", additionalInternalMsi);
    tree.readFlag(bootstrapper, "preconfig-setup", preconfigSetup);
    tree.readFlag(bootstrapper, "circuit-folder-dialog", circuitFolderDialog);
    tree.readFlag(bootstrapper, "kill-rla-client", killZirOveriz);
    tree.readFlag(bootstrapper, "pelaxo-togo", toGoEdition);
    if (const XmlAttribute* minOs = tree.attribute(bootstrapper, "min-os-version")) {
        const long value = parseDecimalPrefix(minOs->value);
        if (value > 0 && value <= 0x7FFFFFFF) minOsVersion = static_cast<int>(value);
    }

    const XmlElement* languages = tree.child(bootstrapper, "languages");
    if (!languages) return -6;
    int languageError = 0;
    tree.forEachChild(languages, "language", [&](const XmlElement& language) {
        if (languageError) return;
        const int index = languageCodeToIndex(language.text);
        if (index < 0) {
            languageError = -7;
            return;
        }
        languageEnabled[index] = true;
        if (languageIndex < 0) languageIndex = index;
        tree.readString(&language, "app-parameter", appParameter[index]);
        tree.readString(&language, "help-file", helpFile[index]);
        tree.readString(&language, "circuit-dir", circuitDir[index]);
    });
    if (languageError) return languageError;

    const XmlElement* appDir = tree.child(bootstrapper, "application-dir-relative");
    if (!appDir) return -8;
    applicationDirRelative = elementText(*appDir);
    const XmlElement* stickApp = tree.child(bootstrapper, "start-application-on-stick");
    if (!stickApp) return -9;
    startApplicationOnStick = elementText(*stickApp);

    const XmlElement* linkOnlyItems = tree.child(bootstrapper, "link-installation-only");
    if (!linkOnlyItems) return -10;
    const XmlElement* binDirElement = tree.child(linkOnlyItems, "bin-dir");
    if (!binDirElement) return -11;
    binDir = elementText(*binDirElement);
    const XmlElement* programDirElement = tree.child(linkOnlyItems, "program-dir");
    if (!programDirElement) return -12;
    programDir = elementText(*programDirElement);
    const XmlElement* installDirEntry = tree.child(linkOnlyItems, "regentry-installdir");
    if (!installDirEntry) return -13;
    if (!tree.requireString(installDirEntry, "subkey", installDirRegSubkey)) return -14;
    if (!tree.requireString(installDirEntry, "value-name", installDirRegValueName)) return -15;
    const XmlElement* iconEntry = tree.child(linkOnlyItems, "regentry-icon");
    if (!iconEntry) return -16;
    if (!tree.requireString(iconEntry, "subkey", iconRegSubkey)) return -17;
    const XmlElement* openEntry = tree.child(linkOnlyItems, "regentry-open");
    if (!openEntry) return -18;
    if (!tree.requireString(openEntry, "subkey", openRegSubkey)) return -19;

    // The technology code travels on an optional element of its own.
    if (const XmlAttribute* domain = tree.attribute(tree.child(installer, "technology"), "domain")) {
        technologyDomain = domain->value;
    }

    // ---- runtimes ----
    if (const XmlElement* dotNet20 = tree.child(installer, "dot-net20-framework")) {
        needsDotNet20 = true;
        if (const XmlElement* resource = tree.child(dotNet20, "resource")) {
            const bool windows64 = isWindows64(sys);
            const XmlElement* installerFile = tree.child(resource, windows64 ? "Bit64" : "Bit32");
            if (!installerFile) return windows64 ? -30 : -31;
            if (!tree.requireString(installerFile, "source-file", dotNet20SourceFile)) return -32;
            if (!tree.requireString(installerFile, "id", dotNet20ResourceId)) return -33;
        }
    }
    if (const XmlElement* dotNet40 = tree.child(installer, "dot-net40-client-framework")) {
        needsDotNet40Client = true;
        if (const XmlElement* resource = tree.child(dotNet40, "resource")) {
            if (!tree.requireString(resource, "source-file", dotNet40SourceFile)) return -32;
            if (!tree.requireString(resource, "id", dotNet40ResourceId)) return -33;
        }
    }

    // ---- package ----
    const XmlElement* msi = tree.child(installer, "msi");
    if (!msi) return -20;
    tree.readFlag(msi, "admin-required", adminRequired);
    if (isFlagSet(tree.attribute(msi, "ask-for-videos"))) askForVideos = installVideos = true;
    tree.readString(msi, "videos-size", videosSize);
    tree.readString(msi, "video-cab-file1", videoCabFile1);
    tree.readString(msi, "video-cab-file2", videoCabFile2);
    if (isFlagSet(tree.attribute(msi, "ask-for-presentations"))) askForPresentations = installPresentations = true;
    tree.readString(msi, "presentations-size", presentationsSize);
    tree.readString(msi, "presentations-cab-file1", presentationsCabFile1);
    tree.readFlag(msi, "ask-for-didactic-material-download", askForMaterialDownload);
    tree.readString(msi, "didactic-material-cab-files", materialCabFiles);
    tree.readString(msi, "didactic-material-url", materialUrl);
    tree.readString(msi, "media2-url", media2Url);

    const std::pair<const char*, PerLanguage<std::u16string>*> defineTargets[] = {
        {"MainExeDir", &mainExeDir},           {"BIN_DIR_Guid", &binDirComponentGuid},
        {"ProdIdRegKey", &productRegKey},      {"ShortcutNamePdf", &shortcutNamePdf},
        {"ShortcutTargetPdf", &shortcutTargetPdf}, {"StartMenuDir", &startMenuDir},
        {"ShortcutNameApp", &shortcutNameApp}, {"ShortcutNameAppTechSelect", &shortcutNameAppTechSelect}};
    int packageError = 0;
    tree.forEachChild(msi, "package", [&](const XmlElement& package) {
        if (packageError) return;
        // A package without a language cannot be placed in any slot: treat it as an
        // unknown language rather than silently dropping its defines.
        const XmlAttribute* code = tree.attribute(&package, "language");
        const int index = code ? languageCodeToIndex(code->value) : -1;
        if (index < 0) {
            packageError = -48;
            return;
        }
        languagePackaged[index] = true;
        const XmlElement* defines = tree.child(&package, "defines");
        if (!defines) return;
        tree.forEachChild(defines, "define", [&](const XmlElement& define) {
            const XmlAttribute* varName = tree.attribute(&define, "var-name");
            if (!varName) return;
            for (const auto& [defineName, field] : defineTargets) {
                if (varName->value != defineName) continue;
                if (const XmlAttribute* value = tree.attribute(&define, "value")) {
                    (*field)[index] = utf8ToWide(value->value);
                    if (field == &binDirComponentGuid) (*field)[index] = u"{" + (*field)[index] + u"}";
                }
                break;
            }
        });
    });
    if (packageError) return packageError;

    const XmlElement* output = tree.child(msi, "output");
    if (!output) return -38;
    if (!tree.requireString(output, "file", msiFileName)) return -39;
    if (!tree.requireString(output, "resource-id", msiResourceName)) return -40;
    const XmlAttribute* mainPackage = tree.attribute(output, "main-package");
    if (!mainPackage) return -49;
    mainPackageLanguage = languageCodeToIndex(mainPackage->value);
    if (mainPackageLanguage < 0) return -50;

    // ---- shell extension and update ----
    if (tree.child(installer, "thumbex")) installThumbnailExtension = true;
    if (const XmlElement* update = tree.child(installer, "update")) {
        updateConfigured = true;
        if (!tree.requireString(update, "url", updateUrl)) return -45;
        if (!tree.requireString(update, "target", updateTarget)) return -46;
    }

    checkSupportFiles();
    deriveProductGeneration();
    return 0;
}

void CBootstrapperApp::checkSupportFiles() {
    platform::System& sys = system();
    const std::u16string msiFolder = launcherFolder(sys) + u"\\Support\\MSI\\";
    auto switchOffExternalPackage = [this] {
        useExternalMsi = askForVideos = installVideos = false;
        askForPresentations = installPresentations = false;
    };

    if (useExternalMsi && additionalInternalMsi && !fileExists(sys, msiFolder + msiFileName)) {
        switchOffExternalPackage();
    }
    if (askForVideos) {
        bool present;
        if (videoCabFile1.empty()) {
            present = fileExists(sys, msiFolder + u"media2.cab");
        } else {
            present = fileExists(sys, msiFolder + videoCabFile1) &&
                      (videoCabFile2.empty() || fileExists(sys, msiFolder + videoCabFile2));
        }
        if (!present) askForVideos = installVideos = false;
    }
    if (askForPresentations) {
        const std::u16string cab = presentationsCabFile1.empty() ? u"media3.cab" : presentationsCabFile1;
        if (!fileExists(sys, msiFolder + cab)) askForPresentations = installPresentations = false;
    }
    // An external package is used only when it is byte for byte the embedded one.
    if (useExternalMsi && additionalInternalMsi) {
        std::vector<unsigned char> external;
        if (!sys.readWholeFile(msiFolder + msiFileName, external)) {
            switchOffExternalPackage();
        } else {
            int error = platform::kResourceOk;
            const std::vector<unsigned char> embedded = loadCustomResource(sys, msiResourceName, error, false);
            if (error != platform::kResourceOk) additionalInternalMsi = false;
            else if (embedded != external) switchOffExternalPackage();
        }
    }
}

void CBootstrapperApp::deriveProductGeneration() {
    isPelaxo5 = equalsIgnoringAsciiCase(startApplicationOnStick, u"Pelaxo5.exe");
    isPelaxo4 = !isPelaxo5 && productShortName.find(u"Pelaxo") != std::u16string::npos;
    if (isPelaxo4 && technologyDomain == "hyd" &&
        !IsFeatureInstalledLocally(system(), productGuid, u"Videos") && !useExternalMsi) {
        videosAsDownload = askForVideos = installVideos = true;
    }
}
