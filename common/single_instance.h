// One running instance per program: a lock the running program holds until it ends. The
// operating system drops it when the process ends in any way, killed included.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>

namespace kam {

class InstanceLock {
 public:
  // Takes the lock of the program called name ("kamplayer", "update") in program_dir. Nothing
  // when another process holds it. Linux: flock on program_dir/.NAME.lock; Windows: a named
  // mutex. When the lock cannot be set up at all (a read-only folder), the program is let run:
  // a lock is returned that holds nothing.
  static std::optional<InstanceLock> TryAcquire(const std::filesystem::path& program_dir,
                                                std::string_view name);

  InstanceLock(InstanceLock&& other) noexcept;
  InstanceLock& operator=(InstanceLock&& other) noexcept;
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;
  ~InstanceLock();

 private:
  explicit InstanceLock(std::intptr_t handle) : handle_(handle) {}
  std::intptr_t handle_;
};

// The previous-instance test of a program's start: takes the lock and keeps it for the rest of
// the process's life. False when another process holds it. Calling it again for a lock this
// process already holds gives true.
bool AcquireSingleInstance(const std::filesystem::path& program_dir, std::string_view name);

// Linux: where the lock of a program lives.
std::filesystem::path InstanceLockPath(const std::filesystem::path& program_dir,
                                       std::string_view name);

namespace platform {
inline constexpr std::intptr_t kNoLockHandle = -1;
// The lock's handle, kNoLockHandle when it cannot be set up, nothing when another holds it.
std::optional<std::intptr_t> TakeInstanceLock(const std::filesystem::path& program_dir,
                                              std::string_view name);
void ReleaseInstanceLock(std::intptr_t handle);
}  // namespace platform

}  // namespace kam
