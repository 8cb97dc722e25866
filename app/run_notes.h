// The lines the application and the flow write to the run log: what the launcher is and
// runs on, the settings document's verdict, the language and why, the flow's states and
// the pages' answers, and the run's end.
#pragma once

#include <cstdint>
#include <string>

#include "config/run_context.h"
#include "ui/page_steps.h"

// The launcher's file, version and build, Windows and the user's rights, the command line.
void noteStart(RunContext& run);
// The settings document's result code, in words when it refused.
void noteSettings(RunContext& run, int result);
// The start language and the rule that chose it.
void noteStartLanguage(RunContext& run, int documentLanguage, int systemLcid);
void noteState(RunContext& run, const std::string& state);
// A page state's answer, the step's own route when it took one, and a language changed on it.
void notePage(RunContext& run, const std::string& state, const StepResult& result, int languageBefore);
void noteEnd(RunContext& run, int exitCode);

// "<name>-YYYYMMDD-HHMMSS.log" in the temporary folder; the name is reduced to a safe file name.
std::u16string runLogPath(RunContext& run, const std::u16string& name, const platform::LocalTime& start);
