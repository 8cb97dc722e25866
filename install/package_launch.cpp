#include "install/package_launch.h"

#include "install/circuit_folder_value.h"
#include "install/msi_properties.h"
#include "install/prerequisites.h"
#include "platform/files.h"
#include "platform/processes.h"
#include "platform/queries.h"

namespace {

constexpr const char16_t* kCultures[] = {u"de-de", u"en-us", u"es-es", u"fr-fr", u"it-it", u"cs-cz"};

std::u16string quoted(const std::u16string& text) { return u"\"" + text + u"\""; }

// The interface language if a package for it exists, else the main package's.
int packageLanguage(const RunContext& app) {
    const int language = app.choices.languageIndex;
    return language >= 0 && language < kLanguageCount && app.product.languagePackaged[language]
               ? language
               : app.product.mainPackageLanguage;
}

void setLanguageProperties(RunContext& app) {
    const int language = packageLanguage(app);
    if (language < 0 || language >= kLanguageCount) return;
    SetMsiProperty(app.choices, "LANGUAGE", quoted(app.product.appParameter[language]));
    if (language != app.product.mainPackageLanguage)
        SetMsiProperty(app.choices, "TRANSFORMS", u"\":" + std::u16string(kCultures[language]) + u".mst\"");
}

void setCommonProperties(RunContext& app) {
    SetMsiProperty(app.choices, "SETUPDIR", quoted(app.system().launcherPath()));
    if (!app.choices.allUsers) SetMsiProperty(app.choices, "ALLUSERS", u"\"\"");
    if (!app.choices.useStandardCircuitFolder) SetMsiProperty(app.choices, "CTDIR", quoted(app.choices.circuitFolder));
}

// The earlier generation's folders go to the new installation, under the key its
// programs read.
// The launch's UI option becomes "/qr " when none was asked for.
void carryOverLegacyInstallation(RunContext& app, std::u16string& uiOption) {
    platform::System& system = app.system();
    const std::u16string& key = app.product.productRegKey[app.choices.languageIndex];
    auto write = [&](const char16_t* name, const std::u16string& value) {
        if (!value.empty()) system.regWriteString32(platform::RegRoot::LocalMachine, key, name, &value);
    };
    if (!app.offer.legacyExeDir.empty()) {
        const std::size_t slash = app.offer.legacyExeDir.rfind(u'\\');
        app.choices.installDir =
            system.longPathName(app.offer.legacyExeDir.substr(0, slash == std::u16string::npos ? 0 : slash));
        write(u"EXE_DIR", app.offer.legacyExeDir);
    }
    write(u"INST_DIR_LFN", app.offer.legacyInstDirLfn);
    write(u"INST_NDIR_LFN", app.offer.legacyInstNdirLfn);
    write(u"INST_NDIR", app.offer.legacyInstNdir);
    write(u"INST_DIR", app.offer.legacyInstDir);
    if (uiOption.empty()) uiOption = u"/qr ";
    app.choices.allUsers = app.offer.legacyAllUsers && system.isAdministrator();
    if (!app.offer.legacyCircuitDir.empty()) {
        app.choices.circuitFolder = app.offer.legacyCircuitDir;
        app.choices.useStandardCircuitFolder = false;
    }
}

// The in-place update of an older installed version, before features are added to it.
std::uint32_t updateInPlace(RunContext& app, const std::u16string& packagePath) {
    std::u16string arguments = u"/i \"" + packagePath + u"\" /qb ";
    const int language = packageLanguage(app);
    if (language >= 0 && language < kLanguageCount) {
        arguments += u"LANGUAGE=\"" + app.product.appParameter[language] + u"\" ";
        if (language != app.product.mainPackageLanguage)
            arguments += u"TRANSFORMS=\":" + std::u16string(kCultures[language]) + u".mst\" ";
    }
    arguments += u"REINSTALL=ALL NOVIDEOS=1 NOPRESENTATIONS=1 " + BuildPropertyString(app.choices);
    return runInstaller(app, arguments);
}

void setInstalledProductProperties(RunContext& app) {
    SetMsiProperty(app.choices, "REINSTALLMODE", u"vamus");
    const bool material = app.product.askForMaterialDownload && app.record.materialDownloaded;
    if (app.choices.installVideos && app.choices.installPresentations)
        SetMsiProperty(app.choices, "ADDLOCAL", u"Videos,Presentations");
    else if (material) SetMsiProperty(app.choices, "ADDLOCAL", u"Videos,Presentations");
    else if (app.choices.installVideos) SetMsiProperty(app.choices, "ADDLOCAL", u"Videos");
    else if (app.choices.installPresentations) SetMsiProperty(app.choices, "ADDLOCAL", u"Presentations");
    else {
        SetMsiProperty(app.choices, "NOVIDEOS", u"1");
        SetMsiProperty(app.choices, "NOPRESENTATIONS", u"1");
    }
}

void setNewInstallationProperties(RunContext& app) {
    if (app.choices.useStandardCircuitFolder && (app.offer.isPelaxo5 || app.offer.isPelaxo4))
        deleteCircuitFolderValue(app);
    if (!app.choices.useStandardCircuitFolder && app.offer.isPelaxo4)
        app.system().regWriteString(platform::RegRoot::CurrentUser, app.product.installDirRegSubkey, u"CT_DIR",
                                    &app.choices.circuitFolder);
    if (!app.choices.installDir.empty()) SetMsiProperty(app.choices, "INSTALLDIR", quoted(app.choices.installDir));
    SetMsiProperty(app.choices, "REINSTALLMODE", u"amus");
    if (!(app.product.askForMaterialDownload && app.record.materialDownloaded)) {
        if (!app.choices.installVideos) SetMsiProperty(app.choices, "NOVIDEOS", u"1");
        if (!app.choices.installPresentations) SetMsiProperty(app.choices, "NOPRESENTATIONS", u"1");
    }
}

// Only what this run put into the temporary folder goes, each by its full path.
void removeTemporaryFiles(RunContext& app, const std::u16string& packagePath, bool extracted) {
    platform::System& system = app.system();
    auto remove = [&system](const std::u16string& path) {
        system.logLine((system.deleteFile(path) ? u"clean-up: deleted " : u"clean-up: could not delete ") + path);
    };
    if (extracted) remove(packagePath);
    const std::u16string temporary = longPathForm(system.tempFolder()) + u"\\";
    if (app.record.videosDownloaded) remove(temporary + u"media2.cab");
    if (app.record.materialDownloaded) {
        for (const std::u16string& name : splitWords(app.product.materialCabFiles)) remove(temporary + name);
    }
}

}  // namespace

