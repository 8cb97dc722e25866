// The one rule for folder names, wherever a folder comes from: the folder pages, the
// presets file beside the launcher, the registry, the older generation's settings files
// and the command line. Such folders end up inside double quotes on installer command
// lines and in links, so a name that could close the quote or that is not a plain
// absolute folder is refused before it is taken.
#pragma once

#include <string_view>

// An absolute folder ("C:\..." or "\\server\share..."), at most 248 characters (what
// Windows creates without the long-path prefix), with none of the characters Windows
// forbids in paths (quotes, <, >, |, *, ?, a colon after the drive, control characters).
bool acceptableFolderName(std::u16string_view folder);

// The folder with "." and ".." components resolved, slashes made backslashes and no
// trailing backslash (a drive root keeps its own: "E:\\"), so two spellings of one folder
// compare equal. ".." never climbs above the drive or share. Only for acceptable names.
std::u16string resolvedFolder(std::u16string_view folder);
