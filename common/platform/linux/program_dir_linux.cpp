#include <unistd.h>

#include "common/process_id.h"
#include "common/program_dir.h"

namespace kam {

std::filesystem::path ExecutablePath() {
  std::error_code ec;
  auto p = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return std::filesystem::current_path() / "kamplayer";
  return p;
}

long CurrentProcessId() { return static_cast<long>(getpid()); }

}  // namespace kam
