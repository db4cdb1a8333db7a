#include <windows.h>

#include "common/open_file.h"

namespace kam {

bool FileOpenInThisProcess(const std::filesystem::path& file) {
  // An open handle anywhere (ours is the only process that opens the file) refuses a handle that
  // shares nothing.
  const HANDLE h = CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_SHARING_VIOLATION;
  CloseHandle(h);
  return false;
}

}  // namespace kam
