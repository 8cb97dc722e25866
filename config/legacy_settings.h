// The legacy settings file "tarvo.ini" of an installation of the older generation: where
// it lived, proposed again for the folder pages and the update path.
#pragma once

#include "config/run_context.h"
#include "platform/platform.h"

// Reads the per-user copy, the Windows folder's file and its redirected copy, in that
// order, into the legacy fields. Missing files and keys leave the fields as they are.
void readLegacyIni(RunContext& state, platform::System& system);

// 0 when the folder holds an installation of the older generation (its programs and the
// language file of the current language), taking its all-users choice from install.log;
// -2 otherwise, and always for products of another generation.
int checkOlderInstallation(RunContext& state, platform::System& system, const std::u16string& folder);
