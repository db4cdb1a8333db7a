// The display-required state of the window thread, as the system reports the previous state
// when it is set again.
#include <windows.h>

#include <gtest/gtest.h>

#include "player/desktop/screen_hold.h"

namespace kam::desktop {
namespace {

// The thread's state now (set back as it was right after reading it).
EXECUTION_STATE StateNow() {
  const EXECUTION_STATE was = SetThreadExecutionState(ES_CONTINUOUS);
  SetThreadExecutionState(was | ES_CONTINUOUS);
  return was;
}

TEST(ScreenHoldWin32Test, HoldRequiresTheDisplayUntilReleased) {
  SetThreadExecutionState(ES_CONTINUOUS);
  auto hold = MakePlatformScreenHold();
  hold->Hold();
  EXPECT_TRUE(StateNow() & ES_DISPLAY_REQUIRED);
  EXPECT_TRUE(StateNow() & ES_CONTINUOUS);
  hold->Release();
  EXPECT_FALSE(StateNow() & ES_DISPLAY_REQUIRED);
}

TEST(ScreenHoldWin32Test, TheHoldGoesWithItsObject) {
  SetThreadExecutionState(ES_CONTINUOUS);
  {
    auto hold = MakePlatformScreenHold();
    hold->Hold();
    hold->Hold();
  }
  EXPECT_FALSE(StateNow() & ES_DISPLAY_REQUIRED);
}

}  // namespace
}  // namespace kam::desktop
