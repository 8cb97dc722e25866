// What the user chose, on the pages, in a setup.ini beside the launcher or on the command
// line; the install actions act on it. Defaults come from the settings document and the
// offer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "config/name_table.h"

struct Choices {
    int languageIndex = -1;
    // The start page's fourth command: make an Individual Setup instead of installing.
    bool preconfigMode = false;
    bool linkOnly = false;
    bool allUsers = true;
    int autoMode = 0;
    std::u16string msiUiOption;
    bool removeFirst = false;
    // Started with "/q", "/qn" or "/qb": the process exit code is then the installer's, so
    // the script that started the run learns the outcome (a refused update sets it too).
    bool quietCommandLine = false;
    // Installer properties from the command line; the table's visiting order is the order
    // on the installer command line, values are indexes into msiPropertyValues.
    NameTable msiProperties{250};
    std::vector<std::u16string> msiPropertyValues;

    std::u16string installDir;
    std::u16string networkFolder;
    std::u16string circuitFolder;
    bool useStandardCircuitFolder = true;
    std::u16string individualSetupFolder;
    std::u16string targetProgramFolder;
    // The setup.ini an Individual Setup carries, composed from the choices above.
    std::u16string setupIniText;

    bool installVideos = false;
    bool installPresentations = false;
    bool downloadMaterialChosen = false;
    bool addOptionalComponents = false;
};
