#include "player/desktop/screen_awake.h"

namespace kam::desktop {

void ScreenAwake::SetPlayingVideo(PlayPane pane, bool playing_video, Clock::time_point now) {
  panes_[static_cast<int>(pane)].playing_video = playing_video;
  Decide(now);
}

void ScreenAwake::SetShown(PlayPane pane, bool shown, Clock::time_point now) {
  panes_[static_cast<int>(pane)].shown = shown;
  Decide(now);
}

void ScreenAwake::Tick(Clock::time_point now) { Decide(now); }

void ScreenAwake::End() {
  release_due_.reset();
  if (!held_) return;
  held_ = false;
  hold_.Release();
}

bool ScreenAwake::AnyPlaying() const {
  for (const PaneState& p : panes_) {
    if (p.playing_video) return true;
  }
  return false;
}

bool ScreenAwake::Wanted() const {
  for (const PaneState& p : panes_) {
    if (p.playing_video && p.shown) return true;
  }
  return false;
}

void ScreenAwake::Decide(Clock::time_point now) {
  if (Wanted()) {
    release_due_.reset();
    if (!held_) {
      held_ = true;
      hold_.Hold();
    }
    return;
  }
  if (!held_) return;
  if (!release_due_) release_due_ = now + kReleaseDelay;
  if (now >= *release_due_) End();
}

}  // namespace kam::desktop
