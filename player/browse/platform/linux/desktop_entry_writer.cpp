// Desktop shortcuts on Linux: an XDG desktop entry, marked executable, in the user's desktop
// folder.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <system_error>

#include "common/atomic_file.h"
#include "player/browse/desktop_shortcut.h"

namespace kam {
namespace {

// First line printed by "xdg-user-dir DESKTOP", which honours the user's user-dirs.dirs.
std::optional<std::string> AskXdgUserDir() {
  FILE* pipe = popen("xdg-user-dir DESKTOP 2>/dev/null", "r");
  if (!pipe) return std::nullopt;
  std::string out;
  std::array<char, 512> buf{};
  while (fgets(buf.data(), static_cast<int>(buf.size()), pipe)) {
    out += buf.data();
    if (!out.empty() && out.back() == '\n') break;
  }
  const int status = pclose(pipe);
  if (status != 0 || out.empty()) return std::nullopt;
  return out;
}

// Writes the entry beside its final name, executable, then puts it in place of the final name, so
// a shortcut of the same name is replaced whole or not at all.
bool WriteExecutableAtomically(const std::filesystem::path& path, const std::string& text) {
  const std::filesystem::path temp = TemporaryPathBeside(path);
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0755);
  if (fd < 0) return false;
  std::size_t done = 0;
  bool ok = true;
  while (ok && done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0) {
      ok = errno == EINTR;
    } else {
      done += static_cast<std::size_t>(n);
    }
  }
  // The mode given to open is cut by the umask; desktops want the owner's execute bit.
  ok = ok && ::fchmod(fd, 0755) == 0;
  ok = (::close(fd) == 0) && ok;
  if (!ok) {
    ::unlink(temp.c_str());
    return false;
  }
  return CommitTemporaryFile(temp, path);
}

class DesktopEntryWriter : public DesktopShortcutPort {
 public:
  bool Save(const DesktopShortcut& shortcut) override {
    const std::optional<std::filesystem::path> folder =
        DesktopFolderFrom(AskXdgUserDir(), std::getenv("XDG_DESKTOP_DIR"), std::getenv("HOME"));
    if (!folder) return false;
    std::error_code ec;
    std::filesystem::create_directories(*folder, ec);
    return WriteExecutableAtomically(*folder / (shortcut.file_name + ".desktop"),
                                     DesktopEntryText(shortcut));
  }
};

}  // namespace

std::unique_ptr<DesktopShortcutPort> MakeDesktopShortcutWriter() {
  return std::make_unique<DesktopEntryWriter>();
}

}  // namespace kam
