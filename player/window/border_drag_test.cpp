#include "player/window/border_drag.h"

#include <gtest/gtest.h>

#include <vector>

namespace kam::window {
namespace {

// The design-size window: 1186 x 702 pixels at (100, 8) pixels.
constexpr WindowTwips kDesign{1500, 120, 17790, 10530};

struct Arming {
  double x, y;  // pixels
  bool top, bottom, left, right, whole;
  Pointer pointer;
};

TEST(BorderDrag, ArmsTheEdgesUnderTheMouseAndPicksThePointer) {
  const Arming rows[] = {
      // Frame lines of the 1186 x 702 window.
      {600, 0, true, false, false, false, false, Pointer::kSizeNS},
      {600, 701, false, true, false, false, false, Pointer::kSizeNS},
      {0, 300, false, false, true, false, false, Pointer::kSizeWE},
      {1185, 300, false, false, false, true, false, Pointer::kSizeWE},
      // The 75-twip band is 5 pixels deep on each side.
      {5, 300, false, false, true, false, false, Pointer::kSizeWE},
      {6, 300, false, false, false, false, true, Pointer::kDefault},
      {1181, 300, false, false, false, true, false, Pointer::kSizeWE},
      {1180, 300, false, false, false, false, true, Pointer::kDefault},
      {600, 5, true, false, false, false, false, Pointer::kSizeNS},
      {600, 697, false, true, false, false, false, Pointer::kSizeNS},
      // Corners get the diagonals.
      {0, 0, true, false, true, false, false, Pointer::kSizeNWSE},
      {1185, 701, false, true, false, true, false, Pointer::kSizeNWSE},
      {0, 701, false, true, true, false, false, Pointer::kSizeNESW},
      {1185, 0, true, false, false, true, false, Pointer::kSizeNESW},
      {600, 300, false, false, false, false, true, Pointer::kDefault},
  };
  for (const Arming& r : rows) {
    BorderDragState s;
    const BorderDragOutcome out = HandleBorderDrag(s, kDesign, 0, r.x, r.y);
    EXPECT_EQ(s.startX, float(r.x * 15)) << r.x << "," << r.y;
    EXPECT_EQ(s.startY, float(r.y * 15)) << r.x << "," << r.y;
    EXPECT_EQ(s.onTop, r.top) << r.x << "," << r.y;
    EXPECT_EQ(s.onBottom, r.bottom) << r.x << "," << r.y;
    EXPECT_EQ(s.onLeft, r.left) << r.x << "," << r.y;
    EXPECT_EQ(s.onRight, r.right) << r.x << "," << r.y;
    EXPECT_EQ(s.moveWhole, r.whole) << r.x << "," << r.y;
    ASSERT_TRUE(out.pointer.has_value());
    EXPECT_EQ(*out.pointer, r.pointer) << r.x << "," << r.y;
    EXPECT_FALSE(out.window.has_value());
    EXPECT_EQ(out.title_bar_repaints, 0);
  }
}

TEST(BorderDrag, AThinWindowPrefersTheBottomAndRightEdges) {
  BorderDragState s;
  HandleBorderDrag(s, WindowTwips{0, 0, 120, 120}, 0, 4, 4);
  EXPECT_FALSE(s.onTop);
  EXPECT_TRUE(s.onBottom);
  EXPECT_FALSE(s.onLeft);
  EXPECT_TRUE(s.onRight);
  EXPECT_FALSE(s.moveWhole);
}

// Runs a drag: arm at the first point, then press-moves through the rest; returns the window
// after each move.
std::vector<WindowTwips> Drag(WindowTwips w, std::vector<std::pair<double, double>> points,
                              BorderDragState* state_out = nullptr) {
  BorderDragState s;
  HandleBorderDrag(s, w, 0, points[0].first, points[0].second);
  std::vector<WindowTwips> seen;
  for (size_t i = 1; i < points.size(); ++i) {
    const BorderDragOutcome out = HandleBorderDrag(s, w, 1, points[i].first, points[i].second);
    EXPECT_FALSE(out.pointer.has_value());
    EXPECT_EQ(out.title_bar_repaints, 5);
    if (out.window) w = *out.window;
    seen.push_back(w);
  }
  if (state_out) *state_out = s;
  return seen;
}

TEST(BorderDrag, RightEdgeWidensByFifteenTwipsAPixel) {
  BorderDragState s;
  const auto seen = Drag(kDesign, {{1185, 300}, {1205, 300}}, &s);
  EXPECT_EQ(seen.back(), (WindowTwips{1500, 120, 17790 + 300, 10530}));
  EXPECT_EQ(s.startX, 1205 * 15);
}

TEST(BorderDrag, RightEdgeNarrowsStepByStepButNeverBelow1080Pixels) {
  // The mouse moves left in 30-pixel steps from the right edge: 1186 -> 1156 -> 1126 -> 1096,
  // then 1066 would be too narrow and is refused; so is every move further left.
  const auto seen =
      Drag(kDesign, {{1185, 300}, {1155, 300}, {1125, 300}, {1095, 300}, {1065, 300}, {900, 300}});
  const double widths_px[] = {1156, 1126, 1096, 1096, 1096};
  for (size_t i = 0; i < seen.size(); ++i) {
    EXPECT_EQ(seen[i].width, widths_px[i] * 15) << i;
    EXPECT_EQ(seen[i].left, kDesign.left) << i;
    EXPECT_GE(seen[i].width, 16200) << i;
  }
}

TEST(BorderDrag, ARefusedStepKeepsTheStartPointSoTheDistanceAddsUp) {
  // At 1096 pixels, a move to 16 pixels narrower lands exactly on 1080 and applies; the
  // refused move before it did not move the start point.
  BorderDragState s;
  auto seen = Drag(kDesign, {{1185, 300}, {1095, 300}, {1000, 300}, {1079, 300}}, &s);
  EXPECT_EQ(seen[0].width, 1096 * 15);
  EXPECT_EQ(seen[1].width, 1096 * 15);  // 1001 pixels: refused
  EXPECT_EQ(seen[2].width, 1080 * 15);  // exactly the minimum
  EXPECT_EQ(s.startX, 1079 * 15);
}

TEST(BorderDrag, TopEdgeWaitsUntilTheWindowWouldBe750PixelsHigh) {
  // Design height 702: dragging the top edge up changes nothing until the height reaches 750,
  // that is 48 pixels up; the start point stays, so the mouse position relative to the
  // unmoved window keeps counting.
  BorderDragState s;
  const auto seen = Drag(kDesign, {{600, 0}, {600, -10}, {600, -47}, {600, -48}, {600, -60}}, &s);
  EXPECT_EQ(seen[0], kDesign);
  EXPECT_EQ(seen[1], kDesign);
  EXPECT_EQ(seen[2], (WindowTwips{1500, 120 - 48 * 15, 17790, 750 * 15}));
  // The window has moved up with the mouse; the next move is relative to the moved window
  // (-60 in old coordinates is -12 in new ones), so -60 here means a further 60 pixels.
  EXPECT_EQ(seen[3], (WindowTwips{1500, 120 - 108 * 15, 17790, 810 * 15}));
  EXPECT_EQ(s.startY, 0);
}

TEST(BorderDrag, BottomEdgeOfALowWindowCannotGrowUntilItReachesTheMinimum) {
  // The check applies to growing too: 702 + 30 = 732 is still below 750.
  const auto seen = Drag(kDesign, {{600, 701}, {600, 731}, {600, 749}, {600, 760}});
  EXPECT_EQ(seen[0], kDesign);
  EXPECT_EQ(seen[1], (WindowTwips{1500, 120, 17790, 750 * 15}));
  EXPECT_EQ(seen[2], (WindowTwips{1500, 120, 17790, 761 * 15}));
}

TEST(BorderDrag, LeftEdgeMovesTheLeftSideAndKeepsTheRightOne) {
  const auto seen = Drag(kDesign, {{0, 300}, {-20, 300}, {200, 300}});
  EXPECT_EQ(seen[0], (WindowTwips{1500 - 300, 120, 17790 + 300, 10530}));
  // Narrowing by 200 pixels would give 1006 pixels: refused.
  EXPECT_EQ(seen[1], seen[0]);
}

TEST(BorderDrag, CornersResizeBothWays) {
  WindowTwips big{0, 0, 1300 * 15, 900 * 15};
  auto seen = Drag(big, {{1299, 899}, {1309, 904}});
  EXPECT_EQ(seen[0], (WindowTwips{0, 0, 1310 * 15, 905 * 15}));
  seen = Drag(big, {{0, 0}, {-10, -20}});
  EXPECT_EQ(seen[0], (WindowTwips{-150, -300, 1310 * 15, 920 * 15}));
}

TEST(BorderDrag, MoveWholeFollowsTheMouse) {
  const auto seen = Drag(kDesign, {{300, 300}, {310, 295}});
  EXPECT_EQ(seen[0], (WindowTwips{1500 + 150, 120 - 75, 17790, 10530}));
}

TEST(BorderDrag, FreshStateIsCleared) {
  const BorderDragState s;
  EXPECT_EQ(s, (BorderDragState{0, 0, false, false, false, false, false}));
  // A press with nothing armed asks for no change.
  BorderDragState fresh;
  const BorderDragOutcome out = HandleBorderDrag(fresh, kDesign, 1, 40, 40);
  EXPECT_FALSE(out.window.has_value());
  EXPECT_EQ(out.title_bar_repaints, 5);
}

}  // namespace
}  // namespace kam::window
