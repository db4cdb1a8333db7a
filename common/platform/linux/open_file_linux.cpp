#include <filesystem>
#include <system_error>

#include "common/open_file.h"

namespace kam {

bool FileOpenInThisProcess(const std::filesystem::path& file) {
  std::error_code ec;
  const std::filesystem::path target = std::filesystem::canonical(file, ec);
  if (ec) return false;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", ec)) {
    std::error_code link_ec;
    if (std::filesystem::read_symlink(entry.path(), link_ec) == target) return true;
  }
  return false;
}

}  // namespace kam
