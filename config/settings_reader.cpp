#include "config/settings_reader.h"

#include <algorithm>
#include <cstring>

#include "config/scramble.h"
#include "config/xml_document.h"
#include "platform/files.h"
#include "platform/queries.h"
#include "platform/strings.h"
#include "text/languages.h"

namespace {

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

std::u16string bracedGuid(const std::string& value) { return u"{" + trimBlanks(utf8ToWide(value)) + u"}"; }

}  // namespace

const char* settingsResultText(int result) {
    switch (result) {
    case kSettingsNoProduct: return "installer has no product";
    case kSettingsNoProductName: return "product has no name";
    case kSettingsNoProductGuid: return "product has no guid";
    case kSettingsNoBootstrapper: return "installer has no bootstrapper";
    case kSettingsNoLanguages: return "bootstrapper has no languages";
    case kSettingsUnknownLanguage: return "languages names an unknown language";
    case kSettingsNoApplicationDir: return "bootstrapper has no application-dir-relative";
    case kSettingsNoStickApplication: return "bootstrapper has no start-application-on-stick";
    case kSettingsNoLinkInstallation: return "bootstrapper has no link-installation-only";
    case kSettingsNoBinDir: return "link-installation-only has no bin-dir";
    case kSettingsNoProgramDir: return "link-installation-only has no program-dir";
    case kSettingsNoInstallDirEntry: return "link-installation-only has no regentry-installdir";
    case kSettingsNoInstallDirSubkey: return "regentry-installdir has no subkey";
    case kSettingsNoInstallDirValueName: return "regentry-installdir has no value-name";
    case kSettingsNoIconEntry: return "link-installation-only has no regentry-icon";
    case kSettingsNoIconSubkey: return "regentry-icon has no subkey";
    case kSettingsNoOpenEntry: return "link-installation-only has no regentry-open";
    case kSettingsNoOpenSubkey: return "regentry-open has no subkey";
    case kSettingsNoMsi: return "installer has no msi";
    case kSettingsNoRuntime64: return "dot-net20-framework resource has no Bit64";
    case kSettingsNoRuntime32: return "dot-net20-framework resource has no Bit32";
    case kSettingsNoRuntimeSourceFile: return "a runtime installer has no source-file";
    case kSettingsNoRuntimeResourceId: return "a runtime installer has no id";
    case kSettingsNoMsiOutput: return "msi has no output";
    case kSettingsNoMsiOutputFile: return "output has no file";
    case kSettingsNoMsiResourceId: return "output has no resource-id";
    case kSettingsNoUpdateUrl: return "update has no url";
    case kSettingsNoUpdateTarget: return "update has no target";
    case kSettingsUnknownPackageLanguage: return "a package names no known language";
    case kSettingsNoMainPackage: return "output has no main-package";
    case kSettingsUnknownMainPackage: return "main-package names an unknown language";
    case kSettingsNoResource: return "no SETTINGS resource";
    default: return "";
    }
}

