// The launcher's msiexec-style command line: "/q", "/qn", "/qb", "/x" and NAME=value pairs
// (a value a word or a text in double quotes). Recognised pairs steer the run; every
// other pair becomes an installer property.
#pragma once

#include <string>

#include "config/run_context.h"

// Evaluates the whole command line (UTF-8, program path first). Malformed input never
// fails: a dangling NAME or "=" ends the evaluation with what came before in force.
void evaluateCommandLine(RunContext& app, const std::string& commandLine);
