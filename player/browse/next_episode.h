// The next episode: when the player pane's main video ends and the page has not gone anywhere by
// itself within kWaitMs, the next play list entry plays as a click on it in the list page would
// play it. At most one advance per end: the end counts again only after the video played again.
// Nothing while the user seeks, or when the video plays, pauses or goes before the wait is over.
#pragma once

#include <cstdint>
#include <string>

#include "player/browse/media_report.h"

namespace kam {

class NextEpisodePorts {
 public:
  virtual ~NextEpisodePorts() = default;
  virtual std::string ShownAddress() const = 0;  // the player pane's address now
  virtual bool AutoNextOn() const = 0;           // the menu item "自动播放下一集"
  // The entry after the one playing, as a list click plays it; nothing when none plays or it was
  // the last.
  virtual void PlayNext() = 0;
  virtual void StartWait(int ms) = 0;  // once; a second start restarts it
  virtual void StopWait() = 0;
};

class NextEpisode {
 public:
  static constexpr int kWaitMs = 3000;

  explicit NextEpisode(NextEpisodePorts& ports) : ports_(ports) {}

  // The player pane's main medium changed (WebPane::MediaChanged).
  void MediaChanged(const MediaReport& report);
  // The player pane began to show another document or address.
  void Navigated();
  // The wait started at an end is over.
  void WaitOver();

 private:
  void Cancel();

  NextEpisodePorts& ports_;
  MediaReport last_;
  bool end_counted_ = false;       // this end of the current medium has been seen
  std::uint64_t waiting_for_ = 0;  // the medium whose end waits, 0 for none
  std::string address_at_end_;
};

}  // namespace kam
