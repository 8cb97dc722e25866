// Child processes, started directly, and processes found by name.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"

// The longest command line the launcher hands to Windows (its buffer holds 4096).
constexpr std::size_t kMaxCommandLine = 4095;
// The result of a command refused for its length (ERROR_BAD_LENGTH).
constexpr std::uint32_t kCommandTooLong = 24;

// "C:\Windows\system32\<name>" in quotes: tools run from the system folder, never from
// the launcher's folder or the search path.
std::u16string systemTool(platform::System& system, const std::u16string& fileName);

// Runs program (a full path, quoted) and arguments directly, never through the command
// interpreter, hidden, in that folder (the current one when empty), waiting up to the
// limit: paths with "%", "^", "&", "!" or parentheses reach the program as they are, and
// no AutoRun command runs first. The exit code, kStillActive, or a start failure's error.
std::uint32_t runDirect(platform::System& system, const std::u16string& program, const std::u16string& arguments,
                        std::uint32_t limitMs, const std::u16string& folder = {});

// The first process whose main module has that file name (any letter case), or 0.
std::uint32_t findProcess(platform::System& system, const std::u16string& fileName);
void killProcess(platform::System& system, const std::u16string& fileName);
