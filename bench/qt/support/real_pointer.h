// Real pointer input on the display for the play benchmarks (xdotool, through the X server), so
// that a program sees the press exactly as a user's: where a browser view lies on the screen is
// found by moving the pointer over the program's windows until the page under it reports the
// move; then a press lands on an element's centre. Every step is bounded in count and time.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>

#include "tests/support/devtools_client.h"

namespace kam::bench {

struct ScreenPoint {
  int x = 0;
  int y = 0;
};

// The screen position of the page's point (0, 0) in the view of page, one of process pid's
// views; nothing when no pointer move reached the page.
std::optional<ScreenPoint> FindViewOrigin(pid_t pid, testing::DevToolsSession& page);

// The centre of the first element matching selector, in page coordinates, after the page has
// been scrolled (at once, not smoothly) to show it.
std::optional<ScreenPoint> ElementCentre(testing::DevToolsSession& page,
                                         const std::string& selector);

// Moves the pointer to the element's centre and lets hover effects settle (outside any timed
// part), then presses and releases button 1 there unless move_only.
bool PressElement(testing::DevToolsSession& page, ScreenPoint view_origin,
                  const std::string& selector, bool move_only = false);

// A move to the screen point and a press of button 1 there.
void PressAt(ScreenPoint p);

// Top left corner and size of process pid's largest mapped window (its main window).
struct WindowBox {
  ScreenPoint at;
  int width = 0;
  int height = 0;
};
std::optional<WindowBox> MainWindowOf(pid_t pid);

}  // namespace kam::bench
