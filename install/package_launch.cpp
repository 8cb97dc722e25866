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
    const int language = app.languageIndex;
    return language >= 0 && language < kLanguageCount && app.languagePackaged[language] ? language
                                                                                          : app.mainPackageLanguage;
}

void setLanguageProperties(RunContext& app) {
    const int language = packageLanguage(app);
    if (language < 0 || language >= kLanguageCount) return;
    SetMsiProperty(app, "LANGUAGE", quoted(app.appParameter[language]));
    if (language != app.mainPackageLanguage)
        SetMsiProperty(app, "TRANSFORMS", u"\":" + std::u16string(kCultures[language]) + u".mst\"");
}

void setCommonProperties(RunContext& app) {
    SetMsiProperty(app, "SETUPDIR", quoted(app.system().launcherPath()));
    if (!app.allUsers) SetMsiProperty(app, "ALLUSERS", u"\"\"");
    if (!app.useStandardCircuitFolder) SetMsiProperty(app, "CTDIR", quoted(app.circuitFolder));
}

// The earlier generation's folders go to the new installation, under the key its
// programs read.
void carryOverLegacyInstallation(RunContext& app) {
    platform::System& system = app.system();
    const std::u16string& key = app.productRegKey[app.languageIndex];
    auto write = [&](const char16_t* name, const std::u16string& value) {
        if (!value.empty()) system.regWriteString32(platform::RegRoot::LocalMachine, key, name, &value);
    };
    if (!app.legacyExeDir.empty()) {
        const std::size_t slash = app.legacyExeDir.rfind(u'\\');
        app.installDir = system.longPathName(app.legacyExeDir.substr(0, slash == std::u16string::npos ? 0 : slash));
        write(u"EXE_DIR", app.legacyExeDir);
    }
    write(u"INST_DIR_LFN", app.legacyInstDirLfn);
    write(u"INST_NDIR_LFN", app.legacyInstNdirLfn);
    write(u"INST_NDIR", app.legacyInstNdir);
    write(u"INST_DIR", app.legacyInstDir);
    if (app.msiUiOption.empty()) app.msiUiOption = u"/qr ";
    app.allUsers = app.legacyAllUsers && system.isAdministrator();
    if (!app.legacyCircuitDir.empty()) {
        app.circuitFolder = app.legacyCircuitDir;
        app.useStandardCircuitFolder = false;
    }
}

// The in-place update of an older installed version, before features are added to it.
std::uint32_t updateInPlace(RunContext& app, const std::u16string& packagePath) {
    std::u16string arguments = u"/i \"" + packagePath + u"\" /qb ";
    const int language = packageLanguage(app);
    if (language >= 0 && language < kLanguageCount) {
        arguments += u"LANGUAGE=\"" + app.appParameter[language] + u"\" ";
        if (language != app.mainPackageLanguage)
            arguments += u"TRANSFORMS=\":" + std::u16string(kCultures[language]) + u".mst\" ";
    }
    arguments += u"REINSTALL=ALL NOVIDEOS=1 NOPRESENTATIONS=1 " + BuildPropertyString(app);
    return RunInstaller(app, arguments);
}

void setInstalledProductProperties(RunContext& app) {
    SetMsiProperty(app, "REINSTALLMODE", u"vamus");
    const bool material = app.askForMaterialDownload && app.materialDownloaded;
    if (app.installVideos && app.installPresentations) SetMsiProperty(app, "ADDLOCAL", u"Videos,Presentations");
    else if (material) SetMsiProperty(app, "ADDLOCAL", u"Videos,Presentations");
    else if (app.installVideos) SetMsiProperty(app, "ADDLOCAL", u"Videos");
    else if (app.installPresentations) SetMsiProperty(app, "ADDLOCAL", u"Presentations");
    else {
        SetMsiProperty(app, "NOVIDEOS", u"1");
        SetMsiProperty(app, "NOPRESENTATIONS", u"1");
    }
}

void setNewInstallationProperties(RunContext& app) {
    if (app.useStandardCircuitFolder && (app.isPelaxo5 || app.isPelaxo4)) deleteCircuitFolderValue(app);
    if (!app.useStandardCircuitFolder && app.isPelaxo4)
        app.system().regWriteString(platform::RegRoot::CurrentUser, app.installDirRegSubkey, u"CT_DIR",
                                    &app.circuitFolder);
    if (!app.installDir.empty()) SetMsiProperty(app, "INSTALLDIR", quoted(app.installDir));
    SetMsiProperty(app, "REINSTALLMODE", u"amus");
    if (!(app.askForMaterialDownload && app.materialDownloaded)) {
        if (!app.installVideos) SetMsiProperty(app, "NOVIDEOS", u"1");
        if (!app.installPresentations) SetMsiProperty(app, "NOPRESENTATIONS", u"1");
    }
}

