// Moving and resizing the borderless main window by its 1-pixel frame. The window's own surface
// sees the mouse only along that frame; each move there either arms the drag (no button: which
// edges are under the mouse, which pointer to show) or, with a button held, moves or resizes
// the window in twips, never below 16200 x 11250 twips (1080 x 750 pixels).
#pragma once

#include <optional>

#include "player/window/controls.h"

namespace kam::window {

inline constexpr float kEdgeBandTwips = 75;
inline constexpr double kMinDragWidthTwips = 16200;
inline constexpr double kMinDragHeightTwips = 11250;

// Kept between mouse events of the frame drag; starts cleared.
struct BorderDragState {
  float startX = 0, startY = 0;  // twips, relative to the window
  bool onTop = false, onBottom = false, onLeft = false, onRight = false;
  bool moveWhole = false;
  friend bool operator==(const BorderDragState&, const BorderDragState&) = default;
};

// The window's outer position and size in twips.
struct WindowTwips {
  double left = 0, top = 0, width = 0, height = 0;
  friend bool operator==(const WindowTwips&, const WindowTwips&) = default;
};

enum class Pointer { kDefault, kSizeWE, kSizeNS, kSizeNWSE, kSizeNESW };

// What one mouse move on the frame asks of the window.
struct BorderDragOutcome {
  std::optional<Pointer> pointer;     // set when no button is held
  std::optional<WindowTwips> window;  // the new position and size, when a step changed them
  int title_bar_repaints = 0;         // one per step while a button is held
};

// HandleBorderDrag: button is the mouse-button mask (0 = none), x and y the mouse position
// relative to the window in pixels, window the window's current position and size.
BorderDragOutcome HandleBorderDrag(BorderDragState& state, const WindowTwips& window, int button,
                                   double x, double y);

}  // namespace kam::window
