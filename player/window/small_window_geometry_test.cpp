#include "player/window/small_window_geometry.h"

#include <gtest/gtest.h>

#include <ostream>

namespace kam::window {

void PrintTo(const PixelRect& r, std::ostream* os) {
  *os << r.left << "," << r.top << " " << r.width << "x" << r.height;
}

namespace {

// A 1600 x 1000 screen with a 40-pixel panel at the bottom, and a second screen to its right.
const PixelRect kWork{0, 0, 1600, 960};
const PixelRect kSecond{1600, 0, 1280, 1024};

TEST(SmallWindowGeometry, DefaultIsTheVideoFittedIntoTheBoxAtTheBottomRightOfTheWorkArea) {
  struct Case {
    const char* name;
    PixelRect work;
    double aspect;
    PixelRect want;
  };
  const Case cases[] = {
      {"16:9 fills the box", kWork, 16.0 / 9, {1104, 674, 480, 270}},
      {"no picture yet counts as 16:9", kWork, 0, {1104, 674, 480, 270}},
      {"4:3 is narrower", kWork, 4.0 / 3, {1224, 674, 360, 270}},
      {"wide screen is lower", kWork, 2.4, {1104, 744, 480, 200}},
      {"portrait keeps its shape", kWork, 9.0 / 16, {1432, 674, 152, 270}},
      {"a ratio no video has is 16:9", kWork, 1000, {1104, 674, 480, 270}},
      {"a negative ratio is 16:9", kWork, -1, {1104, 674, 480, 270}},
      {"the main window's own screen", kSecond, 16.0 / 9, {2384, 738, 480, 270}},
      {"a tiny work area keeps the window on it", {0, 0, 400, 200}, 16.0 / 9, {0, 0, 480, 270}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(DefaultSmallWindow(c.work, c.aspect), c.want);
  }
}

TEST(SmallWindowGeometry, CornerDragKeepsTheAspectAndTheTopLeftCorner) {
  const PixelRect start{100, 100, 480, 270};
  const double a = 16.0 / 9;
  struct Case {
    const char* name;
    int dx, dy;
    PixelRect want;
  };
  const Case cases[] = {
      {"right pulls the height along", 160, 0, {100, 100, 640, 360}},
      {"down pulls the width along", 0, 90, {100, 100, 640, 360}},
      {"the further side wins", 16, 90, {100, 100, 640, 360}},
      {"smaller", -240, -135, {100, 100, 240, 135}},
      {"never below the minimum", -470, -260, {100, 100, 160, 90}},
      {"no further than the work area's corner", 2000, 2000, {100, 100, 1422, 800}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const PixelRect r = ResizedSmallWindow(start, c.dx, c.dy, a, {0, 0, 1600, 900});
    EXPECT_EQ(r, c.want);
  }
}

TEST(SmallWindowGeometry, ReusedWindowKeepsItsPlaceAndWidthAndTakesTheNewVideosShape) {
  EXPECT_EQ(ReusedSmallWindow({100, 100, 640, 360}, kWork, 16.0 / 9),
            (PixelRect{100, 100, 640, 360}));
  EXPECT_EQ(ReusedSmallWindow({100, 100, 640, 360}, kWork, 4.0 / 3),
            (PixelRect{100, 100, 640, 480}));
  // Left on a screen that is gone, or partly off this one: moved back inside.
  EXPECT_EQ(ReusedSmallWindow({1500, 900, 480, 270}, kWork, 16.0 / 9),
            (PixelRect{1120, 690, 480, 270}));
  // Larger than the work area now: as large as it fits.
  EXPECT_EQ(ReusedSmallWindow({0, 0, 3000, 1688}, kWork, 16.0 / 9), (PixelRect{0, 0, 1600, 900}));
}

}  // namespace
}  // namespace kam::window
