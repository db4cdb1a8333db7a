// A fresh folder under the system's temporary folder, removed when the test ends.
#pragma once

#include <filesystem>
#include <string_view>

namespace kam::testing {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // Writes bytes to path()/relative, creating folders on the way; returns the full path.
  std::filesystem::path Write(std::string_view relative, std::string_view bytes) const;

 private:
  std::filesystem::path path_;
};

}  // namespace kam::testing
