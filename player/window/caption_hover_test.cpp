#include "player/window/caption_hover.h"

#include <gtest/gtest.h>

namespace kam::window {
namespace {

using WS = WindowState;

TEST(CaptionHover, TableOfImagesAfterAMove) {
  struct Row {
    Ctl over;
    WS state;
    CaptionImages want;
  } rows[] = {
      {Ctl::gb, WS::kNormal, {Pic::gb2, Pic::max1, Pic::min1, Pic::sz1}},
      {Ctl::max, WS::kNormal, {Pic::gb1, Pic::max2, Pic::min1, Pic::sz1}},
      {Ctl::min, WS::kNormal, {Pic::gb1, Pic::max1, Pic::min2, Pic::sz1}},
      {Ctl::sz, WS::kNormal, {Pic::gb1, Pic::max1, Pic::min1, Pic::sz2}},
      {Ctl::bj, WS::kNormal, {Pic::gb1, Pic::max1, Pic::min1, Pic::sz1}},
      {Ctl::gb, WS::kMaximised, {Pic::gb2, Pic::max3, Pic::min1, Pic::sz1}},
      {Ctl::max, WS::kMaximised, {Pic::gb1, Pic::max4, Pic::min1, Pic::sz1}},
      {Ctl::min, WS::kMaximised, {Pic::gb1, Pic::max3, Pic::min2, Pic::sz1}},
      {Ctl::sz, WS::kMaximised, {Pic::gb1, Pic::max3, Pic::min1, Pic::sz2}},
      {Ctl::bj, WS::kMaximised, {Pic::gb1, Pic::max3, Pic::min1, Pic::sz1}},
      // Minimised: max keeps its image, the others follow the table.
      {Ctl::max, WS::kMinimised, {Pic::gb1, std::nullopt, Pic::min1, Pic::sz1}},
      {Ctl::gb, WS::kMinimised, {Pic::gb2, std::nullopt, Pic::min1, Pic::sz1}},
      {Ctl::bj, WS::kMinimised, {Pic::gb1, std::nullopt, Pic::min1, Pic::sz1}},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(CaptionImagesAfterMove(r.over, r.state), r.want)
        << "over " << int(r.over) << " state " << int(r.state);
  }
}

TEST(CaptionHover, TabFramesLightTheSelectedAndTheHoveredTab) {
  struct Row {
    int hovered, selected;
    TabFrames want;
  } rows[] = {
      {0, 0, {150, 0}},
      {0, 1, {150, 150}},
      {1, 0, {150, 150}},
      {1, 1, {0, 150}},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(TabFramesOnHover(r.hovered, r.selected), r.want) << r.hovered << r.selected;
  }
  EXPECT_EQ(TabFramesAtRest(0), (TabFrames{150, 0}));
  EXPECT_EQ(TabFramesAtRest(1), (TabFrames{0, 150}));
}

TEST(CaptionHover, CaptureButtonsFollowTheMouse) {
  using C = CaptureMove::Capture;
  const Size bin{31, 31};
  struct Row {
    double x, y;
    bool pressed;
    CaptureMove want;
  } rows[] = {
      {15, 15, false, {C::kTake, true}},
      {15, 15, true, {C::kTake, true}},
      {1, 1, false, {C::kTake, true}},
      {30.5, 30.5, false, {C::kTake, true}},
      // The edges themselves and everything beyond count as outside.
      {0, 15, false, {C::kRelease, false}},
      {15, 0, false, {C::kRelease, false}},
      {31, 15, false, {C::kRelease, false}},
      {15, 31, false, {C::kRelease, false}},
      {-40, 200, false, {C::kRelease, false}},
      // A held button keeps the capture while the frame goes back to normal.
      {-40, 200, true, {C::kKeep, false}},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(CaptureHoverAfterMove(r.x, r.y, bin, r.pressed), r.want) << r.x << "," << r.y;
  }
}

}  // namespace
}  // namespace kam::window
