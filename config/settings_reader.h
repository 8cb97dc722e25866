// The embedded settings document: read into the product's settings in a fixed order. The
// first missing required item ends the read with its own code; the fields read before it
// keep their values.
#pragma once

#include <string_view>
#include <vector>

#include "config/choices.h"
#include "config/offer.h"
#include "config/product_settings.h"
#include "platform/platform.h"

// The reader's results; the launcher reports a failure by the code's magnitude.
enum SettingsResult : int {
    kSettingsOk = 0,
    kSettingsNoProduct = -2,
    kSettingsNoProductName = -3,
    kSettingsNoProductGuid = -4,
    kSettingsNoBootstrapper = -5,
    kSettingsNoLanguages = -6,
    kSettingsUnknownLanguage = -7,
    kSettingsNoApplicationDir = -8,
    kSettingsNoStickApplication = -9,
    kSettingsNoLinkInstallation = -10,
    kSettingsNoBinDir = -11,
    kSettingsNoProgramDir = -12,
    kSettingsNoInstallDirEntry = -13,
    kSettingsNoInstallDirSubkey = -14,
    kSettingsNoInstallDirValueName = -15,
    kSettingsNoIconEntry = -16,
    kSettingsNoIconSubkey = -17,
    kSettingsNoOpenEntry = -18,
    kSettingsNoOpenSubkey = -19,
    kSettingsNoMsi = -20,
    kSettingsNoRuntime64 = -30,
    kSettingsNoRuntime32 = -31,
    kSettingsNoRuntimeSourceFile = -32,
    kSettingsNoRuntimeResourceId = -33,
    kSettingsNoMsiOutput = -38,
    kSettingsNoMsiOutputFile = -39,
    kSettingsNoMsiResourceId = -40,
    kSettingsNoUpdateUrl = -45,
    kSettingsNoUpdateTarget = -46,
    kSettingsUnknownPackageLanguage = -48,
    kSettingsNoMainPackage = -49,
    kSettingsUnknownMainPackage = -50,
    kSettingsNoResource = -54,
};

// What is missing, in the document's own words ("link-installation-only has no
// regentry-icon"); empty for kSettingsOk and codes the reader never gives.
const char* settingsResultText(int result);

// Reads the plain document text into the product's settings. windows64 picks the runtime
// installer of the machine's width.
int readSettingsDocument(ProductSettings& product, std::string_view documentText, bool windows64);

// The plain bytes of a SETTINGS resource, read as the launcher reads its own: an empty
// resource counts as none, and the document ends at the first zero byte.
int readSettingsResource(ProductSettings& product, const std::vector<unsigned char>& resource, bool windows64);

// The whole read at start-up: the launcher's own SETTINGS resource, then what the run can
// offer (the support files on the medium, the product generation) and the first choices
// (the document's first language, the optional content the offer holds).
int readSettings(ProductSettings& product, Offer& offer, Choices& choices, platform::System& system);
