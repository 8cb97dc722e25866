// Every element and attribute name the settings reader takes, in one table. The reader
// looks names up only through it, so a name it takes is a name listed here, and the unit
// tests hold docs/settings.md, the vendors' description of the document, to this list.
#pragma once

#include <cstddef>
#include <string>

#include "config/product_settings.h"

// One value per row of kSettingsNames, in the same order.
enum class SettingsName : int {
    Installer,
    Product,
    ProductDemoVersion,
    ProductName,
    ProductShortName,
    ProductIdentifier,
    ProductGuid,
    GuidEditionE,
    GuidEditionH,
    GuidEditionP,
    Bootstrapper,
    ExternalMsi,
    AdditionalInternalMsi,
    PreconfigSetup,
    CircuitFolderDialog,
    KillRlaClient,
    ToGoEdition,
    MinOsVersion,
    Languages,
    Language,
    LanguageAppParameter,
    LanguageHelpFile,
    LanguageCircuitDir,
    ApplicationDirRelative,
    StartApplicationOnStick,
    LinkInstallationOnly,
    BinDir,
    ProgramDir,
    InstallDirEntry,
    InstallDirSubkey,
    InstallDirValueName,
    IconEntry,
    IconSubkey,
    OpenEntry,
    OpenSubkey,
    Technology,
    TechnologyDomain,
    DotNet20,
    DotNet20Resource,
    DotNet20Bit64,
    DotNet20Bit64SourceFile,
    DotNet20Bit64Id,
    DotNet20Bit32,
    DotNet20Bit32SourceFile,
    DotNet20Bit32Id,
    DotNet40,
    DotNet40Resource,
    DotNet40SourceFile,
    DotNet40Id,
    Msi,
    AdminRequired,
    AskForVideos,
    VideosSize,
    VideoCabFile1,
    VideoCabFile2,
    AskForPresentations,
    PresentationsSize,
    PresentationsCabFile1,
    AskForMaterialDownload,
    MaterialCabFiles,
    MaterialUrl,
    Media2Url,
    Package,
    PackageLanguage,
    Defines,
    Define,
    DefineVarName,
    DefineValue,
    Output,
    OutputFile,
    OutputResourceId,
    OutputMainPackage,
    Thumbex,
    Update,
    UpdateUrl,
    UpdateTarget,
    Count
};

struct SettingsNameEntry {
    SettingsName id;
    const char* element;    // the element's path from the document's top, "installer/msi/output"
    const char* attribute;  // nullptr for the element itself
};

