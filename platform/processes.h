// Child processes through the command interpreter, and processes found by name.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"

// The longest command line the launcher hands to Windows (its buffer holds 4096).
constexpr std::size_t kMaxCommandLine = 4095;
// The result of a command refused for its length (ERROR_BAD_LENGTH).
constexpr std::uint32_t kCommandTooLong = 24;

// interpreter /s /c "program arguments": with /s the interpreter removes only the outer
// quotes, so a quoted program path with parentheses or "&" keeps its own quotes.
std::u16string interpreterCommandLine(const std::u16string& interpreter, const std::u16string& program,
                                      const std::u16string& arguments);

// "C:\Windows\system32\<name>" in quotes: tools run from the system folder, never from
// the launcher's folder or the search path.
std::u16string systemTool(platform::System& system, const std::u16string& fileName);

// Runs program and arguments through COMSPEC (or the system folder's cmd.exe), hidden,
// waiting up to the limit: the exit code, kStillActive, or a start failure's error.
std::uint32_t runCommand(platform::System& system, const std::u16string& program, const std::u16string& arguments,
                         std::uint32_t limitMs);

// Runs program and arguments directly, without the command interpreter, hidden, waiting up
// to the limit: paths with "%", "^", "&", "!" or parentheses reach the program as they
// are. The exit code, kStillActive, or a start failure's error.
std::uint32_t runDirect(platform::System& system, const std::u16string& program, const std::u16string& arguments,
                        std::uint32_t limitMs);

// The first process whose main module has that file name (any letter case), or 0.
std::uint32_t findProcess(platform::System& system, const std::u16string& fileName);
void killProcess(platform::System& system, const std::u16string& fileName);
