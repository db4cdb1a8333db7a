#include "player/playlist/history.h"

#include <fstream>
#include <system_error>

#include "player/playlist/store_reader.h"

namespace kam::playlist {

std::vector<std::string> ParseHistory(std::string_view store_bytes, std::string_view separator) {
  StoreReader reader(separator);
  reader.Feed(store_bytes);
  return reader.Finish();
}

std::optional<std::vector<std::string>> ReadHistory(const std::filesystem::path& path,
                                                    std::string_view separator) {
  std::error_code ec;
  if (!std::filesystem::exists(path, ec) && !ec) {
    // No store, no history to keep.
    if (std::filesystem::is_directory(path.parent_path(), ec)) {
      std::ofstream create(path, std::ios::binary | std::ios::app);
    }
    return std::vector<std::string>{};
  }
  // Only a regular file: a folder in the file's place opens, and then fails to read.
  if (!std::filesystem::is_regular_file(path, ec)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  StoreReader reader(separator);
  // The store is read in pieces of this size, never whole: it may have been written by anything.
  std::string piece(64 * 1024, '\0');
  while (in) {
    in.read(piece.data(), static_cast<std::streamsize>(piece.size()));
    const auto got = static_cast<std::size_t>(in.gcount());
    if (got == 0) break;
    if (!reader.Feed(std::string_view(piece.data(), got))) break;
  }
  if (in.bad()) return std::nullopt;
  return reader.Finish();
}

std::vector<std::string> LoadHistory(const std::filesystem::path& path,
                                     std::string_view separator) {
  return ReadHistory(path, separator).value_or(std::vector<std::string>{});
}

}  // namespace kam::playlist
