// Files, folders and paths on top of the platform's primitive file operations.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

// "\\?\" in front of a drive path, "\\?\UNC" in place of a network path's first
// backslash; a path that already has the prefix stays as it is.
std::u16string longPathForm(const std::u16string& path);

// The launcher's folder: its own path without the last backslash and file name.
std::u16string launcherFolder(platform::System& system);

// A file or folder of that name exists (network paths are searched as they are).
bool fileExists(platform::System& system, const std::u16string& path);
bool pathExists(platform::System& system, const std::u16string& path);

// A file left read-only (by a copy from a DVD, or an earlier run) loses that attribute so it
// can be replaced; a missing file is left alone.
void clearReadOnly(platform::System& system, const std::u16string& path);

// Full paths of the non-folder entries matching the pattern, and their total size.
std::vector<std::u16string> listFiles(platform::System& system, const std::u16string& folder,
                                      const std::u16string& pattern, std::uint64_t& totalSize);

// A probe file can be copied into the folder with xcopy, exactly as an Individual Setup is
// later copied; xcopy creates the folder on the way.
bool folderWritableByCopy(platform::System& system, const std::u16string& folder);

// Reads the install log of an earlier installation: whether it was made for all users and
// its shortcuts. 0, or -1 when the log cannot be read (all-users then stays true).
int readInstallLog(platform::System& system, const std::u16string& path, bool& allUsers,
                   std::vector<std::u16string>& shortcuts);

// The file lies in folder + subfolder, or in the folder's parent + subfolder; in the second
// case folder is shortened to its parent.
bool findInstallationFolder(platform::System& system, std::u16string& folder, const std::u16string& subfolder,
                            const std::u16string& fileName);

// The words of a text split at spaces, empty words dropped.
std::vector<std::u16string> splitWords(const std::u16string& text);
