// Interim start-up steps. Each leaves the application state as if the file or option it
// reads were absent, which is the launcher's documented behaviour in that case; the
// flow shows its welcome in place of the wizard until the pages exist.
#include "app/startup_steps.h"

#include "app/bootstrapper_app.h"
#include "text/texts.h"

// No legacy settings file read yet: the legacy record stays empty.
void readLegacyIni(CBootstrapperApp&) {}

// The command line is not evaluated yet: a run behaves as one without arguments.
void evaluateCommandLine(CBootstrapperApp&) {}

// No presets applied yet: a run behaves as one without "setup.ini".
bool applyPresetsFile(CBootstrapperApp&) { return true; }

void showWelcomeInsteadOfWizard(CBootstrapperApp& app) {
    app.showMessage(replaceAll(app.text(8), u"ProductX", app.productName),
                    platform::MessageKind::Information);
    app.flowState = "cancel";
}
