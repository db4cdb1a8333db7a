// The player as the desktop's media controls see it (MPRIS 2): what plays in W3 and where it
// stands in the play list, and what the controls' commands do to it. The session bus adaptor
// (qt/) publishes these properties and passes the commands on; every decision is here.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "player/browse/media_report.h"

namespace kam::desktop {

// The play list entry W3 shows, as the controls name it.
struct PlayingEntry {
  int index = 0;
  int count = 0;      // entries in the list
  std::string text;   // the entry's link text
  std::string album;  // the catalogue page's title the entry came from
  friend bool operator==(const PlayingEntry&, const PlayingEntry&) = default;
};

// The properties of the player interface that change, with their MPRIS names.
struct PlayerProperties {
  std::string playback_status = "Stopped";  // "Playing", "Paused" or "Stopped"
  // Metadata.
  std::string track_id = "/org/mpris/MediaPlayer2/TrackList/NoTrack";
  std::string title;
  std::string album;
  std::int64_t length_us = -1;  // negative: unknown (left out of the metadata)
  bool can_go_next = false;
  bool can_go_previous = false;
  bool can_play = false;
  bool can_pause = false;
  bool can_seek = false;
  friend bool operator==(const PlayerProperties&, const PlayerProperties&) = default;
};

// Names of the properties (as MPRIS names them: "PlaybackStatus", "Metadata", "CanGoNext", ...)
// whose values differ between before and after, in a fixed order.
std::vector<std::string> ChangedProperties(const PlayerProperties& before,
                                           const PlayerProperties& after);

// What the session does on the player's behalf.
class MediaSessionPort {
 public:
  virtual ~MediaSessionPort() = default;
  // Plays entry index of the play list exactly as a click on it in the list page does.
  virtual void PlayEntry(int index) = 0;
  // Acts on W3's main medium.
  virtual void Control(const MediaCommand& command) = 0;
};

class MediaSession {
 public:
  explicit MediaSession(MediaSessionPort& port) : port_(port) {}

  // What W3 reports: its main medium, the play list entry it shows (none when its address is no
  // entry's), its page's title.
  void MediaChanged(const MediaReport& report);
  void EntryChanged(std::optional<PlayingEntry> entry);
  void PageTitleChanged(std::string title);

  const PlayerProperties& properties() const { return properties_; }
  // Where the medium stands, in microseconds.
  std::int64_t PositionUs() const;

  // The controls' commands. Those that cannot act now (no medium, the list's end) do nothing.
  void Play();
  void Pause();
  void PlayPause();
  void Stop();
  void Next();
  void Previous();
  // Moves by offset (may be negative); before the start goes to the start, past the end to the
  // next entry as MPRIS asks.
  void Seek(std::int64_t offset_us);
  // Goes to position when track_id is the one playing and the position lies in the medium.
  void SetPosition(const std::string& track_id, std::int64_t position_us);

 private:
  void Recompute();

  MediaSessionPort& port_;
  MediaReport report_;
  std::optional<PlayingEntry> entry_;
  std::string page_title_;
  // Stop asked for, and the medium has not played since: "Stopped" though it stands paused.
  bool stopped_ = false;
  PlayerProperties properties_;
};

}  // namespace kam::desktop
