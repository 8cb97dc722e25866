// Start-up steps between the checks and the flow: the command line and the presets of an
// Individual Setup.
#pragma once

class CBootstrapperApp;

void evaluateCommandLine(CBootstrapperApp& app);

// Takes over the "setup.ini" beside the launcher, when the product uses one, and moves
// the flow to its first question. False when the presets ended the run (a message has
// been shown).
bool applyPresetsFile(CBootstrapperApp& app);
