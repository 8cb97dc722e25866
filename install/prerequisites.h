// Where the package and the runtime redistributables come from (embedded in the launcher,
// or the Support folders of the medium beside it), and installing a missing runtime
// behind the progress page.
#pragma once

#include <string>

#include "config/run_context.h"

// The full path of the installer package in packagePath: 0 when the file is ready, -1
// after an error message.
int PreparePackage(RunContext& app, std::u16string& packagePath);

// Install the runtime behind its page: -1 when no redistributable is found, the user
// cancelled, or the runtime is still missing after its installer ran (each with its
// message where one is due); 0 otherwise. The page's result word stays in flowState.
int InstallDotNet20(RunContext& app);
int InstallDotNet40Client(RunContext& app);
