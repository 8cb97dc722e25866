// Start-up steps whose full behaviour arrives with later work (legacy files, command
// line, presets). Each has its final name and call site; the
// bodies in startup_steps.cpp are interim and say what they do not do yet.
#pragma once

class CBootstrapperApp;

void readLegacyIni(CBootstrapperApp& app);
void evaluateCommandLine(CBootstrapperApp& app);

// False when the presets ended the run (a message has been shown).
bool applyPresetsFile(CBootstrapperApp& app);
