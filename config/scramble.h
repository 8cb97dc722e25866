// The settings document travels XORed with one key byte so that it is not readable as
// plain text inside setup.exe. The packaging tool and the launcher share this key.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/platform.h"

constexpr unsigned char kSettingsScrambleKey = 0x5A;

// XOR is its own inverse: the same call scrambles and unscrambles.
void scrambleBytes(unsigned char* bytes, std::size_t size);

// A resource of type CUSTOM of the launcher's own file, unscrambled when asked.
std::vector<unsigned char> loadCustomResource(platform::System& system, const std::u16string& name, int& error,
                                              bool unscramble);
