#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "common/path_text.h"
#include "player/startup/hand_over.h"
#include "player/startup/hand_over_place.h"

namespace kam {
namespace {

// The folder exists, is a folder (no link), is the user's own and only the user's.
bool PrivateFolder(const std::string& folder, std::string& why) {
  if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
    why = "cannot make " + folder;
    return false;
  }
  struct stat st {};
  if (lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    why = folder + " is no folder";
    return false;
  }
  if (st.st_uid != getuid()) {
    why = folder + " belongs to another user";
    return false;
  }
  if ((st.st_mode & 077) != 0 && chmod(folder.c_str(), 0700) != 0) {
    why = folder + " is open to others";
    return false;
  }
  return true;
}

}  // namespace

std::optional<std::string> HandOverSocketPlace(const std::filesystem::path& program_dir,
                                               std::string& why) {
  std::string folder;
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && *runtime == '/') {
    folder = std::string(runtime) + "/kamplayer";
  } else {
    const char* tmp = std::getenv("TMPDIR");
    folder = std::string(tmp != nullptr && *tmp == '/' ? tmp : "/tmp") + "/kamplayer-" +
             std::to_string(getuid());
  }
  if (!PrivateFolder(folder, why)) return std::nullopt;
  std::error_code ec;
  const std::filesystem::path dir = std::filesystem::weakly_canonical(program_dir, ec);
  return folder + "/" + HandOverChannelName(PathUtf8(ec ? program_dir : dir));
}

}  // namespace kam
