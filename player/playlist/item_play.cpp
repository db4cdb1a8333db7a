#include "player/playlist/item_play.h"

#include <optional>

#include "common/site_address.h"
#include "player/playlist/entry.h"

namespace kam::playlist {

PlayOutcome ItemPlay(int index, std::string_view separator, PlayState state, RandomFraction& random,
                     PlayPorts& ports) {
  if (index < 0 || static_cast<std::size_t>(index) >= state.list.size()) {
    ports.RenderList();
    return PlayOutcome::kReRendered;
  }
  const std::vector<std::string_view> fields =
      SplitEntry(state.list[static_cast<std::size_t>(index)], separator);
  const bool playable = fields.size() >= kEntryFields && !IsPlaceholder(fields);
  std::optional<std::string> address;
  if (playable) {
    address = AddressOnSite(fields[1], state.dizhi);
    if (!address) return PlayOutcome::kRefused;
  }
  ports.HideIdlePicture();
  if (state.huangchong == "1") {
    ports.ShowBufferOverlay();
    state.buffer_seconds_left = BufferSecondsFor(state.da, random.Next());
    ports.StartBufferTimer(kBufferTimerIntervalMs);
  }
  if (fields.size() < kEntryFields) return PlayOutcome::kIncomplete;
  if (!playable) return PlayOutcome::kPlaceholder;
  ports.NavigatePlayer(*address);
  ports.ShowPlayer();
  ports.SetDefaultPointer();
  return PlayOutcome::kPlayed;
}

}  // namespace kam::playlist
