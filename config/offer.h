// What this run can offer: the settings document's optional parts as far as the medium
// carries them, the product generation, an earlier installation found on the machine, and
// the names the run shows. Written while the run starts and by the pages that look at the
// machine (an older installation's folder); the choices are made from it.
#pragma once

#include <string>
#include <vector>

#include "config/name_table.h"

struct Offer {
    bool useExternalMsi = false;
    bool additionalInternalMsi = false;
    bool askForVideos = false;
    bool askForPresentations = false;
    // The films come from the server (media2.cab), not from the medium.
    bool videosAsDownload = false;

    bool isPelaxo5 = false;
    bool isPelaxo4 = false;

    // An earlier generation's installation: its folders, carried over to the new one.
    bool legacyUpgrade = false;
    bool legacyAllUsers = false;
    std::u16string legacyExeDir, legacyInstDir, legacyInstDirLfn, legacyInstNdirLfn, legacyInstNdir, legacyVersion,
        legacyCircuitDir;

    // The enabled interface languages, in the settings document's order of indexes.
    std::vector<int> languageList;
    // The program on the medium that "start from the medium" runs.
    std::u16string stickAppPath;
    std::u16string versionSuffix;
    std::u16string applicationTitle;
    // Help-topic names to topic numbers.
    NameTable helpTopics{1000};
};
