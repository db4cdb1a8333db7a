// Desktop shortcuts on Linux: an XDG desktop entry, marked executable, in the user's desktop
// folder.
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <system_error>

#include "common/atomic_file.h"
#include "player/browse/desktop_shortcut.h"
#include "player/browse/shortcut_file_choice.h"

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

// A desktop entry larger than this is no shortcut of the player's.
constexpr std::uintmax_t kMaxOwnEntryBytes = 64 * 1024;

DesktopSlot SlotOf(const std::filesystem::path& file, const std::filesystem::path& program) {
  std::error_code ec;
  const std::filesystem::file_status st = std::filesystem::symlink_status(file, ec);
  if (st.type() == std::filesystem::file_type::not_found) return DesktopSlot::kFree;
  if (ec || st.type() != std::filesystem::file_type::regular) return DesktopSlot::kOther;
  const std::uintmax_t size = std::filesystem::file_size(file, ec);
  if (ec || size > kMaxOwnEntryBytes) return DesktopSlot::kOther;
  const std::optional<std::string> text = ReadFileBytes(file);
  return text && IsDesktopEntryOf(*text, program) ? DesktopSlot::kPlayersOwn : DesktopSlot::kOther;
}

// Moves temp to path; over an existing file only when replace is set.
bool MoveInto(const std::filesystem::path& temp, const std::filesystem::path& path, bool replace) {
  if (replace) return ::rename(temp.c_str(), path.c_str()) == 0;
  if (::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) == 0) {
    return true;
  }
  if (errno != EINVAL && errno != ENOSYS) return false;
  // A file system without the no-replace rename: a hard link fails as well when path exists.
  if (::link(temp.c_str(), path.c_str()) != 0) return false;
  ::unlink(temp.c_str());
  return true;
}

// Writes the entry beside its final name, executable, then moves it to the final name, so a
// shortcut of the same name is replaced whole or not at all, and only when replace is set.
bool WriteExecutableAtomically(const std::filesystem::path& path, const std::string& text,
                               bool replace) {
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
  // CommitTemporaryFile flushes what it moves; the no-replace move flushes here.
  if (!replace) ok = ok && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  if (!ok) {
    ::unlink(temp.c_str());
    return false;
  }
  // The player's own file is replaced the usual way; a free name is taken only while it is free.
  if (replace) return CommitTemporaryFile(temp, path);
  if (!MoveInto(temp, path, false)) {
    ::unlink(temp.c_str());
    return false;
  }
  return true;
}

class DesktopEntryWriter : public DesktopShortcutPort {
 public:
  bool Save(const DesktopShortcut& shortcut) override {
    const std::optional<std::filesystem::path> folder =
        DesktopFolderFrom(AskXdgUserDir(), std::getenv("XDG_DESKTOP_DIR"), std::getenv("HOME"));
    if (!folder) return false;
    std::error_code ec;
    std::filesystem::create_directories(*folder, ec);
    const auto file_of = [&](const std::string& name) { return *folder / (name + ".desktop"); };
    const std::optional<std::string> name = ChooseShortcutFileName(
        shortcut.file_name,
        [&](const std::string& n) { return SlotOf(file_of(n), shortcut.program); });
    if (!name) return false;
    const bool own = SlotOf(file_of(*name), shortcut.program) == DesktopSlot::kPlayersOwn;
    return WriteExecutableAtomically(file_of(*name), DesktopEntryText(shortcut), own);
  }
};

}  // namespace

std::unique_ptr<DesktopShortcutPort> MakeDesktopShortcutWriter() {
  return std::make_unique<DesktopEntryWriter>();
}

}  // namespace kam
