// A client installation: links to the program in an existing installation on another
// computer or share, and the registry entries that make it this user's (or everybody's)
// program, with no program file copied.
#pragma once

#include "config/run_context.h"

// The shortcuts (desktop, start menu), the installation folders, the circuit-file folder
// and the document type's icon and open command. Failures are not reported: a link that
// cannot be written leaves the others standing.
void CreateShortcutsAndRegistry(RunContext& app);
