#include "tests/support/x_screen_saver.h"

#ifndef _WIN32

#if KAM_TEST_HAVE_XSS
#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>
#endif

namespace kam::testing {

#if KAM_TEST_HAVE_XSS
namespace {
Display* D(void* d) { return static_cast<Display*>(d); }
}  // namespace

XScreenSaver::XScreenSaver() {
  Display* d = XOpenDisplay(nullptr);
  if (d == nullptr) return;
  int event_base = 0, error_base = 0;
  if (!XScreenSaverQueryExtension(d, &event_base, &error_base)) {
    XCloseDisplay(d);
    return;
  }
  display_ = d;
}

XScreenSaver::~XScreenSaver() {
  if (display_ != nullptr) XCloseDisplay(D(display_));
}

void XScreenSaver::SetTimeout(int seconds) {
  if (display_ == nullptr) return;
  XSetScreenSaver(D(display_), seconds, 0, DontPreferBlanking, DefaultExposures);
  XSync(D(display_), False);
}

std::optional<bool> XScreenSaver::On() {
  if (display_ == nullptr) return std::nullopt;
  XScreenSaverInfo* info = XScreenSaverAllocInfo();
  if (info == nullptr) return std::nullopt;
  std::optional<bool> on;
  if (XScreenSaverQueryInfo(D(display_), DefaultRootWindow(D(display_)), info)) {
    on = info->state == ScreenSaverOn;
  }
  XFree(info);
  return on;
}

std::optional<unsigned long> XScreenSaver::IdleMs() {
  if (display_ == nullptr) return std::nullopt;
  XScreenSaverInfo* info = XScreenSaverAllocInfo();
  if (info == nullptr) return std::nullopt;
  std::optional<unsigned long> idle;
  if (XScreenSaverQueryInfo(D(display_), DefaultRootWindow(D(display_)), info)) {
    idle = info->idle;
  }
  XFree(info);
  return idle;
}
#else
XScreenSaver::XScreenSaver() = default;
XScreenSaver::~XScreenSaver() = default;
void XScreenSaver::SetTimeout(int) {}
std::optional<bool> XScreenSaver::On() { return std::nullopt; }
std::optional<unsigned long> XScreenSaver::IdleMs() { return std::nullopt; }
#endif

}  // namespace kam::testing

#endif  // _WIN32
