// The program directory: the folder of the running executable. Every file the programs name as
// "\a\b" is this folder followed by a/b.
#pragma once

#include <filesystem>
#include <string_view>

namespace kam {

// Folder of the running executable.
std::filesystem::path ExecutableDir();

// Full path of the running executable.
std::filesystem::path ExecutablePath();

// dir followed by a name written with backslashes, such as "\skin\Config.ini".
std::filesystem::path ProgramFile(const std::filesystem::path& dir,
                                  std::string_view backslash_name);

}  // namespace kam
