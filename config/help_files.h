// The setup's own help: one CHM per language beside the launcher, staged in the
// temporary folder at start-up and opened at a topic by the pages' Help buttons.
#pragma once

#include <string>

#include "config/run_context.h"

// Copies each language's help file to "<temp>\_<index>_<name>"; languages without a
// copy of their own use the English one.
void prepareHelpFiles(RunContext& app);

// "<staged file>::/setup_<n>.htm" for the current language.
std::u16string helpTopicUrl(const RunContext& app, int topic);

// Opens the topic in the HTML Help viewer.
void showHelp(RunContext& app, int topic);
