// The two settings files of the program directory: "\kamplayer.db", which the operators'
// server replaces at every start, and "\skin\Config.ini", which records the installed version.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace kam {

// section/key of "\kamplayer.db": at most 255 bytes (in GBK) of the value; empty when the file,
// section or key is missing.
std::string ReadSetting(const std::filesystem::path& program_dir, std::string_view section,
                        std::string_view key);

// section/key of "\skin\Config.ini", or default_value when missing.
std::string ReadSkinConfig(const std::filesystem::path& program_dir, std::string_view section,
                           std::string_view key, std::string_view default_value);

// Sets section/key in "\skin\Config.ini" (created when missing, replaced atomically). False when
// the write was refused or failed; the file is then untouched.
bool WriteSkinConfig(const std::filesystem::path& program_dir, std::string_view section,
                     std::string_view key, std::string_view value);

}  // namespace kam
