#include "player/playlist/item_play.h"

#include "player/playlist/entry.h"

namespace kam::playlist {

PlayOutcome ItemPlay(int index, std::string_view separator, PlayState state, RandomFraction& random,
                     PlayPorts& ports) {
  if (index < 0 || static_cast<std::size_t>(index) >= state.list.size()) {
    ports.RenderList();
    return PlayOutcome::kReRendered;
  }
  ports.HideIdlePicture();
  if (state.huangchong == "1") {
    ports.ShowBufferOverlay();
    state.buffer_seconds_left = BufferSecondsFor(state.da, random.Next());
    ports.StartBufferTimer(kBufferTimerIntervalMs);
  }
  const std::vector<std::string_view> fields =
      SplitEntry(state.list[static_cast<std::size_t>(index)], separator);
  if (fields.size() < kEntryFields) return PlayOutcome::kIncomplete;
  if (IsPlaceholder(fields)) return PlayOutcome::kPlaceholder;
  ports.NavigatePlayer(std::string(fields[1]));
  ports.ShowPlayer();
  ports.SetDefaultPointer();
  return PlayOutcome::kPlayed;
}

}  // namespace kam::playlist
