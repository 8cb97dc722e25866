// The legacy settings file "tarvo.ini" of an installation of the older generation: where
// it lived, proposed again for the folder pages and the update path.
#pragma once

#include "config/run_state.h"
#include "platform/platform.h"

// Reads the per-user copy, the Windows folder's file and its redirected copy, in that
// order, into the legacy fields. Missing files and keys leave the fields as they are.
void readLegacyIni(RunState& state, platform::System& system);
