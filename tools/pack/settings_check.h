// setup-pack --check: the verdict the launcher would give a settings document at start-up,
// in words, from the launcher's own reader.
#pragma once

#include <ostream>
#include <string>

// Writes "<path>: accepted" or one "<path>: refused (error N): ..." line per kind of
// Windows that refuses it to out, and problems with the file itself to err. Returns 0
// for accepted, 1 for refused, 2 when the file cannot be read.
int checkSettingsFile(const std::string& path, std::ostream& out, std::ostream& err);
