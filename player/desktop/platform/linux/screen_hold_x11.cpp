// The X screen saver, and with it the display's power saving (DPMS), suspended through the
// MIT-SCREEN-SAVER extension on a display connection of our own. The server lifts a suspension
// when the connection that asked for it closes, so a player that dies holds nothing.
#include "player/desktop/screen_hold.h"

#if KAM_HAVE_XSS
#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>
#endif

namespace kam::desktop {
namespace {

#if KAM_HAVE_XSS
class XScreenSaverHold : public ScreenHoldPort {
 public:
  ~XScreenSaverHold() override {
    if (display_ != nullptr) XCloseDisplay(display_);
  }

  void Hold() override { Suspend(true); }
  void Release() override { Suspend(false); }

 private:
  // The connection is made at the first hold, so that a player that never plays video opens
  // none. A server without the extension (or too old for suspending) is left alone: asking it
  // would raise an X error, which ends a program by default.
  bool Open() {
    if (tried_) return display_ != nullptr;
    tried_ = true;
    display_ = XOpenDisplay(nullptr);
    if (display_ == nullptr) return false;
    int event_base = 0, error_base = 0, major = 0, minor = 0;
    if (!XScreenSaverQueryExtension(display_, &event_base, &error_base) ||
        !XScreenSaverQueryVersion(display_, &major, &minor) ||
        (major < 1 || (major == 1 && minor < 1))) {
      XCloseDisplay(display_);
      display_ = nullptr;
    }
    return display_ != nullptr;
  }

  void Suspend(bool on) {
    if (on == suspended_) return;
    if (!Open()) return;
    suspended_ = on;
    XScreenSaverSuspend(display_, on ? True : False);
    XFlush(display_);
  }

  Display* display_ = nullptr;
  bool tried_ = false;
  bool suspended_ = false;
};
#endif

class NoHold : public ScreenHoldPort {
 public:
  void Hold() override {}
  void Release() override {}
};

}  // namespace

std::unique_ptr<ScreenHoldPort> MakePlatformScreenHold() {
#if KAM_HAVE_XSS
  return std::make_unique<XScreenSaverHold>();
#else
  return std::make_unique<NoHold>();
#endif
}

}  // namespace kam::desktop
