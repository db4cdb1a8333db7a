#include "player/window/border_drag.h"

namespace kam::window {
namespace {

void Arm(BorderDragState& s, const WindowTwips& w, float x, float y) {
  s.startX = x;
  s.startY = y;
  s.onTop = y <= kEdgeBandTwips;
  s.onBottom = w.height - y <= kEdgeBandTwips;
  s.onLeft = x <= kEdgeBandTwips;
  s.onRight = w.width - x <= kEdgeBandTwips;
  // A window thinner than two bands sees both edges: the bottom and right ones win.
  if (s.onTop && s.onBottom) s.onTop = false;
  if (s.onLeft && s.onRight) s.onLeft = false;
  s.moveWhole = !s.onTop && !s.onBottom && !s.onLeft && !s.onRight;
}

// Checked in this order, a later match replacing an earlier one, so corners get the diagonal.
Pointer PointerFor(const BorderDragState& s) {
  Pointer p = Pointer::kDefault;
  if (s.onLeft || s.onRight) p = Pointer::kSizeWE;
  if (s.onTop || s.onBottom) p = Pointer::kSizeNS;
  if ((s.onLeft && s.onTop) || (s.onRight && s.onBottom)) p = Pointer::kSizeNWSE;
  if ((s.onLeft && s.onBottom) || (s.onRight && s.onTop)) p = Pointer::kSizeNESW;
  return p;
}

}  // namespace

BorderDragOutcome HandleBorderDrag(BorderDragState& s, const WindowTwips& window, int button,
                                   double x_px, double y_px) {
  const float x = static_cast<float>(x_px * kTwipsPerPixel);
  const float y = static_cast<float>(y_px * kTwipsPerPixel);
  BorderDragOutcome out;
  if (button == 0) {
    Arm(s, window, x, y);
    out.pointer = PointerFor(s);
    return out;
  }
  // Each step reads the window as the steps before it left it.
  WindowTwips w = window;
  bool changed = false;
  auto place = [&](const WindowTwips& next) {
    if (!(next == w)) changed = true;
    w = next;
  };
  if (s.moveWhole) place({w.left + x - s.startX, w.top + y - s.startY, w.width, w.height});
  ++out.title_bar_repaints;
  if (s.onTop && w.height - y + s.startY >= kMinDragHeightTwips) {
    place({w.left, w.top + y - s.startY, w.width, w.height - y + s.startY});
  }
  ++out.title_bar_repaints;
  if (s.onLeft && w.width - x + s.startX >= kMinDragWidthTwips) {
    place({w.left + x - s.startX, w.top, w.width - x + s.startX, w.height});
  }
  ++out.title_bar_repaints;
  if (s.onBottom && w.height + y - s.startY >= kMinDragHeightTwips) {
    place({w.left, w.top, w.width, w.height + y - s.startY});
    s.startY = y;
  }
  ++out.title_bar_repaints;
  if (s.onRight && w.width + x - s.startX >= kMinDragWidthTwips) {
    place({w.left, w.top, w.width + x - s.startX, w.height});
    s.startX = x;
  }
  ++out.title_bar_repaints;
  if (changed) out.window = w;
  return out;
}

}  // namespace kam::window
