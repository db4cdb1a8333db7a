// What the main window does when an entry of the play list page is clicked.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "player/playlist/buffer_countdown.h"

namespace kam::playlist {

// The main window's controls the play handler drives.
class PlayPorts {
 public:
  virtual ~PlayPorts() = default;
  virtual void RenderList() = 0;         // hand the current list to the list control again
  virtual void HideIdlePicture() = 0;    // bjbox
  virtual void ShowBufferOverlay() = 0;  // vip
  virtual void StartBufferTimer(int interval_ms) = 0;  // Timer8: set its interval, switch it on
  virtual void NavigatePlayer(const std::string& url) = 0;  // W3
  virtual void ShowPlayer() = 0;                            // W3
  virtual void SetDefaultPointer() = 0;                     // the window's mouse pointer
};

// The main window's state the handler reads and writes.
struct PlayState {
  const std::vector<std::string>& list;  // List3
  std::string_view huangchong;           // buffering switch: exactly "1" is on
  std::string_view da;                   // buffering time in seconds, decimal text
  int& buffer_seconds_left;              // bufferSecondsLeft
  std::string_view dizhi;                // the site's base address: entries play only on the site
};

inline constexpr int kBufferTimerIntervalMs = 1160;

enum class PlayOutcome {
  kReRendered,   // the page was older than the list: the list was shown again
  kPlaceholder,  // a "no records" entry: nothing played
  kIncomplete,   // an entry with fewer than three fields: nothing played
  kPlayed,       // the player pane opened field 1
  kRefused,      // field 1 is no address on the site (an old or edited list file): nothing changed
};

// The handler of the list control's play event for entry index, split at separator. With
// buffering on the overlay starts before the entry is looked at, so a placeholder starts it too.
// An index outside the list (also a negative one) means the page no longer matches the list.
// An entry whose address is not an http(s) address on the site of dizhi plays nothing and
// changes nothing; the player pane opens the address in the form site_address.h hands on.
PlayOutcome ItemPlay(int index, std::string_view separator, PlayState state, RandomFraction& random,
                     PlayPorts& ports);

}  // namespace kam::playlist
