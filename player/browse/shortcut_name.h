// A title's name as the file name of its desktop shortcut. The name comes from a web page, so it
// must not lead outside the desktop folder, hide the file, or break the file system's rules.
#pragma once

#include <string>
#include <string_view>

namespace kam {

// Longest file name kept, in bytes of UTF-8 (the extension comes on top).
inline constexpr std::size_t kMaxShortcutNameBytes = 120;
// Used when nothing of the name is left.
inline constexpr char kFallbackShortcutName[] = "kamplayer";

// The name with path separators, control characters and the characters Windows forbids in file
// names each replaced by "_", leading dots and blanks and trailing dots and blanks removed, cut
// to kMaxShortcutNameBytes on a character boundary; a Windows device name gets "_" appended.
// Invalid UTF-8 bytes become "_" too.
std::string SafeShortcutFileName(std::string_view name);

}  // namespace kam
