// A page's full screen in the main window: which pane may have it, when the window's placement
// is taken and when it is put back. While a page is full screen the window covers the screen it
// is on and the page covers the window, chrome included; leaving puts the page back into its
// pane and the window back exactly where it was (normal or maximised, same rectangle), so the
// layout passes give the same rectangles as before. Tab, side panel and overlay are not touched
// by any of it, and the tray, menus and timers go on meanwhile.
#pragma once

#include <optional>

#include "player/window/controls.h"
#include "player/window/max_bounds.h"

namespace kam::window {

struct WindowPlacement {
  WindowState state = WindowState::kNormal;
  PixelRect geometry;  // the window's outer rectangle in that state
  friend bool operator==(const WindowPlacement&, const WindowPlacement&) = default;
};

class FullScreenPort {
 public:
  virtual ~FullScreenPort() = default;
  virtual WindowPlacement Placement() const = 0;
  // The screen the window is on.
  virtual PixelRect ScreenOfWindow() const = 0;
  // The window to that rectangle, the pane's page over the whole window.
  virtual void ShowPageOverWindow(Ctl pane, const PixelRect& screen) = 0;
  // The page back into its pane.
  virtual void PutPageBack(Ctl pane) = 0;
  virtual void Place(const WindowPlacement& placement) = 0;
  // Tells the page's engine that full screen is over (the page hears its fullscreenchange).
  virtual void TellPageToLeave(Ctl pane) = 0;
};

class FullScreen {
 public:
  explicit FullScreen(FullScreenPort& port) : port_(port) {}

  // The catalogue and player panes may go full screen; the buffering pane may not.
  static bool Allows(Ctl pane) { return pane == Ctl::listweb || pane == Ctl::W3; }

  // A page of pane asks to enter (on) or leave full screen. True grants the request. Asking
  // again while full screen changes nothing, so the placement taken first is the one restored.
  bool OnRequest(Ctl pane, bool on);
  // Esc in the window.
  void OnEscape();
  // A pane or the window itself (Ctl::Form1) was hidden: full screen ends first.
  void OnHidden(Ctl what);

  bool active() const { return session_.has_value(); }
  std::optional<Ctl> pane() const;

 private:
  // Ends the session: page back, window back; returns the pane it was.
  Ctl Leave();

  struct Session {
    Ctl pane;
    WindowPlacement before;
  };
  FullScreenPort& port_;
  std::optional<Session> session_;
};

}  // namespace kam::window
