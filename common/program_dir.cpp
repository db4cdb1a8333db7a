#include "common/program_dir.h"

#include <string>

namespace kam {

std::filesystem::path ExecutableDir() { return ExecutablePath().parent_path(); }

std::filesystem::path ProgramFile(const std::filesystem::path& dir,
                                  std::string_view backslash_name) {
  std::filesystem::path result = dir;
  std::string part;
  for (char c : backslash_name) {
    if (c == '\\' || c == '/') {
      if (!part.empty()) result /= std::filesystem::u8path(part);
      part.clear();
    } else {
      part.push_back(c);
    }
  }
  if (!part.empty()) result /= std::filesystem::u8path(part);
  return result;
}

}  // namespace kam
