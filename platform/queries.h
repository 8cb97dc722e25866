// System questions the core answers from the platform's primitive operations.
#pragma once

#include "platform/platform.h"

// 64-bit Windows keeps a second program-files value for 32-bit programs.
bool isWindows64(platform::System& system);

// The launcher's folder: its own path without the last backslash and file name.
std::u16string launcherFolder(platform::System& system);