inline constexpr SettingsNameEntry kSettingsNames[] = {
    {SettingsName::Installer, "installer", nullptr},
    {SettingsName::Product, "installer/product", nullptr},
    {SettingsName::ProductDemoVersion, "installer/product", "demo-version"},
    {SettingsName::ProductName, "installer/product/name", nullptr},
    {SettingsName::ProductShortName, "installer/product/shortname", nullptr},
    {SettingsName::ProductIdentifier, "installer/product/identifier", nullptr},
    {SettingsName::ProductGuid, "installer/product/guid", nullptr},
    {SettingsName::GuidEditionE, "installer/product/guid", "pelaxo5-e-guid"},
    {SettingsName::GuidEditionH, "installer/product/guid", "pelaxo5-h-guid"},
    {SettingsName::GuidEditionP, "installer/product/guid", "pelaxo5-p-guid"},
    {SettingsName::Bootstrapper, "installer/bootstrapper", nullptr},
    {SettingsName::ExternalMsi, "installer/bootstrapper", "external-msi"},
    {SettingsName::AdditionalInternalMsi, "installer/bootstrapper", "additional-internal-msi"},
    {SettingsName::PreconfigSetup, "installer/bootstrapper", "preconfig-setup"},
    {SettingsName::CircuitFolderDialog, "installer/bootstrapper", "circuit-folder-dialog"},
    {SettingsName::KillRlaClient, "installer/bootstrapper", "kill-rla-client"},
    {SettingsName::ToGoEdition, "installer/bootstrapper", "pelaxo-togo"},
    {SettingsName::MinOsVersion, "installer/bootstrapper", "min-os-version"},
    {SettingsName::Languages, "installer/bootstrapper/languages", nullptr},
    {SettingsName::Language, "installer/bootstrapper/languages/language", nullptr},
    {SettingsName::LanguageAppParameter, "installer/bootstrapper/languages/language", "app-parameter"},
    {SettingsName::LanguageHelpFile, "installer/bootstrapper/languages/language", "help-file"},
    {SettingsName::LanguageCircuitDir, "installer/bootstrapper/languages/language", "circuit-dir"},
    {SettingsName::ApplicationDirRelative, "installer/bootstrapper/application-dir-relative", nullptr},
    {SettingsName::StartApplicationOnStick, "installer/bootstrapper/start-application-on-stick", nullptr},
    {SettingsName::LinkInstallationOnly, "installer/bootstrapper/link-installation-only", nullptr},
    {SettingsName::BinDir, "installer/bootstrapper/link-installation-only/bin-dir", nullptr},
    {SettingsName::ProgramDir, "installer/bootstrapper/link-installation-only/program-dir", nullptr},
    {SettingsName::InstallDirEntry, "installer/bootstrapper/link-installation-only/regentry-installdir", nullptr},
    {SettingsName::InstallDirSubkey, "installer/bootstrapper/link-installation-only/regentry-installdir", "subkey"},
    {SettingsName::InstallDirValueName, "installer/bootstrapper/link-installation-only/regentry-installdir",
     "value-name"},
    {SettingsName::IconEntry, "installer/bootstrapper/link-installation-only/regentry-icon", nullptr},
    {SettingsName::IconSubkey, "installer/bootstrapper/link-installation-only/regentry-icon", "subkey"},
    {SettingsName::OpenEntry, "installer/bootstrapper/link-installation-only/regentry-open", nullptr},
    {SettingsName::OpenSubkey, "installer/bootstrapper/link-installation-only/regentry-open", "subkey"},
    {SettingsName::Technology, "installer/technology", nullptr},
    {SettingsName::TechnologyDomain, "installer/technology", "domain"},
    {SettingsName::DotNet20, "installer/dot-net20-framework", nullptr},
    {SettingsName::DotNet20Resource, "installer/dot-net20-framework/resource", nullptr},
    {SettingsName::DotNet20Bit64, "installer/dot-net20-framework/resource/Bit64", nullptr},
    {SettingsName::DotNet20Bit64SourceFile, "installer/dot-net20-framework/resource/Bit64", "source-file"},
    {SettingsName::DotNet20Bit64Id, "installer/dot-net20-framework/resource/Bit64", "id"},
    {SettingsName::DotNet20Bit32, "installer/dot-net20-framework/resource/Bit32", nullptr},
    {SettingsName::DotNet20Bit32SourceFile, "installer/dot-net20-framework/resource/Bit32", "source-file"},
    {SettingsName::DotNet20Bit32Id, "installer/dot-net20-framework/resource/Bit32", "id"},
    {SettingsName::DotNet40, "installer/dot-net40-client-framework", nullptr},
    {SettingsName::DotNet40Resource, "installer/dot-net40-client-framework/resource", nullptr},
    {SettingsName::DotNet40SourceFile, "installer/dot-net40-client-framework/resource", "source-file"},
    {SettingsName::DotNet40Id, "installer/dot-net40-client-framework/resource", "id"},
    {SettingsName::Msi, "installer/msi", nullptr},
    {SettingsName::AdminRequired, "installer/msi", "admin-required"},
    {SettingsName::AskForVideos, "installer/msi", "ask-for-videos"},
    {SettingsName::VideosSize, "installer/msi", "videos-size"},
    {SettingsName::VideoCabFile1, "installer/msi", "video-cab-file1"},
    {SettingsName::VideoCabFile2, "installer/msi", "video-cab-file2"},
    {SettingsName::AskForPresentations, "installer/msi", "ask-for-presentations"},
    {SettingsName::PresentationsSize, "installer/msi", "presentations-size"},
    {SettingsName::PresentationsCabFile1, "installer/msi", "presentations-cab-file1"},
    {SettingsName::AskForMaterialDownload, "installer/msi", "ask-for-didactic-material-download"},
    {SettingsName::MaterialCabFiles, "installer/msi", "didactic-material-cab-files"},
    {SettingsName::MaterialUrl, "installer/msi", "didactic-material-url"},
    {SettingsName::Media2Url, "installer/msi", "media2-url"},
    {SettingsName::Package, "installer/msi/package", nullptr},
    {SettingsName::PackageLanguage, "installer/msi/package", "language"},
    {SettingsName::Defines, "installer/msi/package/defines", nullptr},
    {SettingsName::Define, "installer/msi/package/defines/define", nullptr},
    {SettingsName::DefineVarName, "installer/msi/package/defines/define", "var-name"},
    {SettingsName::DefineValue, "installer/msi/package/defines/define", "value"},
    {SettingsName::Output, "installer/msi/output", nullptr},
    {SettingsName::OutputFile, "installer/msi/output", "file"},
    {SettingsName::OutputResourceId, "installer/msi/output", "resource-id"},
    {SettingsName::OutputMainPackage, "installer/msi/output", "main-package"},
    {SettingsName::Thumbex, "installer/thumbex", nullptr},
    {SettingsName::Update, "installer/update", nullptr},
    {SettingsName::UpdateUrl, "installer/update", "url"},
    {SettingsName::UpdateTarget, "installer/update", "target"},
};

// The var-name values of a package's <define> elements and the per-language field each
// one sets; a define of any other name is passed over.
struct SettingsDefine {
    const char* varName;
    PerLanguage<std::u16string> ProductSettings::*field;
};

inline constexpr SettingsDefine kSettingsDefines[] = {
    {"MainExeDir", &ProductSettings::mainExeDir},
    {"BIN_DIR_Guid", &ProductSettings::binDirComponentGuid},
    {"ProdIdRegKey", &ProductSettings::productRegKey},
    {"ShortcutNamePdf", &ProductSettings::shortcutNamePdf},
    {"ShortcutTargetPdf", &ProductSettings::shortcutTargetPdf},
    {"StartMenuDir", &ProductSettings::startMenuDir},
    {"ShortcutNameApp", &ProductSettings::shortcutNameApp},
    {"ShortcutNameAppTechSelect", &ProductSettings::shortcutNameAppTechSelect},
};

namespace settings_names_detail {
// Each row sits at its own value's place, and every value has a row.
constexpr bool rowsMatchValues() {
    constexpr std::size_t count = sizeof kSettingsNames / sizeof kSettingsNames[0];
    if (count != static_cast<std::size_t>(SettingsName::Count)) return false;
    for (std::size_t i = 0; i < count; ++i) {
        if (static_cast<std::size_t>(kSettingsNames[i].id) != i) return false;
    }
    return true;
}
}  // namespace settings_names_detail
static_assert(settings_names_detail::rowsMatchValues(), "kSettingsNames must list every SettingsName in order");

// What the reader looks up for a name: the attribute's name, or the element path's last step.
inline const char* settingsLookupName(SettingsName name) {
    const SettingsNameEntry& entry = kSettingsNames[static_cast<int>(name)];
    if (entry.attribute) return entry.attribute;
    const char* step = entry.element;
    for (const char* c = entry.element; *c; ++c) {
        if (*c == '/') step = c + 1;
    }
    return step;
}
