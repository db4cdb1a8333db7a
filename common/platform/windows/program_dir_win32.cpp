#include <windows.h>

#include <vector>

#include "common/process_id.h"
#include "common/program_dir.h"

namespace kam {

std::filesystem::path ExecutablePath() {
  std::vector<wchar_t> buf(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0) return {};
    if (n < buf.size()) return std::filesystem::path(std::wstring(buf.data(), n));
    buf.resize(buf.size() * 2);
  }
}

long CurrentProcessId() { return static_cast<long>(GetCurrentProcessId()); }

}  // namespace kam
