// What the window chrome needs from the window toolkit beyond the main window's own port: the
// window's state and geometry, mouse capture, the platform's move and resize loops, pointers,
// label colours and the settings menu.
#pragma once

#include "player/window/border_drag.h"
#include "player/window/controls.h"

namespace kam::window {

// Edges for the platform's own resize loop.
struct Edges {
  bool top = false, bottom = false, left = false, right = false;
  friend bool operator==(const Edges&, const Edges&) = default;
};

class ChromePort {
 public:
  virtual ~ChromePort() = default;

  // Normal, minimised or maximised; maximising uses the window's maximise bounds.
  virtual void SetState(WindowState state) = 0;
  virtual void HideWindow() = 0;
  // Whether a notification area exists to bring a hidden window back.
  virtual bool TrayAvailable() const = 0;
  // Pops up the settings menu (caidan) at the mouse position, owned by the main window.
  virtual void PopupSettingsMenu() = 0;

  virtual void SetCapture(Ctl ctl) = 0;
  virtual void ReleaseCapture() = 0;
  virtual void SetPointer(Ctl ctl, Pointer pointer) = 0;
  virtual void SetForeColor(Ctl ctl, Color color) = 0;
  // Repaints a control at once.
  virtual void Refresh(Ctl ctl) = 0;

  // The window's outer position and size in twips, and placing it there.
  virtual WindowTwips Geometry() const = 0;
  virtual void SetGeometry(const WindowTwips& twips) = 0;
  // False where the platform does not let a program place its own window (Wayland).
  virtual bool CanPlaceWindow() const = 0;
  // The platform's own move loop (until the button is released) and resize loop, the latter
  // never going below min_w x min_h pixels.
  virtual void StartSystemMove() = 0;
  virtual void StartSystemResize(Edges edges, int min_w, int min_h) = 0;
};

}  // namespace kam::window
