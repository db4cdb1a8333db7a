#include <windows.h>

#include <string>

#include "common/path_text.h"
#include "player/startup/hand_over.h"
#include "player/startup/hand_over_place.h"

namespace kam {

std::optional<std::string> HandOverSocketPlace(const std::filesystem::path& program_dir,
                                               std::string&) {
  std::error_code ec;
  const std::filesystem::path dir = std::filesystem::weakly_canonical(program_dir, ec);
  // Pipe names are global: the session keeps two users' players apart, the server's access
  // rule keeps out everyone else.
  DWORD session = 0;
  ProcessIdToSessionId(GetCurrentProcessId(), &session);
  return HandOverChannelName(PathUtf8(ec ? program_dir : dir)) + "-" + std::to_string(session);
}

}  // namespace kam
