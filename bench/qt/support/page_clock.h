// The clocks the play benchmarks read inside the pages, all from the pages' own Date.now(), so
// that no round trip of the harness counts for either program: the press on a catalogue link (a
// mousedown listener that keeps its time in the page and in the site's localStorage, where the
// play page can read it after its own navigation), the play page's navigation start
// (performance.timeOrigin) and the video's first "playing" (window.firstPlayingAt, recorded from
// the document's start by PlayingClock, else by the demo site's player script).
#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/devtools_client.h"

namespace kam::bench {

using testing::DevToolsSession;

// The page whose address is url, among the pages of the engine listening on port.
std::unique_ptr<DevToolsSession> OpenPage(int port, const std::string& url,
                                          std::chrono::milliseconds timeout);
// Polls condition (a script expression) until it is true, at most timeout.
bool WaitForScript(DevToolsSession& page, const std::string& condition,
                   std::chrono::milliseconds timeout);

// Records the first "playing" of every document the engine's pages load from now on in
// window.firstPlayingAt, as the site's player script does, but from the document's start: the
// site's script runs after the video element exists, too late when a clip starts from the cache.
// Sessions with every page stay open (and the recording on) while the object lives.
class PlayingClock {
 public:
  // Attaches to every page the engine on port lists now; false when one refused.
  bool Attach(int port);
  // Reads the page events the sessions were sent meanwhile, so that none piles up.
  void Drain();

 private:
  std::vector<std::unique_ptr<DevToolsSession>> pages_;
};

// Installs the press recorder in the page (once a document) and forgets any earlier press; the
// page's Date.now() at that moment, or nothing when the page did not answer.
std::optional<double> ArmPressClock(DevToolsSession& catalogue);

// Milliseconds from the press to the play page's navigation start, from there to its first
// "playing", and the whole.
struct PlayTimes {
  double press_to_navigation = 0;
  double navigation_to_playing = 0;
  double press_to_playing = 0;
  std::string stages;  // the page's own steps on the way to "playing", for reading
};

// Waits (at most timeout) until the play page plays, then reads its clocks. The press is read
// from the catalogue page when it still shows the document that was pressed (its own record is
// never late), else from the site's localStorage as the play page sees it; a press from before
// armed_at is not this click's. On failure why says what was missing.
std::optional<PlayTimes> ReadPlayTimes(DevToolsSession& play, DevToolsSession* catalogue,
                                       double armed_at, std::chrono::milliseconds timeout,
                                       std::string* why);

// The middle value (the upper middle of an even count); 0 for none.
double Median(std::vector<double> values);

}  // namespace kam::bench
