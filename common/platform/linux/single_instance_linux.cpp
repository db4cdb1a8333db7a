#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "common/single_instance.h"

namespace kam::platform {

std::optional<std::intptr_t> TakeInstanceLock(const std::filesystem::path& program_dir,
                                              std::string_view name) {
  const std::filesystem::path path = InstanceLockPath(program_dir, name);
  // Read-only is enough for flock, so a lock file another user created still works. Not passed
  // on to programs this one starts: the updater must not keep the player's lock alive.
  const int fd = open(path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return kNoLockHandle;
  int result;
  do {
    result = flock(fd, LOCK_EX | LOCK_NB);
  } while (result != 0 && errno == EINTR);
  if (result == 0) return fd;
  const bool busy = errno == EWOULDBLOCK;
  close(fd);
  if (busy) return std::nullopt;
  return kNoLockHandle;
}

void ReleaseInstanceLock(std::intptr_t handle) {
  if (handle != kNoLockHandle) close(static_cast<int>(handle));
}

}  // namespace kam::platform
