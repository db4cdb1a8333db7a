// The user's choice whether the next episode plays by itself (the tray menu's
// "自动播放下一集"), kept in the user's settings file beside the browser profile, never in the
// program directory. On unless the file says "0".
#pragma once

#include <filesystem>

namespace kam {

// The user's settings file in the user's data folder.
std::filesystem::path UserSettingsFile(const std::filesystem::path& data_folder);

bool ReadAutoNext(const std::filesystem::path& settings_file);
// False when the file could not be written (the choice then lasts until the program ends).
bool WriteAutoNext(const std::filesystem::path& settings_file, bool on);

}  // namespace kam
