// Folder names as users type them on the folder pages. They end up in installer command
// lines and in the presets file, so they are cleaned and checked before they are taken.
#pragma once

#include <string>
#include <string_view>

#include "platform/folder_names.h"

// Without surrounding spaces and line breaks; empty when nothing else was typed.
std::u16string typedFolder(std::u16string_view text);

// A browsed folder with the sub-folder appended once: D:\Apps + Sub gives D:\Apps\Sub,
// D:\Apps\Sub stays, E:\ gives E:\Sub.
std::u16string withSubFolder(std::u16string picked, const std::u16string& subFolder);
