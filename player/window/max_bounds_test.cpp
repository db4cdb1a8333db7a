#include "player/window/max_bounds.h"

#include <gtest/gtest.h>

namespace kam::window {
namespace {

TEST(MaxBounds, TaskbarHeightIsTheBandTheWorkAreaLeavesFree) {
  struct Row {
    PixelRect screen, work;
    float twips;
  } rows[] = {
      {{0, 0, 1920, 1080}, {0, 0, 1920, 1040}, 40 * 15},   // bottom taskbar
      {{0, 0, 1920, 1080}, {0, 0, 1920, 1080}, 0},         // none
      {{0, 0, 1920, 1080}, {0, 30, 1920, 1050}, 30 * 15},  // top panel: its height
      {{0, 0, 1920, 1080}, {0, 0, 0, 0}, 0},               // nothing reported
  };
  for (const Row& r : rows) EXPECT_EQ(TaskbarHeightTwips(r.screen, r.work), r.twips);
}

TEST(MaxBounds, LoadHandlerStoresScreenWidthAndHeightLessTheTaskbar) {
  const MaxBounds b = LoadHandlerMaxBounds({0, 0, 1600, 1000}, {0, 0, 1600, 960});
  EXPECT_EQ(b, (MaxBounds{0, 0, 1600, 960}));
  EXPECT_EQ(LoadHandlerMaxBounds({0, 0, 1600, 1000}, {0, 0, 1600, 1000}),
            (MaxBounds{0, 0, 1600, 1000}));
}

TEST(MaxBounds, MaximisedWindowStopsAtABottomTaskbar) {
  const PixelRect screen{0, 0, 1600, 1000}, work{0, 0, 1600, 960};
  const PixelRect r = MaximisedRect(LoadHandlerMaxBounds(screen, work), screen, work);
  EXPECT_EQ(r, (PixelRect{0, 0, 1600, 960}));
  EXPECT_EQ(r.top + r.height, work.top + work.height);  // bottom edge on the taskbar's top
}

TEST(MaxBounds, SecondScreenUsesItsOwnCorner) {
  const PixelRect screen{1920, 0, 1280, 1024}, work{1920, 0, 1280, 1000};
  EXPECT_EQ(MaximisedRect(LoadHandlerMaxBounds(screen, work), screen, work),
            (PixelRect{1920, 0, 1280, 1000}));
}

TEST(MaxBounds, PanelsElsewhereLeaveTheWorkArea) {
  const PixelRect screen{0, 0, 1600, 1000};
  for (PixelRect work :
       {PixelRect{0, 28, 1600, 972}, PixelRect{64, 0, 1536, 1000}, PixelRect{0, 0, 1540, 1000}}) {
    EXPECT_EQ(MaximisedRect(LoadHandlerMaxBounds(screen, work), screen, work), work);
  }
}

TEST(MaxBounds, NoTaskbarGivesTheFullScreen) {
  const PixelRect screen{0, 0, 1600, 1000};
  EXPECT_EQ(MaximisedRect(LoadHandlerMaxBounds(screen, screen), screen, screen), screen);
}

}  // namespace
}  // namespace kam::window
