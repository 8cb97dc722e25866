// The launcher's msiexec-style command line: "/q", "/qn", "/qb", "/x" and NAME=value pairs
// (a value a word or a text in double quotes). Recognised pairs steer the run; every
// other pair becomes an installer property.
#pragma once

#include <string>

#include "app/navigation.h"
#include "config/run_context.h"

// What follows the program path, as Windows splits it: a path in quotes runs to the next
// quote, one without them to the first blank or tab; the blanks after it go too.
std::string argumentsAfterProgramPath(const std::string& commandLine);

// Evaluates the whole command line (UTF-8, program path first). Malformed input never
// fails: a dangling NAME or "=" ends the evaluation with what came before in force.
void evaluateCommandLine(RunContext& app, Navigation& navigation, const std::string& commandLine);
