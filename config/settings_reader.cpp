#include "config/settings_reader.h"

#include <algorithm>
#include <cstring>

#include "config/scramble.h"
#include "config/settings_names.h"
#include "config/xml_document.h"
#include "platform/files.h"
#include "platform/queries.h"
#include "platform/strings.h"
#include "text/languages.h"

namespace {

// Lookups by the names of kSettingsNames against one document; names are interned before
// the lookup.
class SettingsTree {
public:
    explicit SettingsTree(XmlDocument& doc) : doc_(doc) {}

    const XmlElement* child(const XmlElement* parent, SettingsName name) {
        return parent ? parent->findChild(interned(name)) : nullptr;
    }
    const XmlAttribute* attribute(const XmlElement* element, SettingsName name) {
        return element ? element->findAttribute(interned(name)) : nullptr;
    }
    template <typename Visit>
    void forEachChild(const XmlElement* parent, SettingsName name, Visit&& visit) {
        const char* const wanted = interned(name);
        for (const auto& c : parent->children) {
            if (c->name == wanted) visit(*c);
        }
    }

    // A flag is only ever switched on; any value but "true" leaves the field alone.
    void readFlag(const XmlElement* element, SettingsName name, bool& field) {
        if (isFlagSet(attribute(element, name))) field = true;
    }
    // An absent attribute leaves the field unchanged.
    void readString(const XmlElement* element, SettingsName name, std::u16string& field) {
        if (const XmlAttribute* a = attribute(element, name)) field = utf8ToWide(a->value);
    }
    bool requireString(const XmlElement* element, SettingsName name, std::u16string& field) {
        const XmlAttribute* a = attribute(element, name);
        if (!a) return false;
        field = utf8ToWide(a->value);
        return true;
    }

private:
    const char* interned(SettingsName name) { return doc_.intern(settingsLookupName(name)); }

