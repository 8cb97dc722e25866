// The Individual Setup: a pre-configured copy of the setup in a folder of the user's
// choice (a share, another disk) with the presets file that replays the wizard's answers
// there, the installer files of the medium's Support folders and the help file.
#pragma once

#include "config/run_context.h"

// Results beyond 0 (success): -1 the presets file cannot be written, -2 it did not arrive
// in the folder, -3 a file name cannot be split, -4 not enough free space (each of -1 to
// -3 after its own message), -5 the copy failed part-way (after the copy page's message),
// -6 the folder is no absolute folder name, the medium's own folder or one inside its
// Support folders, which the copy reads (nothing written).
constexpr int kIndividualSetupCopyFailed = -5;
constexpr int kIndividualSetupOnMedium = -6;

int createIndividualSetup(RunContext& app);
