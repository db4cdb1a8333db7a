// Desktop shortcuts on this platform: an XDG desktop entry "NAME.desktop" on Linux, a shell link
// "NAME.lnk" on Windows, in the user's desktop folder.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "player/browse/browse_ports.h"

namespace kam {

// The writer for this platform.
std::unique_ptr<DesktopShortcutPort> MakeDesktopShortcutWriter();

// --- XDG desktop entries (portable text rules; the Linux writer uses them) ---

// One Exec argument as the Desktop Entry specification wants it: in double quotes, with '"', '`',
// '$' and '\' escaped by a backslash, and '%' doubled.
std::string QuoteExecArgument(std::string_view arg);

// A value of type string or localestring: '\' doubled, newline, tab and carriage return written
// as "\n", "\t", "\r"; a leading blank as "\s".
std::string EscapeEntryValue(std::string_view value);

// The whole desktop entry for a shortcut.
std::string DesktopEntryText(const DesktopShortcut& shortcut);

// The desktop folder: the output of "xdg-user-dir DESKTOP" when it names an absolute folder,
// else XDG_DESKTOP_DIR when absolute, else HOME/Desktop. Nothing when none of them gives one.
std::optional<std::filesystem::path> DesktopFolderFrom(std::optional<std::string> xdg_user_dir,
                                                       const char* xdg_desktop_dir,
                                                       const char* home);

}  // namespace kam
