#include "player/playlist/list_marks.h"

#include "common/site_address.h"
#include "player/playlist/entry.h"
#include "player/playlist/playing_entry.h"

namespace kam::playlist {

std::vector<EntryMark> ListMarks(const std::vector<std::string>& list, std::string_view separator,
                                 std::string_view dizhi, const PositionStore& store,
                                 std::optional<int> playing) {
  std::vector<EntryMark> marks(list.size(), EntryMark::kNone);
  if (store.size() > 0) {
    std::vector<std::string_view> fields;
    for (std::size_t i = 0; i < list.size(); ++i) {
      SplitEntryInto(list[i], separator, fields);
      if (fields.size() < kEntryFields || IsPlaceholder(fields)) continue;
      const std::optional<std::string> address = AddressOnSite(fields[1], dizhi);
      if (!address) continue;
      const std::optional<std::string> key = ShownAddressKey(*address);
      if (key && store.Watched(*key)) marks[i] = EntryMark::kWatched;
    }
  }
  if (playing && *playing >= 0 && static_cast<std::size_t>(*playing) < marks.size()) {
    marks[static_cast<std::size_t>(*playing)] = EntryMark::kPlaying;
  }
  return marks;
}

}  // namespace kam::playlist