int readSettingsDocument(RunState& s, std::string_view documentText, bool windows64) {
    XmlDocument doc;
    std::string parseError;
    // A syntax error is not fatal by itself: the partial tree usually lacks a required
    // item further down, which then names the problem by its code.
    const std::string text(documentText);
    (void)doc.parse(text.c_str(), parseError);
    SettingsTree tree(doc);

    // ---- product ----
    const XmlElement* installer = tree.child(&doc.root(), "installer");
    const XmlElement* product = tree.child(installer, "product");
    if (!product) return kSettingsNoProduct;
    tree.readFlag(product, "demo-version", s.demoVersion);
    const XmlElement* name = tree.child(product, "name");
    if (!name) return kSettingsNoProductName;
    s.productName = elementText(*name);
    if (const XmlElement* shortName = tree.child(product, "shortname")) s.productShortName = elementText(*shortName);
    else s.productShortName = s.productName;
    if (const XmlElement* identifier = tree.child(product, "identifier"))
        s.productIdentifier = elementText(*identifier);
    const XmlElement* guid = tree.child(product, "guid");
    if (!guid) return kSettingsNoProductGuid;
    s.productGuid = bracedGuid(guid->text);
    const std::pair<const char*, std::u16string*> editionGuids[] = {
        {"pelaxo5-e-guid", &s.editionGuidE}, {"pelaxo5-h-guid", &s.editionGuidH}, {"pelaxo5-p-guid", &s.editionGuidP}};
    for (const auto& [attributeName, field] : editionGuids) {
        const XmlAttribute* a = tree.attribute(guid, attributeName);
        if (a && !trimBlanks(utf8ToWide(a->value)).empty()) *field = bracedGuid(a->value);
    }

    // ---- bootstrapper ----
    const XmlElement* bootstrapper = tree.child(installer, "bootstrapper");
    if (!bootstrapper) return kSettingsNoBootstrapper;
    tree.readFlag(bootstrapper, "external-msi", s.useExternalMsi);
    tree.readFlag(bootstrapper, "additional-internal-msi", s.additionalInternalMsi);
    tree.readFlag(bootstrapper, "preconfig-setup", s.preconfigSetup);
    tree.readFlag(bootstrapper, "circuit-folder-dialog", s.circuitFolderDialog);
    tree.readFlag(bootstrapper, "kill-rla-client", s.killZirOveriz);
    tree.readFlag(bootstrapper, "pelaxo-togo", s.toGoEdition);
    if (const XmlAttribute* minOs = tree.attribute(bootstrapper, "min-os-version")) {
        const long value = parseDecimalPrefix(minOs->value);
        if (value > 0 && value <= 0x7FFFFFFF) s.minOsVersion = static_cast<int>(value);
    }

    const XmlElement* languages = tree.child(bootstrapper, "languages");
    if (!languages) return kSettingsNoLanguages;
    int languageError = 0;
    tree.forEachChild(languages, "language", [&](const XmlElement& language) {
        if (languageError) return;
        const int index = languageCodeToIndex(language.text);
        if (index < 0) {
            languageError = kSettingsUnknownLanguage;
            return;
        }
        s.languageEnabled[index] = true;
        if (s.languageIndex < 0) s.languageIndex = index;
        tree.readString(&language, "app-parameter", s.appParameter[index]);
        tree.readString(&language, "help-file", s.helpFile[index]);
        tree.readString(&language, "circuit-dir", s.circuitDir[index]);
    });
    if (languageError) return languageError;

    const XmlElement* appDir = tree.child(bootstrapper, "application-dir-relative");
    if (!appDir) return kSettingsNoApplicationDir;
    s.applicationDirRelative = elementText(*appDir);
    const XmlElement* stickApp = tree.child(bootstrapper, "start-application-on-stick");
    if (!stickApp) return kSettingsNoStickApplication;
    s.startApplicationOnStick = elementText(*stickApp);

    const XmlElement* linkOnlyItems = tree.child(bootstrapper, "link-installation-only");
    if (!linkOnlyItems) return kSettingsNoLinkInstallation;
    const XmlElement* binDirElement = tree.child(linkOnlyItems, "bin-dir");
    if (!binDirElement) return kSettingsNoBinDir;
    s.binDir = elementText(*binDirElement);
    const XmlElement* programDirElement = tree.child(linkOnlyItems, "program-dir");
    if (!programDirElement) return kSettingsNoProgramDir;
    s.programDir = elementText(*programDirElement);
    const XmlElement* installDirEntry = tree.child(linkOnlyItems, "regentry-installdir");
    if (!installDirEntry) return kSettingsNoInstallDirEntry;
    if (!tree.requireString(installDirEntry, "subkey", s.installDirRegSubkey)) return kSettingsNoInstallDirSubkey;
    if (!tree.requireString(installDirEntry, "value-name", s.installDirRegValueName))
        return kSettingsNoInstallDirValueName;
    const XmlElement* iconEntry = tree.child(linkOnlyItems, "regentry-icon");
    if (!iconEntry) return kSettingsNoIconEntry;
    if (!tree.requireString(iconEntry, "subkey", s.iconRegSubkey)) return kSettingsNoIconSubkey;
    const XmlElement* openEntry = tree.child(linkOnlyItems, "regentry-open");
    if (!openEntry) return kSettingsNoOpenEntry;
    if (!tree.requireString(openEntry, "subkey", s.openRegSubkey)) return kSettingsNoOpenSubkey;

    // The technology code travels on an optional element of its own.
    if (const XmlAttribute* domain = tree.attribute(tree.child(installer, "technology"), "domain")) {
        s.technologyDomain = domain->value;
    }

    // ---- runtimes ----
    if (const XmlElement* dotNet20 = tree.child(installer, "dot-net20-framework")) {
        s.needsDotNet20 = true;
        if (const XmlElement* resource = tree.child(dotNet20, "resource")) {
            const XmlElement* installerFile = tree.child(resource, windows64 ? "Bit64" : "Bit32");
            if (!installerFile) return windows64 ? kSettingsNoRuntime64 : kSettingsNoRuntime32;
            if (!tree.requireString(installerFile, "source-file", s.dotNet20SourceFile))
                return kSettingsNoRuntimeSourceFile;
            if (!tree.requireString(installerFile, "id", s.dotNet20ResourceId)) return kSettingsNoRuntimeResourceId;
        }
    }
    if (const XmlElement* dotNet40 = tree.child(installer, "dot-net40-client-framework")) {
        s.needsDotNet40Client = true;
        if (const XmlElement* resource = tree.child(dotNet40, "resource")) {
            if (!tree.requireString(resource, "source-file", s.dotNet40SourceFile)) return kSettingsNoRuntimeSourceFile;
            if (!tree.requireString(resource, "id", s.dotNet40ResourceId)) return kSettingsNoRuntimeResourceId;
        }
    }

    // ---- package ----
    const XmlElement* msi = tree.child(installer, "msi");
    if (!msi) return kSettingsNoMsi;
    tree.readFlag(msi, "admin-required", s.adminRequired);
    if (isFlagSet(tree.attribute(msi, "ask-for-videos"))) s.askForVideos = s.installVideos = true;
    tree.readString(msi, "videos-size", s.videosSize);
    tree.readString(msi, "video-cab-file1", s.videoCabFile1);
    tree.readString(msi, "video-cab-file2", s.videoCabFile2);
    if (isFlagSet(tree.attribute(msi, "ask-for-presentations"))) s.askForPresentations = s.installPresentations = true;
    tree.readString(msi, "presentations-size", s.presentationsSize);
    tree.readString(msi, "presentations-cab-file1", s.presentationsCabFile1);
    tree.readFlag(msi, "ask-for-didactic-material-download", s.askForMaterialDownload);
    tree.readString(msi, "didactic-material-cab-files", s.materialCabFiles);
    tree.readString(msi, "didactic-material-url", s.materialUrl);
    tree.readString(msi, "media2-url", s.media2Url);

    const std::pair<const char*, PerLanguage<std::u16string>*> defineTargets[] = {
        {"MainExeDir", &s.mainExeDir},
        {"BIN_DIR_Guid", &s.binDirComponentGuid},
        {"ProdIdRegKey", &s.productRegKey},
        {"ShortcutNamePdf", &s.shortcutNamePdf},
        {"ShortcutTargetPdf", &s.shortcutTargetPdf},
        {"StartMenuDir", &s.startMenuDir},
        {"ShortcutNameApp", &s.shortcutNameApp},
        {"ShortcutNameAppTechSelect", &s.shortcutNameAppTechSelect}};
    int packageError = 0;
    tree.forEachChild(msi, "package", [&](const XmlElement& package) {
        if (packageError) return;
        // A package without a language cannot be placed in any slot: treat it as an
        // unknown language rather than silently dropping its defines.
        const XmlAttribute* code = tree.attribute(&package, "language");
        const int index = code ? languageCodeToIndex(code->value) : -1;
        if (index < 0) {
            packageError = kSettingsUnknownPackageLanguage;
            return;
        }
        s.languagePackaged[index] = true;
        const XmlElement* defines = tree.child(&package, "defines");
        if (!defines) return;
        tree.forEachChild(defines, "define", [&](const XmlElement& define) {
            const XmlAttribute* varName = tree.attribute(&define, "var-name");
            if (!varName) return;
            for (const auto& [defineName, field] : defineTargets) {
                if (varName->value != defineName) continue;
                if (const XmlAttribute* value = tree.attribute(&define, "value")) {
                    (*field)[index] = utf8ToWide(value->value);
                    if (field == &s.binDirComponentGuid) (*field)[index] = u"{" + (*field)[index] + u"}";
                }
                break;
            }
        });
    });
    if (packageError) return packageError;

    const XmlElement* output = tree.child(msi, "output");
    if (!output) return kSettingsNoMsiOutput;
    if (!tree.requireString(output, "file", s.msiFileName)) return kSettingsNoMsiOutputFile;
    if (!tree.requireString(output, "resource-id", s.msiResourceName)) return kSettingsNoMsiResourceId;
    const XmlAttribute* mainPackage = tree.attribute(output, "main-package");
    if (!mainPackage) return kSettingsNoMainPackage;
    s.mainPackageLanguage = languageCodeToIndex(mainPackage->value);
    if (s.mainPackageLanguage < 0) return kSettingsUnknownMainPackage;

    // ---- shell extension and update ----
    if (tree.child(installer, "thumbex")) s.installThumbnailExtension = true;
    if (const XmlElement* update = tree.child(installer, "update")) {
        s.updateConfigured = true;
        if (!tree.requireString(update, "url", s.updateUrl)) return kSettingsNoUpdateUrl;
        if (!tree.requireString(update, "target", s.updateTarget)) return kSettingsNoUpdateTarget;
    }

    return kSettingsOk;
}

