// What the run has done so far and later steps rely on: files it left in the temporary
// folder, what it fetched, the installer's exit code, and where the last page stood.
#pragma once

#include <cstdint>
#include <string>

#include "config/product_settings.h"
#include "platform/page_model.h"

struct RunRecord {
    std::uint32_t installerExitCode = 0;
    // Help files copied to the temporary folder, deleted when the run ends.
    PerLanguage<std::u16string> helpFileTempCopy;
    bool materialDownloaded = false;
    bool videosDownloaded = false;  // media2.cab lies in the temporary folder
    // Shared by all wizard pages so each opens where the last one was.
    platform::ScreenRect lastPageRect;
};
