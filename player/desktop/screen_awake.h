// When the screen must stay awake: while a medium with a picture plays in a pane the user can
// see (its window shown and not minimised, or the pane's page full screen). A paused, ended or
// sound-only medium, a hidden tab, a window in the tray or minimised never keep it awake.
//
// The hold is taken at once when the first such medium plays. It is let go only once nothing
// has wanted it for kReleaseDelay: a quick pause and play, a seek or the next episode's page
// replacing this one do not let the screen saver's idle time begin anew each time.
#pragma once

#include <array>
#include <chrono>
#include <optional>

#include "player/desktop/screen_hold.h"

namespace kam::desktop {

// The panes that can play: the catalogue, the player and the buffering pane.
enum class PlayPane { kListweb, kW3, kQvod, kCount };

class ScreenAwake {
 public:
  using Clock = std::chrono::steady_clock;
  // Well inside the 3 s within which a pause, an end or a hidden window must free the screen.
  static constexpr std::chrono::milliseconds kReleaseDelay{1500};

  explicit ScreenAwake(ScreenHoldPort& hold) : hold_(hold) {}
  ScreenAwake(const ScreenAwake&) = delete;
  ScreenAwake& operator=(const ScreenAwake&) = delete;
  // The hold goes with the program.
  ~ScreenAwake() { End(); }

  // The pane's main medium plays with a picture now (playing_video), or not.
  void SetPlayingVideo(PlayPane pane, bool playing_video, Clock::time_point now);
  // The user can see the pane's page now, or not.
  void SetShown(PlayPane pane, bool shown, Clock::time_point now);
  // Carries out a release that has come due.
  void Tick(Clock::time_point now);
  // When Tick must run next for a pending release; nothing when none is pending.
  std::optional<Clock::time_point> ReleaseDue() const { return release_due_; }
  // Lets go at once (the program ends).
  void End();

  bool held() const { return held_; }
  // Some pane plays video, seen or not: the caller keeps watching whether its panes are seen.
  bool AnyPlaying() const;

 private:
  struct PaneState {
    bool playing_video = false;
    bool shown = false;
  };
  bool Wanted() const;
  void Decide(Clock::time_point now);

  ScreenHoldPort& hold_;
  std::array<PaneState, static_cast<int>(PlayPane::kCount)> panes_{};
  bool held_ = false;
  std::optional<Clock::time_point> release_due_;
};

}  // namespace kam::desktop
