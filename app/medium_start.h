// The application run straight from the medium, without an installation.
#pragma once

#include "config/run_context.h"

// Starts the program on the medium (stickAppPath) from the launcher folder, with
// PROGLANG="<parameter>" when the language has one, and does not wait for it: the
// launcher ends while the program runs. A program that does not start is not reported.
void startFromMedium(RunContext& app);
