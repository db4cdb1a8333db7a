// The desktop's message bus as the player uses it: the screen-saver service that keeps the
// screen awake, and the player's entry among the desktop's media players (MPRIS 2). One file per
// OS makes it (the session bus on Linux; nothing on Windows, whose toolchain here lacks the
// system media transport controls).
//
// Start-up never waits for the bus: it is looked at and joined on a thread of its own, and until
// it answers (or when it never does) the player runs without it. A missing or silent bus gives
// one diagnostics line.
#pragma once

#include <memory>

#include "player/desktop/media_session.h"
#include "player/desktop/screen_hold.h"

namespace kam::desktop {

// What the desktop's controls ask of the player.
class DesktopBusHost {
 public:
  virtual ~DesktopBusHost() = default;
  // Shows the main window (out of the tray or minimised too) and brings it to the front.
  virtual void Raise() = 0;
  // The exit command of the menus.
  virtual void Quit() = 0;
  virtual MediaSession& session() = 0;
};

class DesktopBus {
 public:
  virtual ~DesktopBus() = default;
  // Inhibits the screen saver through the bus's service where there is one (application
  // "kamplayer", reason "正在播放视频"); does nothing until the bus is joined.
  virtual ScreenHoldPort& screen_saver() = 0;
  // The session's properties changed from before: published, and announced to the desktop.
  virtual void PlayerChanged(const PlayerProperties& before) = 0;
  // The program ends: the inhibition is lifted at once (a bounded wait for the bus), and
  // nothing further goes out.
  virtual void End() = 0;
};

std::unique_ptr<DesktopBus> MakeDesktopBus(DesktopBusHost& host);

}  // namespace kam::desktop
