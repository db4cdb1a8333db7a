#include "common/atomic_file.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <system_error>

#include "common/process_id.h"

namespace kam {

std::filesystem::path TemporaryPathBeside(const std::filesystem::path& path) {
  static std::atomic<unsigned> counter{0};
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  auto name = path.filename().string();
  name = "." + name + ".tmp-" + std::to_string(CurrentProcessId()) + "-" +
         std::to_string(counter.fetch_add(1)) + "-" + std::to_string(stamp % 100000);
  return path.parent_path() / name;
}

bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes) {
  const auto tmp = TemporaryPathBeside(path);
  {
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out) {
      out.close();
      std::error_code ec;
      std::filesystem::remove(tmp, ec);
      return false;
    }
  }
  std::error_code ec;
  std::filesystem::rename(tmp, path, ec);
  if (ec) {
    std::filesystem::remove(tmp, ec);
    return false;
  }
  return true;
}

std::optional<std::string> ReadFileBytes(const std::filesystem::path& path) {
  // A folder opens as a stream on Linux and then throws on the first read.
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes;
  char chunk[65536];
  while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
    bytes.append(chunk, static_cast<size_t>(in.gcount()));
  }
  if (in.bad()) return std::nullopt;
  return bytes;
}

}  // namespace kam