bool installerSucceeded(std::uint32_t exitCode) { return exitCode == 0 || exitCode == 3010 || exitCode == 1641; }

std::uint32_t runInstaller(RunContext& app, const std::u16string& arguments) {
    // Never the search path: a planted msiexec.exe beside a setup on a share would run with
    // the rights the user gave the setup.
    const std::u16string commandLine = systemTool(app.system(), u"msiexec.exe") + u" " + arguments;
    std::uint32_t exitCode = 0;
    return app.system().runAndWait(commandLine, exitCode) ? exitCode : kInstallerNotStarted;
}

std::uint32_t RemovePreviousVersion(RunContext& app, const std::u16string& uiOption) {
    if (!IsProductInstalled(app.system(), app.product.productGuid)) return 0;
    return runInstaller(app, uiOption + u"/x " + app.product.productGuid);
}

int LaunchPackage(RunContext& app, std::uint32_t& exitCode) {
    exitCode = 0;
    if (app.product.killZirOveriz) killProcess(app.system(), u"ZIROveriz.exe");
    if (app.product.toGoEdition) return LaunchTechnologyPackages(app, exitCode);

    // The removal shows its progress at least; the installation keeps what was asked for.
    if (app.choices.removeFirst)
        RemovePreviousVersion(app, app.choices.msiUiOption.empty() ? u"/qb " : app.choices.msiUiOption);
    std::u16string uiOption = app.choices.msiUiOption;
    if (app.offer.legacyUpgrade) carryOverLegacyInstallation(app, uiOption);

    std::u16string packagePath;
    if (PreparePackage(app, packagePath) == -1) return -1;
    const bool extracted = !app.offer.useExternalMsi;

    setCommonProperties(app);
    int result = 0;
    if (IsProductInstalled(app.system(), app.product.productGuid)) {
        const bool addsFeatures =
            app.choices.installVideos || app.choices.installPresentations || app.record.materialDownloaded;
        if (!addsFeatures) {
            SetMsiProperty(app.choices, "REINSTALLMODE", u"vamus");
            SetMsiProperty(app.choices, "REINSTALL", u"ALL");
        } else {
            const int language = app.choices.languageIndex >= 0 ? app.choices.languageIndex : 0;
            if (!IsInstalledVersionCurrent(app.system(), app.product.productGuid,
                                           app.product.binDirComponentGuid[language])) {
                const std::uint32_t updated = updateInPlace(app, packagePath);
                if (!installerSucceeded(updated)) {
                    exitCode = updated;
                    result = -1;
                }
            }
            if (result == 0) setInstalledProductProperties(app);
        }
    } else {
        setNewInstallationProperties(app);
    }
    if (result == 0) {
        setLanguageProperties(app);
        exitCode =
            runInstaller(app, u"/i \"" + packagePath + u"\"" + uiOption + u" " + BuildPropertyString(app.choices));
    }
    removeTemporaryFiles(app, packagePath, extracted);
    return result;
}

int LaunchTechnologyPackages(RunContext& app, std::uint32_t& exitCode) {
    exitCode = 0;
    const std::u16string folder = launcherFolder(app.system()) + u"\\Support\\MSI\\";
    const char16_t* const packages[] = {u"Pelaxo5_P.msi", u"Pelaxo5_H.msi", u"Pelaxo5_E.msi"};
    for (const char16_t* name : packages) {
        if (!fileExists(app.system(), folder + name)) {
            app.showMessage(std::u16string(name) + u" not found.");
            return -1;
        }
    }
    setCommonProperties(app);
    if (app.choices.useStandardCircuitFolder) deleteCircuitFolderValue(app);
    SetMsiProperty(app.choices, "INSTALLDIR", quoted(app.choices.targetProgramFolder));
    SetMsiProperty(app.choices, "REINSTALLMODE", u"amus");
    if (!app.choices.installVideos) SetMsiProperty(app.choices, "NOVIDEOS", u"1");
    if (!app.choices.installPresentations) SetMsiProperty(app.choices, "NOPRESENTATIONS", u"1");
    setLanguageProperties(app);
    for (const char16_t* name : packages) {
        exitCode = runInstaller(app, u"/i \"" + folder + name + u"\"/qb " + BuildPropertyString(app.choices));
        if (exitCode != 0) break;
    }
    return 0;
}
