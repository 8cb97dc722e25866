// Where the package and the runtime redistributables come from (embedded in the launcher,
// or the Support folders of the medium beside it), and installing a missing runtime
// behind the progress page.
#pragma once

#include <string>

#include "config/run_context.h"

// The full path of the installer package in packagePath: 0 when the file is ready, -1
// after an error message.
int PreparePackage(RunContext& app, std::u16string& packagePath);

// How installing a runtime behind its page ended: the runtime is there; it is still
// missing, or no redistributable was found (each with its message where one is due); or
// the user left the page with Back or Cancel before the installer ran.
enum class RuntimeOutcome { Installed, Missing, Back, Cancelled };

RuntimeOutcome InstallDotNet20(RunContext& app);
RuntimeOutcome InstallDotNet40Client(RunContext& app);
