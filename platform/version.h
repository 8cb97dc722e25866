// Four-part version numbers as Windows version resources hold them.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "platform/platform.h"

using Version = std::array<std::uint32_t, 4>;

// Splits at runs of "." (or "," when the text has no full stop) and converts the first
// four fields; true only when all four exist. Fields found before a missing one are kept.
bool parseVersion(std::u16string_view text, Version& version);

bool versionLess(const Version& a, const Version& b);

// The named string of a file's version resource, parsed into four numbers.
bool getFileVersion(platform::System& system, const std::u16string& path, const std::u16string& stringName,
                    Version& version);
