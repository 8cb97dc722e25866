// The installer properties of a run: the command line's pass-through pairs and those the
// package launch sets, joined for msiexec in the visiting order of their name table.
#pragma once

#include <string>

#include "config/choices.h"

// Values are kept verbatim, quotes included ("\"C:\\x\"" for a path). A name set again
// keeps its place and takes the new value. A value that would not stay one argument (a
// quote inside the quotes, a blank outside them, a control character) is refused with
// false and changes nothing: it could add properties or transforms of its own.
bool SetMsiProperty(Choices& run, const std::string& name, const std::u16string& value);

// NAME=value for every entry, joined by single blanks.
std::u16string BuildPropertyString(const Choices& run);

// The value set for a name, or nullptr.
const std::u16string* msiProperty(const Choices& run, const std::string& name);
