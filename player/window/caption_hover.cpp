#include "player/window/caption_hover.h"

namespace kam::window {

std::optional<Pic> MaxButtonImage(WindowState state, bool hover) {
  switch (state) {
    case WindowState::kNormal:
      return hover ? Pic::max2 : Pic::max1;
    case WindowState::kMaximised:
      return hover ? Pic::max4 : Pic::max3;
    case WindowState::kMinimised:
      break;
  }
  return std::nullopt;
}

CaptionImages CaptionImagesAfterMove(Ctl over, WindowState state) {
  CaptionImages images;
  images.gb = over == Ctl::gb ? Pic::gb2 : Pic::gb1;
  images.max = MaxButtonImage(state, over == Ctl::max);
  images.min = over == Ctl::min ? Pic::min2 : Pic::min1;
  images.sz = over == Ctl::sz ? Pic::sz2 : Pic::sz1;
  return images;
}

TabFrames TabFramesAtRest(int selected_tab) {
  return TabFrames{selected_tab == 0 ? 150.0 : 0.0, selected_tab == 1 ? 150.0 : 0.0};
}

TabFrames TabFramesOnHover(int hovered_tab, int selected_tab) {
  TabFrames f = TabFramesAtRest(selected_tab);
  if (hovered_tab == 0) f.sp_x = 150;
  if (hovered_tab == 1) f.bf_x = 150;
  return f;
}

CaptureMove CaptureHoverAfterMove(double x, double y, Size client, bool any_button_pressed) {
  // Strictly inside: the first row and column count as outside, as the button's own
  // coordinates start at 0 on its edge.
  if (x > 0 && y > 0 && x < client.width && y < client.height) {
    return CaptureMove{CaptureMove::Capture::kTake, true};
  }
  return CaptureMove{
      any_button_pressed ? CaptureMove::Capture::kKeep : CaptureMove::Capture::kRelease, false};
}

}  // namespace kam::window
