#include <windows.h>

#include <cwctype>
#include <string>

#include "common/single_instance.h"

namespace kam::platform {
namespace {

// One mutex per program name and program directory. Backslashes are not allowed in the name
// after the namespace prefix, so the folder goes in as a hash of its lower-cased path.
std::wstring MutexName(const std::filesystem::path& program_dir, std::string_view name) {
  std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
  for (wchar_t c : program_dir.wstring()) {
    hash ^= static_cast<std::uint64_t>(towlower(c));
    hash *= 1099511628211ull;
  }
  std::wstring text = L"Local\\kam-instance-";
  for (char c : name) text += static_cast<wchar_t>(static_cast<unsigned char>(c));
  text += L"-" + std::to_wstring(hash);
  return text;
}

}  // namespace

std::optional<std::intptr_t> TakeInstanceLock(const std::filesystem::path& program_dir,
                                              std::string_view name) {
  HANDLE mutex = CreateMutexW(nullptr, FALSE, MutexName(program_dir, name).c_str());
  if (mutex == nullptr) return kNoLockHandle;
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(mutex);
    return std::nullopt;
  }
  return reinterpret_cast<std::intptr_t>(mutex);
}

void ReleaseInstanceLock(std::intptr_t handle) {
  if (handle != kNoLockHandle) CloseHandle(reinterpret_cast<HANDLE>(handle));
}

}  // namespace kam::platform