namespace {

// Optional content and an external package on the medium are offered only when their
// files are there.
void checkSupportFiles(RunState& s, platform::System& sys) {
    const std::u16string msiFolder = launcherFolder(sys) + u"\\Support\\MSI\\";
    auto switchOffExternalPackage = [&s] {
        s.useExternalMsi = s.askForVideos = s.installVideos = false;
        s.askForPresentations = s.installPresentations = false;
    };

    if (s.useExternalMsi && s.additionalInternalMsi && !fileExists(sys, msiFolder + s.msiFileName)) {
        switchOffExternalPackage();
    }
    if (s.askForVideos) {
        bool present;
        if (s.videoCabFile1.empty()) {
            present = fileExists(sys, msiFolder + u"media2.cab");
        } else {
            present = fileExists(sys, msiFolder + s.videoCabFile1) &&
                      (s.videoCabFile2.empty() || fileExists(sys, msiFolder + s.videoCabFile2));
        }
        if (!present) s.askForVideos = s.installVideos = false;
    }
    if (s.askForPresentations) {
        const std::u16string cab = s.presentationsCabFile1.empty() ? u"media3.cab" : s.presentationsCabFile1;
        if (!fileExists(sys, msiFolder + cab)) s.askForPresentations = s.installPresentations = false;
    }
    // An external package is used only when it is byte for byte the embedded one.
    if (s.useExternalMsi && s.additionalInternalMsi) {
        std::vector<unsigned char> external;
        if (!sys.readWholeFile(msiFolder + s.msiFileName, external)) {
            switchOffExternalPackage();
        } else {
            int error = platform::kResourceOk;
            const std::vector<unsigned char> embedded = loadCustomResource(sys, s.msiResourceName, error, false);
            if (error != platform::kResourceOk) s.additionalInternalMsi = false;
            else if (embedded != external) switchOffExternalPackage();
        }
    }
}

void deriveProductGeneration(RunState& s, platform::System& sys) {
    s.isPelaxo5 = equalsIgnoringAsciiCase(s.startApplicationOnStick, u"Pelaxo5.exe");
    s.isPelaxo4 = !s.isPelaxo5 && s.productShortName.find(u"Pelaxo") != std::u16string::npos;
    if (s.isPelaxo4 && s.technologyDomain == "hyd" && !IsFeatureInstalledLocally(sys, s.productGuid, u"Videos") &&
        !s.useExternalMsi) {
        s.videosAsDownload = s.askForVideos = s.installVideos = true;
    }
}

}  // namespace

int readSettings(RunState& state, platform::System& system) {
    int loadError = platform::kResourceOk;
    const std::vector<unsigned char> raw = loadCustomResource(system, u"SETTINGS", loadError, true);
    if (loadError != platform::kResourceOk || raw.empty()) return kSettingsNoResource;
    // The document ends at the first zero byte or at the end of the resource.
    const auto zero = std::find(raw.begin(), raw.end(), 0);
    const std::string documentText(raw.begin(), zero);

    const int result = readSettingsDocument(state, documentText, isWindows64(system));
    if (result != kSettingsOk) return result;
    checkSupportFiles(state, system);
    deriveProductGeneration(state, system);
    return kSettingsOk;
}
