// Which desktop file a shortcut goes into. A page names the shortcut, so the name may be that of
// another program's desktop file ("firefox"): only the player's own file of that name is replaced;
// otherwise the shortcut takes the first free name "名字 (2)", "名字 (3)", ...
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace kam {

// What stands on the desktop under a file name.
enum class DesktopSlot {
  kFree,        // nothing
  kPlayersOwn,  // a shortcut that starts this player
  kOther,       // anything else: another program's file, a folder, a link, an unreadable file
};

// How many names are tried before giving up.
inline constexpr int kMaxShortcutNameTries = 100;

// The file name (without extension) for a shortcut whose safe name is name: name itself when that
// slot is free or the player's own, else the first of "name (2)", "name (3)", ... that is.
// Nothing when kMaxShortcutNameTries names are all taken.
std::optional<std::string> ChooseShortcutFileName(
    std::string_view name, const std::function<DesktopSlot(const std::string&)>& slot_of);

// Whether a desktop entry's text is one that starts program: the Exec key of its
// "[Desktop Entry]" group, read by the entry's escaping and quoting rules, has program as its
// first argument.
bool IsDesktopEntryOf(std::string_view entry_text, const std::filesystem::path& program);

}  // namespace kam
