#include "common/settings_files.h"

#include <cstddef>

#include "common/private_profile.h"
#include "common/program_dir.h"

namespace kam {
namespace {

constexpr std::string_view kSettingsFile = "\\kamplayer.db";
constexpr std::string_view kSkinConfigFile = "\\skin\\Config.ini";
// The buffers the programs have always passed to the platform's reader.
constexpr std::size_t kSettingBuffer = 256;
constexpr std::size_t kSkinConfigBuffer = 32767;

}  // namespace

std::string ReadSetting(const std::filesystem::path& program_dir, std::string_view section,
                        std::string_view key) {
  return ReadProfileFile(ProgramFile(program_dir, kSettingsFile), section, key, "", kSettingBuffer);
}

std::string ReadSkinConfig(const std::filesystem::path& program_dir, std::string_view section,
                           std::string_view key, std::string_view default_value) {
  return ReadProfileFile(ProgramFile(program_dir, kSkinConfigFile), section, key, default_value,
                         kSkinConfigBuffer);
}

bool WriteSkinConfig(const std::filesystem::path& program_dir, std::string_view section,
                     std::string_view key, std::string_view value) {
  return WriteProfileFile(ProgramFile(program_dir, kSkinConfigFile), section, key, value);
}

}  // namespace kam
