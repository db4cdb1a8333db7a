#include "common/atomic_file.h"

#include <atomic>
#include <charconv>
#include <chrono>
#include <fstream>
#include <system_error>

#include "common/atomic_file_platform.h"
#include "common/path_text.h"
#include "common/process_id.h"

namespace kam {
namespace {

std::atomic<bool> flush_to_disk{true};

// Tells this run of the process from an earlier process that had the same number.
unsigned long long RunToken() {
  static const unsigned long long token =
      static_cast<unsigned long long>(std::chrono::system_clock::now().time_since_epoch().count());
  return token;
}

std::string TemporaryPrefix(const std::filesystem::path& target) {
  return "." + PathUtf8(target.filename()) + ".tmp-";
}

// Reads "PID-RUN-N" of a temporary name; false for a name that is not one of ours.
bool ParseTemporarySuffix(std::string_view suffix, long& pid, unsigned long long& run) {
  const char* const end = suffix.data() + suffix.size();
  auto [p, ec] = std::from_chars(suffix.data(), end, pid);
  if (ec != std::errc() || p == end || *p != '-') return false;
  auto [q, ec2] = std::from_chars(p + 1, end, run);
  if (ec2 != std::errc() || q == end || *q != '-') return false;
  unsigned long long n = 0;
  auto [r, ec3] = std::from_chars(q + 1, end, n);
  return ec3 == std::errc() && r == end;
}

void RemoveStaleTemporaryFiles(const std::filesystem::path& target) {
  const std::string prefix = TemporaryPrefix(target);
  const long self = CurrentProcessId();
  std::error_code ec;
  std::filesystem::directory_iterator it(target.parent_path(), ec);
  for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
    const std::string name = PathUtf8(it->path().filename());
    if (name.compare(0, prefix.size(), prefix) != 0) continue;
    long pid = 0;
    unsigned long long run = 0;
    if (!ParseTemporarySuffix(std::string_view(name).substr(prefix.size()), pid, run)) continue;
    const bool stale = pid == self ? run != RunToken() : !platform::ProcessRunning(pid);
    if (!stale) continue;
    std::error_code ignored;
    std::filesystem::remove(it->path(), ignored);
  }
}

// Renames temp over target (flushing temp's data first when flush_data), then sweeps.
bool PutInPlace(const std::filesystem::path& temp, const std::filesystem::path& target,
                bool flush_data) {
  const bool flush = flush_to_disk.load(std::memory_order_relaxed);
  if ((flush && flush_data && !platform::FlushFile(temp)) ||
      !platform::ReplaceByRename(temp, target, flush)) {
    std::error_code ec;
    std::filesystem::remove(temp, ec);
    return false;
  }
  RemoveStaleTemporaryFiles(target);
  return true;
}

}  // namespace

std::filesystem::path TemporaryPathBeside(const std::filesystem::path& path) {
  static std::atomic<unsigned> counter{0};
  const std::string name = TemporaryPrefix(path) + std::to_string(CurrentProcessId()) + "-" +
                           std::to_string(RunToken()) + "-" + std::to_string(counter.fetch_add(1));
  return path.parent_path() / Utf8Path(name);
}

bool CommitTemporaryFile(const std::filesystem::path& temp, const std::filesystem::path& target) {
  return PutInPlace(temp, target, true);
}

bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes) {
  const auto tmp = TemporaryPathBeside(path);
  if (!platform::WriteNewFile(tmp, bytes, flush_to_disk.load(std::memory_order_relaxed))) {
    std::error_code ec;
    std::filesystem::remove(tmp, ec);
    return false;
  }
  return PutInPlace(tmp, path, false);  // its data went to the disk as it was written
}

void SetFlushToDisk(bool on) { flush_to_disk.store(on, std::memory_order_relaxed); }

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
