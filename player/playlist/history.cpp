#include "player/playlist/history.h"

#include <fstream>
#include <optional>
#include <system_error>

#include "common/gbk_text.h"

namespace kam::playlist {
namespace {

std::string_view TrimSpaces(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

// The file's bytes in one read; the store runs to megabytes at the list box's limit.
std::optional<std::string> ReadWholeFile(const std::filesystem::path& path) {
  std::error_code ec;
  // Only a regular file: a folder in the file's place opens, and then fails to read.
  if (!std::filesystem::is_regular_file(path, ec)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  if (size < 0) return std::nullopt;
  in.seekg(0, std::ios::beg);
  std::string bytes(static_cast<std::size_t>(size), '\0');
  in.read(bytes.data(), size);
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  if (in.bad()) return std::nullopt;
  return bytes;
}

}  // namespace

std::vector<std::string> ParseHistory(std::string_view store_bytes, std::string_view separator) {
  constexpr std::string_view kOpen = "<Item>";
  constexpr std::string_view kClose = "</Item>";
  // Markers and spaces are ASCII, and no GBK trail byte is '<' or ' ', so decoding the whole text
  // first cuts the same records as cutting the bytes would.
  std::string text;
  AppendGbkAsUtf8(text, store_bytes);
  const std::string_view view(text);

  std::vector<std::string> entries;
  std::size_t open = view.find(kOpen);
  while (open != std::string_view::npos) {
    const std::size_t start = open + kOpen.size();
    const std::size_t next_open = view.find(kOpen, start);
    std::string_view piece = view.substr(
        start, next_open == std::string_view::npos ? std::string_view::npos : next_open - start);
    const std::size_t close = piece.find(kClose);
    if (close != std::string_view::npos) piece = piece.substr(0, close);
    piece = TrimSpaces(piece);
    if (!piece.empty() && HasAllFields(piece, separator)) entries.emplace_back(piece);
    open = next_open;
  }
  return entries;
}

std::vector<std::string> LoadHistory(const std::filesystem::path& path,
                                     std::string_view separator) {
  std::error_code ec;
  if (!std::filesystem::exists(path, ec) && !ec &&
      std::filesystem::is_directory(path.parent_path(), ec)) {
    std::ofstream create(path, std::ios::binary | std::ios::app);
  }
  const std::optional<std::string> bytes = ReadWholeFile(path);
  if (!bytes) return {};
  return ParseHistory(*bytes, separator);
}

}  // namespace kam::playlist
