#include <windows.h>

#include <algorithm>

#include "common/atomic_file_platform.h"

namespace kam::platform {

bool WriteNewFile(const std::filesystem::path& path, std::string_view bytes, bool flush) {
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool ok = true;
  while (ok && !bytes.empty()) {
    const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
    DWORD written = 0;
    ok = WriteFile(file, bytes.data(), piece, &written, nullptr) != 0 && written > 0;
    if (ok) bytes.remove_prefix(written);
  }
  ok = ok && (!flush || FlushFileBuffers(file) != 0);
  ok = CloseHandle(file) != 0 && ok;
  return ok;
}

bool FlushFile(const std::filesystem::path& path) {
  // FlushFileBuffers writes out the file's cached data, whichever handle wrote it; it needs a
  // handle with write access.
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool ok = FlushFileBuffers(file) != 0;
  return CloseHandle(file) != 0 && ok;
}

bool ReplaceByRename(const std::filesystem::path& from, const std::filesystem::path& to,
                     bool flush) {
  // Write-through makes the move return only once it is on the disk.
  const DWORD flags = MOVEFILE_REPLACE_EXISTING | (flush ? MOVEFILE_WRITE_THROUGH : 0);
  // A reader that holds the old file open without sharing its deletion (a browser pane showing
  // the page, a virus scanner) refuses the move for as long as it reads: a short, bounded wait
  // lets the new file in rather than losing it.
  for (int attempt = 0;; ++attempt) {
    if (MoveFileExW(from.c_str(), to.c_str(), flags) != 0) return true;
    const DWORD error = GetLastError();
    if ((error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) || attempt >= 20) {
      return false;
    }
    Sleep(10);
  }
}

bool ProcessRunning(long pid) {
  if (pid <= 0) return false;
  const HANDLE process =
      OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
  if (process == nullptr) return GetLastError() == ERROR_ACCESS_DENIED;
  DWORD code = 0;
  const bool running = GetExitCodeProcess(process, &code) != 0 && code == STILL_ACTIVE;
  CloseHandle(process);
  return running;
}

}  // namespace kam::platform
