#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

#include "common/atomic_file_platform.h"

namespace kam::platform {
namespace {

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

}  // namespace

bool WriteNewFile(const std::filesystem::path& path, std::string_view bytes, bool flush) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  // fdatasync also writes the size, the one piece of metadata reading the data back needs.
  bool ok = WriteAll(fd, bytes) && (!flush || ::fdatasync(fd) == 0);
  ok = ::close(fd) == 0 && ok;
  return ok;
}

bool FlushFile(const std::filesystem::path& path) {
  // fsync writes out the file's data whichever descriptor it was written through.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool ok = ::fsync(fd) == 0;
  return ::close(fd) == 0 && ok;
}

bool ReplaceByRename(const std::filesystem::path& from, const std::filesystem::path& to,
                     bool flush) {
  if (::rename(from.c_str(), to.c_str()) != 0) return false;
  if (!flush) return true;
  // The new name lives in the folder; until the folder is on the disk, a power cut can bring the
  // former file back, or none. The rename has happened either way, so a folder that cannot be
  // flushed (some file systems refuse) does not fail the replace.
  const std::filesystem::path folder = to.has_parent_path() ? to.parent_path() : ".";
  const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return true;
}

bool ProcessRunning(long pid) {
  if (pid <= 0) return false;
  return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

}  // namespace kam::platform
