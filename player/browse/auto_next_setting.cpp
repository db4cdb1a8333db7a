#include "player/browse/auto_next_setting.h"

#include "common/private_profile.h"

namespace kam {
namespace {

constexpr char kSection[] = "play";
constexpr char kKey[] = "autonext";

}  // namespace

std::filesystem::path UserSettingsFile(const std::filesystem::path& data_folder) {
  return data_folder / "settings.ini";
}

bool ReadAutoNext(const std::filesystem::path& settings_file) {
  return ReadProfileFile(settings_file, kSection, kKey, "1", 16) != "0";
}

bool WriteAutoNext(const std::filesystem::path& settings_file, bool on) {
  std::error_code ec;
  std::filesystem::create_directories(settings_file.parent_path(), ec);
  return WriteProfileFile(settings_file, kSection, kKey, on ? "1" : "0");
}

}  // namespace kam