    XmlDocument& doc_;
};

std::u16string elementText(const XmlElement& element) { return utf8ToWide(element.text); }

std::u16string bracedGuid(const std::string& value) { return u"{" + trimBlanks(utf8ToWide(value)) + u"}"; }

using Name = SettingsName;

// The product's names and GUIDs.
int readProduct(SettingsTree& tree, ProductSettings& s, const XmlElement* installer) {
    const XmlElement* product = tree.child(installer, Name::Product);
    if (!product) return kSettingsNoProduct;
    tree.readFlag(product, Name::ProductDemoVersion, s.demoVersion);
    const XmlElement* name = tree.child(product, Name::ProductName);
    if (!name) return kSettingsNoProductName;
    s.productName = elementText(*name);
    if (const XmlElement* shortName = tree.child(product, Name::ProductShortName))
        s.productShortName = elementText(*shortName);
    else s.productShortName = s.productName;
    if (const XmlElement* identifier = tree.child(product, Name::ProductIdentifier))
        s.productIdentifier = elementText(*identifier);
    const XmlElement* guid = tree.child(product, Name::ProductGuid);
    if (!guid) return kSettingsNoProductGuid;
    s.productGuid = bracedGuid(guid->text);
    const std::pair<Name, std::u16string*> editionGuids[] = {{Name::GuidEditionE, &s.editionGuidE},
                                                             {Name::GuidEditionH, &s.editionGuidH},
                                                             {Name::GuidEditionP, &s.editionGuidP}};
    for (const auto& [attributeName, field] : editionGuids) {
        const XmlAttribute* a = tree.attribute(guid, attributeName);
        if (a && !trimBlanks(utf8ToWide(a->value)).empty()) *field = bracedGuid(a->value);
    }
    return kSettingsOk;
}

// What a client installation needs: the folders and registry entries of the one it links to.
int readLinkInstallation(SettingsTree& tree, ProductSettings& s, const XmlElement* bootstrapper) {
    const XmlElement* linkOnlyItems = tree.child(bootstrapper, Name::LinkInstallationOnly);
    if (!linkOnlyItems) return kSettingsNoLinkInstallation;
    const XmlElement* binDirElement = tree.child(linkOnlyItems, Name::BinDir);
    if (!binDirElement) return kSettingsNoBinDir;
    s.binDir = elementText(*binDirElement);
    const XmlElement* programDirElement = tree.child(linkOnlyItems, Name::ProgramDir);
    if (!programDirElement) return kSettingsNoProgramDir;
    s.programDir = elementText(*programDirElement);
    const XmlElement* installDirEntry = tree.child(linkOnlyItems, Name::InstallDirEntry);
    if (!installDirEntry) return kSettingsNoInstallDirEntry;
    if (!tree.requireString(installDirEntry, Name::InstallDirSubkey, s.installDirRegSubkey))
        return kSettingsNoInstallDirSubkey;
    if (!tree.requireString(installDirEntry, Name::InstallDirValueName, s.installDirRegValueName))
        return kSettingsNoInstallDirValueName;
    const XmlElement* iconEntry = tree.child(linkOnlyItems, Name::IconEntry);
    if (!iconEntry) return kSettingsNoIconEntry;
    if (!tree.requireString(iconEntry, Name::IconSubkey, s.iconRegSubkey)) return kSettingsNoIconSubkey;
    const XmlElement* openEntry = tree.child(linkOnlyItems, Name::OpenEntry);
    if (!openEntry) return kSettingsNoOpenEntry;
    if (!tree.requireString(openEntry, Name::OpenSubkey, s.openRegSubkey)) return kSettingsNoOpenSubkey;
    return kSettingsOk;
}

// The launcher's own switches, the languages, the program on the medium, the client installation.
int readBootstrapper(SettingsTree& tree, ProductSettings& s, const XmlElement* installer) {
    const XmlElement* bootstrapper = tree.child(installer, Name::Bootstrapper);
    if (!bootstrapper) return kSettingsNoBootstrapper;
    tree.readFlag(bootstrapper, Name::ExternalMsi, s.useExternalMsi);
    tree.readFlag(bootstrapper, Name::AdditionalInternalMsi, s.additionalInternalMsi);
    tree.readFlag(bootstrapper, Name::PreconfigSetup, s.preconfigSetup);
    tree.readFlag(bootstrapper, Name::CircuitFolderDialog, s.circuitFolderDialog);
    tree.readFlag(bootstrapper, Name::KillRlaClient, s.killZirOveriz);
    tree.readFlag(bootstrapper, Name::ToGoEdition, s.toGoEdition);
    if (const XmlAttribute* minOs = tree.attribute(bootstrapper, Name::MinOsVersion)) {
        const long value = parseDecimalPrefix(minOs->value);
        if (value > 0 && value <= 0x7FFFFFFF) s.minOsVersion = static_cast<int>(value);
    }

    const XmlElement* languages = tree.child(bootstrapper, Name::Languages);
    if (!languages) return kSettingsNoLanguages;
    int languageError = 0;
    tree.forEachChild(languages, Name::Language, [&](const XmlElement& language) {
        if (languageError) return;
        const int index = languageCodeToIndex(language.text);
        if (index < 0) {
            languageError = kSettingsUnknownLanguage;
            return;
        }
        s.languageEnabled[index] = true;
        if (s.firstLanguage < 0) s.firstLanguage = index;
        tree.readString(&language, Name::LanguageAppParameter, s.appParameter[index]);
        tree.readString(&language, Name::LanguageHelpFile, s.helpFile[index]);
        tree.readString(&language, Name::LanguageCircuitDir, s.circuitDir[index]);
    });
    if (languageError) return languageError;

    const XmlElement* appDir = tree.child(bootstrapper, Name::ApplicationDirRelative);
    if (!appDir) return kSettingsNoApplicationDir;
    s.applicationDirRelative = elementText(*appDir);
    const XmlElement* stickApp = tree.child(bootstrapper, Name::StartApplicationOnStick);
    if (!stickApp) return kSettingsNoStickApplication;
    s.startApplicationOnStick = elementText(*stickApp);

    return readLinkInstallation(tree, s, bootstrapper);
}

// The runtimes the product needs; windows64 picks the installer of the machine's width.
int readRuntimes(SettingsTree& tree, ProductSettings& s, const XmlElement* installer, bool windows64) {
    if (const XmlElement* dotNet20 = tree.child(installer, Name::DotNet20)) {
        s.needsDotNet20 = true;
        if (const XmlElement* resource = tree.child(dotNet20, Name::DotNet20Resource)) {
            // The machine's width picks the installer element and so its attributes.
            const Name file = windows64 ? Name::DotNet20Bit64 : Name::DotNet20Bit32;
            const Name sourceFile = windows64 ? Name::DotNet20Bit64SourceFile : Name::DotNet20Bit32SourceFile;
            const Name id = windows64 ? Name::DotNet20Bit64Id : Name::DotNet20Bit32Id;
            const XmlElement* installerFile = tree.child(resource, file);
            if (!installerFile) return windows64 ? kSettingsNoRuntime64 : kSettingsNoRuntime32;
            if (!tree.requireString(installerFile, sourceFile, s.dotNet20SourceFile))
                return kSettingsNoRuntimeSourceFile;
            if (!tree.requireString(installerFile, id, s.dotNet20ResourceId)) return kSettingsNoRuntimeResourceId;
        }
    }
    if (const XmlElement* dotNet40 = tree.child(installer, Name::DotNet40)) {
        s.needsDotNet40Client = true;
        if (const XmlElement* resource = tree.child(dotNet40, Name::DotNet40Resource)) {
            if (!tree.requireString(resource, Name::DotNet40SourceFile, s.dotNet40SourceFile))
                return kSettingsNoRuntimeSourceFile;
            if (!tree.requireString(resource, Name::DotNet40Id, s.dotNet40ResourceId))
                return kSettingsNoRuntimeResourceId;
        }
    }
    return kSettingsOk;
}

// The package, its optional content, its per-language defines and its output.
int readPackage(SettingsTree& tree, ProductSettings& s, const XmlElement* installer) {
    const XmlElement* msi = tree.child(installer, Name::Msi);
    if (!msi) return kSettingsNoMsi;
    tree.readFlag(msi, Name::AdminRequired, s.adminRequired);
    if (isFlagSet(tree.attribute(msi, Name::AskForVideos))) s.askForVideos = true;
    tree.readString(msi, Name::VideosSize, s.videosSize);
    tree.readString(msi, Name::VideoCabFile1, s.videoCabFile1);
    tree.readString(msi, Name::VideoCabFile2, s.videoCabFile2);
    if (isFlagSet(tree.attribute(msi, Name::AskForPresentations))) s.askForPresentations = true;
    tree.readString(msi, Name::PresentationsSize, s.presentationsSize);
    tree.readString(msi, Name::PresentationsCabFile1, s.presentationsCabFile1);
    tree.readFlag(msi, Name::AskForMaterialDownload, s.askForMaterialDownload);
    tree.readString(msi, Name::MaterialCabFiles, s.materialCabFiles);
    tree.readString(msi, Name::MaterialUrl, s.materialUrl);
    tree.readString(msi, Name::Media2Url, s.media2Url);

    int packageError = 0;
    tree.forEachChild(msi, Name::Package, [&](const XmlElement& package) {
        if (packageError) return;
        // A package without a language cannot be placed in any slot: treat it as an
        // unknown language rather than silently dropping its defines.
        const XmlAttribute* code = tree.attribute(&package, Name::PackageLanguage);
        const int index = code ? languageCodeToIndex(code->value) : -1;
        if (index < 0) {
            packageError = kSettingsUnknownPackageLanguage;
            return;
        }
        s.languagePackaged[index] = true;
        const XmlElement* defines = tree.child(&package, Name::Defines);
        if (!defines) return;
        tree.forEachChild(defines, Name::Define, [&](const XmlElement& define) {
            const XmlAttribute* varName = tree.attribute(&define, Name::DefineVarName);
            if (!varName) return;
            for (const SettingsDefine& target : kSettingsDefines) {
                if (varName->value != target.varName) continue;
                if (const XmlAttribute* value = tree.attribute(&define, Name::DefineValue)) {
                    std::u16string& field = (s.*target.field)[index];
                    field = utf8ToWide(value->value);
                    if (target.field == &ProductSettings::binDirComponentGuid) field = u"{" + field + u"}";
                }
                break;
            }
        });
    });
    if (packageError) return packageError;

    const XmlElement* output = tree.child(msi, Name::Output);
    if (!output) return kSettingsNoMsiOutput;
    if (!tree.requireString(output, Name::OutputFile, s.msiFileName)) return kSettingsNoMsiOutputFile;
    if (!tree.requireString(output, Name::OutputResourceId, s.msiResourceName)) return kSettingsNoMsiResourceId;
    const XmlAttribute* mainPackage = tree.attribute(output, Name::OutputMainPackage);
    if (!mainPackage) return kSettingsNoMainPackage;
    s.mainPackageLanguage = languageCodeToIndex(mainPackage->value);
    if (s.mainPackageLanguage < 0) return kSettingsUnknownMainPackage;
    return kSettingsOk;
}

// The technology code travels on an optional element of its own.
void readTechnology(SettingsTree& tree, ProductSettings& s, const XmlElement* installer) {
    if (const XmlAttribute* domain = tree.attribute(tree.child(installer, Name::Technology), Name::TechnologyDomain)) {
        s.technologyDomain = domain->value;
    }
}

// The shell extension and the update search.
int readExtras(SettingsTree& tree, ProductSettings& s, const XmlElement* installer) {
    if (tree.child(installer, Name::Thumbex)) s.installThumbnailExtension = true;
    if (const XmlElement* update = tree.child(installer, Name::Update)) {
        s.updateConfigured = true;
        if (!tree.requireString(update, Name::UpdateUrl, s.updateUrl)) return kSettingsNoUpdateUrl;
        if (!tree.requireString(update, Name::UpdateTarget, s.updateTarget)) return kSettingsNoUpdateTarget;
    }
    return kSettingsOk;
}

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

int readSettingsDocument(ProductSettings& s, std::string_view documentText, bool windows64) {
    XmlDocument doc;
    std::string parseError;
    // A syntax error is not fatal by itself: the partial tree usually lacks a required
    // item further down, which then names the problem by its code.
    const std::string text(documentText);
    (void)doc.parse(text.c_str(), parseError);
    SettingsTree tree(doc);

    const XmlElement* installer = tree.child(&doc.root(), Name::Installer);
    if (const int result = readProduct(tree, s, installer)) return result;
    if (const int result = readBootstrapper(tree, s, installer)) return result;
    readTechnology(tree, s, installer);
    if (const int result = readRuntimes(tree, s, installer, windows64)) return result;
    if (const int result = readPackage(tree, s, installer)) return result;
    return readExtras(tree, s, installer);
}

namespace {

// Optional content and an external package on the medium are offered only when their
// files are there.
void checkSupportFiles(const ProductSettings& product, Offer& offer, platform::System& sys) {
    const std::u16string msiFolder = launcherFolder(sys) + u"\\Support\\MSI\\";
    auto switchOffExternalPackage = [&offer] {
        offer.useExternalMsi = offer.askForVideos = false;
        offer.askForPresentations = false;
    };

    if (offer.useExternalMsi && offer.additionalInternalMsi && !fileExists(sys, msiFolder + product.msiFileName)) {
        switchOffExternalPackage();
    }
    if (offer.askForVideos) {
        bool present;
        if (product.videoCabFile1.empty()) {
            present = fileExists(sys, msiFolder + u"media2.cab");
        } else {
            present = fileExists(sys, msiFolder + product.videoCabFile1) &&
                      (product.videoCabFile2.empty() || fileExists(sys, msiFolder + product.videoCabFile2));
        }
        if (!present) offer.askForVideos = false;
    }
    if (offer.askForPresentations) {
        const std::u16string cab =
            product.presentationsCabFile1.empty() ? u"media3.cab" : product.presentationsCabFile1;
        if (!fileExists(sys, msiFolder + cab)) offer.askForPresentations = false;
    }
    // An external package is used only when it is byte for byte the embedded one.
    if (offer.useExternalMsi && offer.additionalInternalMsi) {
        std::vector<unsigned char> external;
        if (!sys.readWholeFile(msiFolder + product.msiFileName, external)) {
            switchOffExternalPackage();
        } else {
            int error = platform::kResourceOk;
            const std::vector<unsigned char> embedded = loadCustomResource(sys, product.msiResourceName, error, false);
            if (error != platform::kResourceOk) offer.additionalInternalMsi = false;
            else if (embedded != external) switchOffExternalPackage();
        }
    }
}

void deriveProductGeneration(const ProductSettings& product, Offer& offer, platform::System& sys) {
    offer.isPelaxo5 = equalsIgnoringAsciiCase(product.startApplicationOnStick, u"Pelaxo5.exe");
    offer.isPelaxo4 = !offer.isPelaxo5 && product.productShortName.find(u"Pelaxo") != std::u16string::npos;
    if (offer.isPelaxo4 && product.technologyDomain == "hyd" &&
        !IsFeatureInstalledLocally(sys, product.productGuid, u"Videos") && !offer.useExternalMsi) {
        offer.videosAsDownload = offer.askForVideos = true;
    }
}

}  // namespace

int readSettingsResource(ProductSettings& state, const std::vector<unsigned char>& resource, bool windows64) {
    if (resource.empty()) return kSettingsNoResource;
    // The document ends at the first zero byte or at the end of the resource.
    const auto zero = std::find(resource.begin(), resource.end(), 0);
    return readSettingsDocument(state, std::string(resource.begin(), zero), windows64);
}

int readSettings(ProductSettings& product, Offer& offer, Choices& choices, platform::System& system) {
    int loadError = platform::kResourceOk;
    const std::vector<unsigned char> raw = loadCustomResource(system, u"SETTINGS", loadError, true);
    // An empty resource is refused before the machine is asked anything.
    if (loadError != platform::kResourceOk || raw.empty()) return kSettingsNoResource;
    const int result = readSettingsResource(product, raw, isWindows64(system));
    if (result != kSettingsOk) return result;
    offer.useExternalMsi = product.useExternalMsi;
    offer.additionalInternalMsi = product.additionalInternalMsi;
    offer.askForVideos = product.askForVideos;
    offer.askForPresentations = product.askForPresentations;
    checkSupportFiles(product, offer, system);
    deriveProductGeneration(product, offer, system);
    // Optional content on offer is installed unless the user says otherwise.
    choices.installVideos = offer.askForVideos;
    choices.installPresentations = offer.askForPresentations;
    choices.languageIndex = product.firstLanguage;
    return kSettingsOk;
}
