#include "tests/support/temp_dir.h"

#include <fstream>
#include <random>
#include <string>

namespace kam::testing {

TempDir::TempDir() {
  std::random_device rd;
  for (int attempt = 0; attempt < 100; ++attempt) {
    auto candidate = std::filesystem::temp_directory_path() /
                     ("kamtest-" + std::to_string(rd()) + std::to_string(attempt));
    std::error_code ec;
    if (std::filesystem::create_directory(candidate, ec)) {
      path_ = candidate;
      return;
    }
  }
  path_ = std::filesystem::temp_directory_path() / "kamtest-fallback";
  std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
  if (std::getenv("KAM_KEEP_TEMP") != nullptr) return;
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::filesystem::path TempDir::Write(std::string_view relative, std::string_view bytes) const {
  auto full = path_ / std::filesystem::u8path(relative);
  std::filesystem::create_directories(full.parent_path());
  std::ofstream out(full, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return full;
}

}  // namespace kam::testing