// Only what this run put into the temporary folder goes, each by its full path.
void removeTemporaryFiles(RunContext& app, const std::u16string& packagePath, bool extracted) {
    platform::System& system = app.system();
    if (extracted) system.deleteFile(packagePath);
    const std::u16string temporary = longPathForm(system.tempFolder()) + u"\\";
    if (app.videosDownloaded) system.deleteFile(temporary + u"media2.cab");
    if (app.materialDownloaded) {
        for (const std::u16string& name : splitWords(app.materialCabFiles)) system.deleteFile(temporary + name);
    }
}

// Keeps msiUiOption for the caller whatever this launch changes in it.
class RestoreUiOption {
public:
    explicit RestoreUiOption(RunContext& app) : app_(app), kept_(app.msiUiOption) {}
    ~RestoreUiOption() { app_.msiUiOption = kept_; }
    RestoreUiOption(const RestoreUiOption&) = delete;
    RestoreUiOption& operator=(const RestoreUiOption&) = delete;

private:
    RunContext& app_;
    std::u16string kept_;
};

}  // namespace

bool installerSucceeded(std::uint32_t exitCode) { return exitCode == 0 || exitCode == 3010 || exitCode == 1641; }

std::uint32_t RunInstaller(RunContext& app, const std::u16string& arguments) {
    // Never the search path: a planted msiexec.exe beside a setup on a share would run with
    // the rights the user gave the setup.
    const std::u16string commandLine = systemTool(app.system(), u"msiexec.exe") + u" " + arguments;
    std::uint32_t exitCode = 0;
    return app.system().runAndWait(commandLine, exitCode) ? exitCode : kInstallerNotStarted;
}

std::uint32_t RemovePreviousVersion(RunContext& app) {
    if (!IsProductInstalled(app.system(), app.productGuid)) return 0;
    return RunInstaller(app, app.msiUiOption + u"/x " + app.productGuid);
}

int LaunchPackage(RunContext& app, std::uint32_t& exitCode) {
    exitCode = 0;
    if (app.killZirOveriz) killProcess(app.system(), u"ZIROveriz.exe");
    if (app.toGoEdition) return LaunchTechnologyPackages(app, exitCode);

    const RestoreUiOption restore(app);
    if (app.removeFirst) {
        const std::u16string kept = app.msiUiOption;
        if (app.msiUiOption.empty()) app.msiUiOption = u"/qb ";
        RemovePreviousVersion(app);
        app.msiUiOption = kept;
    }
    if (app.legacyUpgrade) carryOverLegacyInstallation(app);

    std::u16string packagePath;
    if (PreparePackage(app, packagePath) == -1) return -1;
    const bool extracted = !app.useExternalMsi;

    setCommonProperties(app);
    int result = 0;
    if (IsProductInstalled(app.system(), app.productGuid)) {
        const bool addsFeatures = app.installVideos || app.installPresentations || app.materialDownloaded;
        if (!addsFeatures) {
            SetMsiProperty(app, "REINSTALLMODE", u"vamus");
            SetMsiProperty(app, "REINSTALL", u"ALL");
        } else {
            const int language = app.languageIndex >= 0 ? app.languageIndex : 0;
            if (!IsInstalledVersionCurrent(app.system(), app.productGuid, app.binDirComponentGuid[language])) {
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
        exitCode = RunInstaller(app, u"/i \"" + packagePath + u"\"" + app.msiUiOption + u" " + BuildPropertyString(app));
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
    if (app.useStandardCircuitFolder) deleteCircuitFolderValue(app);
    SetMsiProperty(app, "INSTALLDIR", quoted(app.targetProgramFolder));
    SetMsiProperty(app, "REINSTALLMODE", u"amus");
    if (!app.installVideos) SetMsiProperty(app, "NOVIDEOS", u"1");
    if (!app.installPresentations) SetMsiProperty(app, "NOPRESENTATIONS", u"1");
    setLanguageProperties(app);
    for (const char16_t* name : packages) {
        exitCode = RunInstaller(app, u"/i \"" + folder + name + u"\"/qb " + BuildPropertyString(app));
        if (exitCode != 0) break;
    }
    return 0;
}
