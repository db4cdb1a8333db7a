// Which play list entry the player pane shows now, however it got there (a catalogue click, a
// list click, a shortcut start, an advance, the page's own navigation): the entry whose play
// address is the pane's address, compared the way the list click hands addresses on
// (item_play.h: an http(s) address on the site) and the way the engine shows them again
// (percent-escapes, an empty path, the fragment the page sets for itself).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kam::playlist {

// The address as one text that stays the same between how an entry holds it and how the pane
// shows it: scheme, canonical host and port, then the path and query with their escapes
// decoded, "/" for an empty path, no fragment. Nothing for an address that is no http(s)
// address.
std::optional<std::string> ShownAddressKey(std::string_view address);

// The index of the entry of list (entries split at separator) whose play address, on the site of
// dizhi, is shown_address; nothing when no entry's is. Where several entries hold that address
// the one at hint wins when it is one of them, else the first.
std::optional<int> PlayingEntry(const std::vector<std::string>& list, std::string_view separator,
                                std::string_view shown_address, std::string_view dizhi,
                                std::optional<int> hint = std::nullopt);

}  // namespace kam::playlist
