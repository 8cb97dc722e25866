// The thumbnail shell extension for circuit files: its files in the shared program
// folder, their registration with the shell, and the ".circ" file type.
#pragma once

#include "config/run_context.h"

// Behind the progress page, when the settings ask for the extension and the user may
// install it for the machine; otherwise nothing.
void InstallShellExtension(RunContext& app);

// The progress page's work: writes each file that is missing or smaller than the one the
// launcher carries (the handler only when the carried one is a newer version), runs the
// registration tool and registers the file type. A file that cannot be written stops the
// work there, silently; only a missing program-files folder is reported.
void registerShellExtensionWork(RunContext& app);
