// Interim start-up steps. Each leaves the application state as if the file or option it
// reads were absent, which is the launcher's documented behaviour in that case.
#include "app/startup_steps.h"

#include "app/bootstrapper_app.h"

// No legacy settings file read yet: the legacy record stays empty.
void readLegacyIni(CBootstrapperApp&) {}

// The command line is not evaluated yet: a run behaves as one without arguments.
void evaluateCommandLine(CBootstrapperApp&) {}

// No presets applied yet: a run behaves as one without "setup.ini".
bool applyPresetsFile(CBootstrapperApp&) { return true; }
