// The presets file "setup.ini" that an Individual Setup carries beside its launcher: the
// answers given when it was made, taken over when it runs.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "config/choices.h"
#include "config/offer.h"
#include "platform/platform.h"

// Takes the presets of the file over into the choices, as far as the offer allows: 0, -1 when the file lacks
// the folder key its installation type needs, -2 when one of its folders is not a folder
// name the folder pages would accept (blanks around a folder are dropped first, as the pages
// drop them). On -1 and -2 nothing is taken over and the run goes on as if there were no file.
int readPresets(Choices& choices, const Offer& offer, platform::System& system, const std::u16string& path);

// Fills setupIniText from the current choices (lines end in a line feed).
void composePresets(Choices& choices, const Offer& offer);

// The file's bytes for a composed text, with CR LF line ends. ASCII text is written as
// 8-bit text. Any other text is written as UTF-16LE with a byte-order mark: the copy runs
// on other computers, whose ANSI code page may lack the characters of a folder name, and
// the Windows INI reader reads that form back exactly everywhere.
std::vector<unsigned char> presetsFileBytes(std::u16string_view text);

bool writePresetsFile(platform::System& system, const std::u16string& path, std::u16string_view text);
