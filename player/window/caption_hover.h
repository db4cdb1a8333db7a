// Hover looks of the title bar and the two small image buttons of the player area: which picture
// each caption button shows after a mouse move, which tab frames the strip shows under the
// mouse, and how the capture-driven buttons react to a move.
#pragma once

#include <optional>

#include "player/window/controls.h"

namespace kam::window {

// Pictures of the four caption buttons after a mouse move. `max` is empty while the window is
// minimised: the button keeps whatever it shows.
struct CaptionImages {
  Pic gb = Pic::gb1;
  std::optional<Pic> max = Pic::max1;
  Pic min = Pic::min1;
  Pic sz = Pic::sz1;
  friend bool operator==(const CaptionImages&, const CaptionImages&) = default;
};

// After a move over `over`: one of the caption buttons (gb, max, min, sz) lights that button;
// anything else on the title bar (bj) shows every button at rest.
CaptionImages CaptionImagesAfterMove(Ctl over, WindowState state);

// The maximise button's picture for a window state: maximise (max1/max2) while normal, restore
// (max3/max4) while maximised, nothing while minimised.
std::optional<Pic> MaxButtonImage(WindowState state, bool hover);

// Source x of the two tab frames: 150 lit, 0 normal.
struct TabFrames {
  double sp_x = 0;
  double bf_x = 0;
  friend bool operator==(const TabFrames&, const TabFrames&) = default;
};

// The strip with the selected tab lit (bj_Paint, bj_MouseMove).
TabFrames TabFramesAtRest(int selected_tab);
// The strip with the tab under the mouse lit as well (L1_MouseMove).
TabFrames TabFramesOnHover(int hovered_tab, int selected_tab);

// A mouse move over a capture-driven button (Picture4, Picture7) with client size W x H.
struct CaptureMove {
  enum class Capture { kTake, kRelease, kKeep };
  Capture capture = Capture::kKeep;
  bool hover = false;  // draw the hover frame, else the normal frame
  friend bool operator==(const CaptureMove&, const CaptureMove&) = default;
};
CaptureMove CaptureHoverAfterMove(double x, double y, Size client, bool any_button_pressed);

// Frames of the clear-history bin (Image16) and the side-panel handle (Image12/Image13).
inline constexpr Rect kBinNormal{0, 0, 20, 30};
inline constexpr Rect kBinHover{20, 0, 20, 30};
inline constexpr Rect kBinPressed{40, 0, 20, 30};
inline constexpr Point kBinAt{0, 1};
inline constexpr Rect kHandleNormal{0, 0, 10, 128};
inline constexpr Rect kHandleHover{10, 0, 10, 128};
inline constexpr Point kHandleAt{0, 0};

// Colours of the bottom-bar link label.
inline constexpr Color kLabel2Hover = Color::Rgb(255, 255, 0);
inline constexpr Color kLabel2Rest = Color::System(Color::Kind::kHighlight);

}  // namespace kam::window
