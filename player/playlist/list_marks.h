// How each entry of the list page looks besides its text: the entry playing, the entries whose
// video was watched (position_store.h), the rest plain.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "player/playlist/position_store.h"

namespace kam::playlist {

enum class EntryMark { kNone, kWatched, kPlaying };

// One mark per entry of list (split at separator), in list order. playing: the index of the entry
// playing (playing_entry.h); it shows as playing even when watched before. An entry is watched
// when its play address, on the site of dizhi, is watched in store.
std::vector<EntryMark> ListMarks(const std::vector<std::string>& list, std::string_view separator,
                                 std::string_view dizhi, const PositionStore& store,
                                 std::optional<int> playing);

}  // namespace kam::playlist
