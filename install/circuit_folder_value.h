// The circuit-file folder the application reads from the registry ("CT_DIR"): removed
// when the standard folder is chosen, so an earlier choice does not linger.
#pragma once

#include "config/run_context.h"

// Deletes CT_DIR for the user and, for an all-users installation, for new users too.
void deleteCircuitFolderValue(RunContext& app);
