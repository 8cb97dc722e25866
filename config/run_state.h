// The state of one launcher run: every field the start-up, the flow, the pages and the
// install actions read and change. A plain struct, so each layer can work on it without
// knowing the application object that owns it.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "config/name_table.h"
#include "platform/page_model.h"
#include "text/languages.h"

template <typename T>
using PerLanguage = std::array<T, kLanguageCount>;

struct RunState {
    RunState() = default;
    RunState(const RunState&) = delete;
    RunState& operator=(const RunState&) = delete;

    // ---- Flow control ----
    // Navigation: written by the flow (app/) alone; tools/check_layers.py holds the layers
    // below it to that. The command line and the presets only choose the first state.
    std::string flowState = "start";
    std::map<std::string, std::string> backTarget;
    bool forwardDirection = true;
    bool preconfigMode = false;
    bool linkOnly = false;
    bool allUsers = true;
    int autoMode = 0;
    std::u16string msiUiOption;
    bool removeFirst = false;
    // Started with "/q", "/qn" or "/qb": the process exit code is then installerExitCode, so
    // the script that started the run learns the outcome (a refused update sets it too).
    bool quietCommandLine = false;
    std::uint32_t installerExitCode = 0;
    // Installer properties from the command line; the table's visiting order is the order
    // on the installer command line, values are indexes into msiPropertyValues.
    NameTable msiProperties{250};
    std::vector<std::u16string> msiPropertyValues;

    // ---- Folders and paths ----
    std::u16string installDir;
    std::u16string networkFolder;
    std::u16string stickAppPath;
    std::u16string circuitFolder;
    bool useStandardCircuitFolder = true;
    std::u16string individualSetupFolder;
    std::u16string targetProgramFolder;
    std::u16string setupIniText;
    PerLanguage<std::u16string> helpFileTempCopy;

    // ---- Language ----
    int languageIndex = -1;
    PerLanguage<int> languageLcid = {1031, 1033, 3082, 1036, 1040, 1029};
    PerLanguage<bool> languageEnabled{};
    PerLanguage<bool> languagePackaged{};
    std::vector<int> languageList;
    int mainPackageLanguage = -1;

    // ---- Product description (settings document) ----
    bool demoVersion = false;
    std::u16string productName, productShortName, productIdentifier, productGuid;
    std::u16string editionGuidE, editionGuidH, editionGuidP;

    bool useExternalMsi = false;
    bool additionalInternalMsi = false;
    bool preconfigSetup = false;
    bool circuitFolderDialog = false;
    bool killZirOveriz = false;
    bool toGoEdition = false;
    bool adminRequired = false;
    bool installThumbnailExtension = false;
    bool updateConfigured = false;
    int minOsVersion = 0;

    std::u16string applicationDirRelative, startApplicationOnStick, binDir, programDir;
    std::u16string installDirRegSubkey, installDirRegValueName, iconRegSubkey, openRegSubkey;
    std::string technologyDomain;

    PerLanguage<std::u16string> appParameter, helpFile, circuitDir;
    PerLanguage<std::u16string> mainExeDir, binDirComponentGuid, productRegKey;
    PerLanguage<std::u16string> shortcutNamePdf, shortcutTargetPdf;
    PerLanguage<std::u16string> shortcutNameHelp, shortcutTargetHelp;
    PerLanguage<std::u16string> startMenuDir, shortcutNameApp, shortcutNameAppTechSelect;

    std::u16string msiFileName, msiResourceName;
    bool needsDotNet20 = false;
    std::u16string dotNet20SourceFile, dotNet20ResourceId;
    bool needsDotNet40Client = false;
    std::u16string dotNet40SourceFile, dotNet40ResourceId;

    bool askForVideos = false, installVideos = false, videosAsDownload = false;
    std::u16string videosSize, videoCabFile1, videoCabFile2;
    bool askForPresentations = false, installPresentations = false;
    std::u16string presentationsSize, presentationsCabFile1;
    bool askForMaterialDownload = false, downloadMaterialChosen = false, materialDownloaded = false;
    bool videosDownloaded = false;  // media2.cab lies in the temporary folder
    std::u16string materialCabFiles, materialUrl, media2Url;
    bool addOptionalComponents = false;

    std::u16string updateUrl, updateTarget;

    // ---- Product generation ----
    bool isPelaxo5 = false;
    bool isPelaxo4 = false;
    bool legacyUpgrade = false;
    bool legacyAllUsers = false;

    // ---- Legacy settings of an earlier installation ----
    std::u16string legacyExeDir, legacyInstDir, legacyInstDirLfn, legacyInstNdirLfn, legacyInstNdir, legacyVersion,
        legacyCircuitDir;

    // ---- Other members ----
    std::u16string versionSuffix;
    std::u16string applicationTitle;
    std::string downloadAgentName = "QendraSetup";
    std::u16string downloadUrl, downloadTarget;
    std::vector<std::u16string> downloadFiles;
    int downloadResult = 0;
    // Help-topic names to topic numbers.
    NameTable helpTopics{1000};
    // Shared by all wizard pages so each opens where the last one was.
    platform::ScreenRect lastPageRect;
};
