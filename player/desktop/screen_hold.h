// Keeping the screen awake through the system's own means. Each way is one ScreenHoldPort: the
// platform's (the X screen saver and its power saving on Linux, the thread's execution state on
// Windows; MakePlatformScreenHold, a file per OS) and the desktop's screen-saver service on the
// session bus (qt/screen_saver_service.h). ScreenAwake decides when they hold.
#pragma once

#include <memory>
#include <vector>

namespace kam::desktop {

class ScreenHoldPort {
 public:
  virtual ~ScreenHoldPort() = default;
  // Keeps the screen from blanking, dimming or locking until Release. Called again while held,
  // nothing changes.
  virtual void Hold() = 0;
  virtual void Release() = 0;
};

// The platform's hold; one that does nothing where the platform has none (no X display, a build
// without the X screen-saver library).
std::unique_ptr<ScreenHoldPort> MakePlatformScreenHold();

// Several holds as one: each hold and release goes to every one of them, in order.
class ScreenHolds : public ScreenHoldPort {
 public:
  void Add(ScreenHoldPort* hold) { holds_.push_back(hold); }
  void Hold() override {
    for (ScreenHoldPort* h : holds_) h->Hold();
  }
  void Release() override {
    for (ScreenHoldPort* h : holds_) h->Release();
  }

 private:
  std::vector<ScreenHoldPort*> holds_;
};

}  // namespace kam::desktop
