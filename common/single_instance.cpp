#include "common/single_instance.h"

#include <mutex>
#include <set>
#include <string>
#include <utility>

namespace kam {

std::filesystem::path InstanceLockPath(const std::filesystem::path& program_dir,
                                       std::string_view name) {
  return program_dir / ("." + std::string(name) + ".lock");
}

std::optional<InstanceLock> InstanceLock::TryAcquire(const std::filesystem::path& program_dir,
                                                     std::string_view name) {
  const std::optional<std::intptr_t> handle = platform::TakeInstanceLock(program_dir, name);
  if (!handle) return std::nullopt;
  return InstanceLock(*handle);
}

InstanceLock::InstanceLock(InstanceLock&& other) noexcept
    : handle_(std::exchange(other.handle_, platform::kNoLockHandle)) {}

InstanceLock& InstanceLock::operator=(InstanceLock&& other) noexcept {
  if (this != &other) {
    platform::ReleaseInstanceLock(handle_);
    handle_ = std::exchange(other.handle_, platform::kNoLockHandle);
  }
  return *this;
}

InstanceLock::~InstanceLock() { platform::ReleaseInstanceLock(handle_); }

bool AcquireSingleInstance(const std::filesystem::path& program_dir, std::string_view name) {
  static std::mutex mutex;
  static std::set<std::filesystem::path> held;
  std::lock_guard<std::mutex> guard(mutex);
  const std::filesystem::path key = InstanceLockPath(program_dir, name);
  if (held.count(key)) return true;
  std::optional<InstanceLock> lock = InstanceLock::TryAcquire(program_dir, name);
  if (!lock) return false;
  // Deliberately never released: the process holds it until it ends.
  new InstanceLock(std::move(*lock));
  held.insert(key);
  return true;
}

}  // namespace kam
