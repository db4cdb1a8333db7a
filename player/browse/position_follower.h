// Resume: the player pane's main video starts where the user stopped it last time, and where it
// is now is remembered for its address (every kSaveMs while it plays, when the page goes, and at
// its end, which marks it watched). The rules of where to start are the store's
// (playlist/position_store.h). A page's first video may be an advertisement: a remembered
// position beyond its end waits for a longer video, and nothing is remembered from a video
// before the decision where to start it has been made.
#pragma once

#include <optional>
#include <string>

#include "player/browse/media_report.h"
#include "player/playlist/position_store.h"

namespace kam {

class PositionPorts {
 public:
  virtual ~PositionPorts() = default;
  virtual std::string ShownAddress() const = 0;  // the player pane's address now
  virtual void SeekMainMedium(double position_s) = 0;
  // The store changed: write it out. watched_changed: a video became watched (the list's marks).
  virtual void StoreChanged(bool watched_changed) = 0;
};

class PositionFollower {
 public:
  static constexpr int kSaveMs = 5000;
  // Reports (about one a second while playing) after which a seek that never began is given up.
  static constexpr int kSeekPatience = 10;

  PositionFollower(playlist::PositionStore& store, PositionPorts& ports)
      : store_(store), ports_(ports) {}

  // The player pane's main medium changed (WebPane::MediaChanged).
  void MediaChanged(const MediaReport& report);
  // Every kSaveMs.
  void SaveTick();
  // The player ends: the page goes with it, wherever its video stands (playing or paused).
  void SaveNow() { RememberNow(); }

 private:
  // Remembers where the current medium is; true when the store changed.
  void RememberNow();

  playlist::PositionStore& store_;
  PositionPorts& ports_;
  MediaReport last_;
  std::optional<std::string> key_;  // the address of the page the medium plays in
  bool decided_ = false;            // where it starts has been decided (and done)
  // A start asked for and not yet reached: the positions before it are not the user's.
  std::optional<double> seeking_to_;
  bool seek_seen_ = false;
  int reports_since_seek_ = 0;  // a seek that never began (a frame out of reach) is given up
};

}  // namespace kam
