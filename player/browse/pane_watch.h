// The main window's reactions to its panes' events and its two page timers: the latest status
// text, silent panes, the catalogue title with the error-page watch, the catalogue's own context
// menu, and the buffering countdown.
#pragma once

#include <string>

#include "player/browse/browse_context.h"

namespace kam {

// Interval of the error-page watch t3.
inline constexpr int kErrorWatchMs = 2000;
// The program's own page that stands in for an engine error page.
inline constexpr char kErrorPageFile[] = "skin/page.html";

class PaneWatch {
 public:
  explicit PaneWatch(BrowseContext& ctx) : ctx_(ctx) {}

  // Status text of listweb or qvod: the target of a refused pop-up.
  void StatusText(const std::string& text) { ctx_.state.lastStatusText = text; }
  // A pane starts a download: from now on it shows no script dialogs.
  void DownloadBegin(PanePort& pane) { pane.SetSilent(true); }
  // listweb's document title into L3.
  void ListwebTitleChange(const std::string& title);
  // A right click in listweb: MyMenu instead of the engine's menu.
  bool ListwebContextMenu(int x, int y);

  // t3: once L3 shows an error page's title, listweb gets the program's own page; then t3 stops,
  // so this happens at most once per run.
  void t3_Timer();
  // Timer8: one second less on the overlay; at zero the overlay goes.
  void Timer8_Timer();

  const std::string& L3() const { return L3_; }
  bool t3_enabled() const { return t3_enabled_; }

 private:
  BrowseContext& ctx_;
  std::string L3_;
  bool t3_enabled_ = true;
};

// The countdown caption for n seconds left: n modulo 60 (never negative) after a blank, then a
// blank and "秒".
std::string BufferCaption(int seconds_left);

}  // namespace kam
