// The display kept on through the execution state of the window thread (the thread that holds
// and releases): display required and continuous while held, continuous alone after.
#include <windows.h>

#include "player/desktop/screen_hold.h"

namespace kam::desktop {
namespace {

class ExecutionStateHold : public ScreenHoldPort {
 public:
  ~ExecutionStateHold() override { Release(); }
  void Hold() override {
    if (held_) return;
    held_ = SetThreadExecutionState(ES_CONTINUOUS | ES_DISPLAY_REQUIRED) != 0;
  }
  void Release() override {
    if (!held_) return;
    held_ = false;
    SetThreadExecutionState(ES_CONTINUOUS);
  }

 private:
  bool held_ = false;
};

}  // namespace

std::unique_ptr<ScreenHoldPort> MakePlatformScreenHold() {
  return std::make_unique<ExecutionStateHold>();
}

}  // namespace kam::desktop
