// The product as its settings document describes it. The settings reader alone writes it;
// everyone else reads it (tools/check_layers.py holds the code to that).
#pragma once

#include <array>
#include <string>

#include "text/languages.h"

template <typename T>
using PerLanguage = std::array<T, kLanguageCount>;

struct ProductSettings {
    bool demoVersion = false;
    std::u16string productName, productShortName, productIdentifier, productGuid;
    std::u16string editionGuidE, editionGuidH, editionGuidP;

    // As the document says; the offer holds what the medium then allows of them.
    bool useExternalMsi = false;
    bool additionalInternalMsi = false;
    bool askForVideos = false;
    bool askForPresentations = false;

    bool preconfigSetup = false;
    bool circuitFolderDialog = false;
    bool killZirOveriz = false;
    bool toGoEdition = false;
    bool adminRequired = false;
    bool installThumbnailExtension = false;
    bool updateConfigured = false;
    int minOsVersion = 0;

    // The interface languages, and those a package (or transform) exists for.
    PerLanguage<int> languageLcid = {1031, 1033, 3082, 1036, 1040, 1029};
    PerLanguage<bool> languageEnabled{};
    PerLanguage<bool> languagePackaged{};
    int mainPackageLanguage = -1;
    // The first <language> of the document: the run's language until the system's is known.
    int firstLanguage = -1;

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

    // The optional content's files; whether it is offered is the offer's to say.
    std::u16string videosSize, videoCabFile1, videoCabFile2;
    std::u16string presentationsSize, presentationsCabFile1;
    bool askForMaterialDownload = false;
    std::u16string materialCabFiles, materialUrl, media2Url;

    std::u16string updateUrl, updateTarget;
};
