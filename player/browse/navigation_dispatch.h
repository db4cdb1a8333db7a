// What a navigation of a pane does, decided from its address alone, and what becomes of the
// pop-up windows pages ask for.
//
// In the catalogue pane listweb three stages run in order on every navigation:
//   1. "dddisk://name@@@path": a desktop shortcut that opens the title's page, and a tip; only
//      when the user's press on the pane asked for it (the pressed link, or the press's own
//      handlers), right after the press, once per press, and only for a path that keeps the
//      address on the site;
//   2. a player scheme (player_schemes.h): the link, rewritten onto the site, plays in W3, behind
//      the buffering overlay when it is switched on; a rewrite that leaves the site plays nothing;
//   3. for a playback link, every link of the same scheme on the page that stays on the site
//      becomes the play list.
// In the player pane W3 an address that begins with "colse://" closes the player and reloads the
// catalogue; W3's page goes nowhere but to http(s) addresses on the site, its frames nowhere but
// to http(s).
// The catalogue and buffering panes show no page off the site: a main-frame navigation that
// leaves it opens in the user's browser when a press on the pane asked for it, and is refused
// otherwise. "On the site" is the registrable domain of dizhi (OnSameSite).
// Only documents on the site hold the page's powers (shortcut, playback with its play list,
// close): those navigations are refused when the document that asked for them is off the site or
// unknown, so a frame from elsewhere may show its content but steers nothing.
// Pop-ups open the hovered address in the user's browser only when a press on the pane asked
// for them, as for a shortcut.
// Every refusal leaves one line on the pane's diagnostics category and changes nothing else.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "player/browse/browse_context.h"
#include "player/browse/pane_port.h"
#include "player/browse/user_activation.h"

namespace kam {

// The tip shown after a desktop shortcut was placed; it follows the title's name.
inline constexpr char kShortcutTipSuffix[] = "放入桌面成功，从桌面打开观看";
// Interval of the buffering countdown's tick.
inline constexpr int kBufferTickMs = 1160;

class NavigationDispatch {
 public:
  explicit NavigationDispatch(BrowseContext& ctx) : ctx_(ctx) {}

  // The panes' navigation hooks; true cancels the navigation.
  bool ListwebBeforeNavigate(const NavigationRequest& request);
  bool W3BeforeNavigate(const NavigationRequest& request);
  bool QvodBeforeNavigate(const NavigationRequest& request);
  // A press of a mouse button or key on a pane.
  void ListwebUserInput() { listweb_input_.Pressed(); }
  void QvodUserInput() { qvod_input_.Pressed(); }
  // Pop-up requests; true refuses the new window. W3 keeps the engine's default.
  bool ListwebNewWindow(const NewWindowRequest& request);
  bool QvodNewWindow(const NewWindowRequest& request);

  // Opens an address in the user's browser, but only a web address: the status text a page can
  // set by hovering must not open local files or other programs' protocols.
  void OpenExternal(std::string_view url);

 private:
  // Whether the document that asked for request holds the page's powers.
  bool FromSite(const NavigationRequest& request) const;
  // The catalogue and buffering panes' main frames stay on the site; true cancels.
  bool KeepOnSite(PanePort& pane, UserActivation& input, const NavigationRequest& request);
  bool RunStages(std::string url, bool by_press);
  void PlaceShortcut(const std::string& url, bool by_press);
  bool StartPlayback(const std::string& url);  // false when it refused the address
  void CollectEpisodes(const std::string& url);

  BrowseContext& ctx_;
  UserActivation listweb_input_{ctx_.clock};
  UserActivation qvod_input_{ctx_.clock};
  // Counts playback clicks, so that the anchors of an older click's page, answered late, do not
  // land in a newer list.
  std::uint64_t playback_clicks_ = 0;
};

// True for an address beginning with "http://" or "https://" (any letter case).
bool IsWebAddress(std::string_view url);

}  // namespace kam
