// The buffering countdown as a user reads it: the caption "缓冲倒计时：" and the number show whole
// in the few pixels of the strip above the window's bottom edge, side by side, at the design size
// and maximised. Screenshots of both go to the test's output folder.
#include <cstdio>

#include "tests/e2e/browse_fixture.h"
#include "tests/support/x_window.h"

namespace kam::testing {
namespace {

// Rows and columns of the display where a kind of ink shows: min and max of each; empty when
// none.
struct Ink {
  int top = 1 << 30, bottom = -1, left = 1 << 30, right = -1;
  bool empty() const { return bottom < 0; }
  void Add(int x, int y) {
    top = std::min(top, y);
    bottom = std::max(bottom, y);
    left = std::min(left, x);
    right = std::max(right, x);
  }
};

struct StripInk {
  Ink caption;  // grey on the strip's dark grey
  Ink number;   // yellow
};

// Reads the rectangle of the display pixel by pixel.
StripInk ReadStrip(int x, int y, int w, int h) {
  const std::string out = ShellOutput("timeout 20 import -window root -crop " + std::to_string(w) +
                                      "x" + std::to_string(h) + "+" + std::to_string(x) + "+" +
                                      std::to_string(y) + " -depth 8 txt:- 2>/dev/null");
  StripInk ink;
  std::size_t at = 0;
  while ((at = out.find('\n', at)) != std::string::npos) {
    ++at;
    int px = 0, py = 0, r = 0, g = 0, b = 0;
    if (std::sscanf(out.c_str() + at, "%d,%d: (%d,%d,%d", &px, &py, &r, &g, &b) != 5) continue;
    if (r - b > 60 && g - b > 60) {
      ink.number.Add(x + px, y + py);
    } else if (std::abs(r - b) < 12 && std::abs(r - g) < 12 && r >= 88) {
      ink.caption.Add(x + px, y + py);
    }
  }
  return ink;
}

class CountdownE2E : public BrowseE2E, public ::testing::WithParamInterface<bool> {};

TEST_P(CountdownE2E, CaptionAndNumberShowWholeAboveTheBottomEdge) {
  const bool maximised = GetParam();
  // 5 to 100004 ticks: the overlay outlives even a slow look at it (with "20" it can end
  // after 5 s, before a busy machine takes the screenshot).
  UseSettings("2", "100000");
  ASSERT_TRUE(StartServerPatiently());
  auto player = Start();
  std::string window;
  ASSERT_TRUE(WaitUntil(
      [&] {
        for (const std::string& w : VisibleWindowsOf(player->pid())) {
          if (WindowGeometry(w).width >= 1000) window = w;
        }
        return !window.empty();
      },
      seconds(60)));
  auto listweb = Catalogue();
  ASSERT_TRUE(listweb);
  if (maximised) {
    const int w = WindowGeometry(window).width;
    ClickWindow(window, 1, w - 63, 23);  // the maximise button
    ASSERT_TRUE(WaitUntil([&] { return WindowGeometry(window).width > w; }, seconds(10)));
  }
  Xdo("mousemove 0 0");
  ASSERT_TRUE(listweb->ClickElement(".hero a.btn-play"));
  auto qvod = Pane(Base() + "/huangchong.html");
  ASSERT_TRUE(qvod);
  ASSERT_TRUE(WaitForScript(*qvod, "document.visibilityState === 'visible'", seconds(10)));
  std::this_thread::sleep_for(milliseconds(1500));
  EXPECT_TRUE(SaveScreenshot(maximised ? "countdown-maximised" : "countdown-design-size"));

  // The strip's visible part: the 20 rows above the player area's bottom (2 pixels above the
  // window's), left of the side panel's strip.
  const Geometry g = WindowGeometry(window);
  const int bottom = g.y + g.height - 2;  // first row below the player area
  const int right = g.x + 1 + (g.width - 2 - 310);
  const StripInk ink = ReadStrip(g.x + 1, bottom - 24, right - g.x - 1, 24);
  std::printf("[ measure ] caption rows %d-%d cols %d-%d, number rows %d-%d cols %d-%d, edge %d\n",
              ink.caption.top, ink.caption.bottom, ink.caption.left, ink.caption.right,
              ink.number.top, ink.number.bottom, ink.number.left, ink.number.right, bottom);
  ASSERT_FALSE(ink.caption.empty()) << "no caption in the strip";
  ASSERT_FALSE(ink.number.empty()) << "no number in the strip";
  // Whole: the ink stops at least a row short of the edge, inside the strip's visible part.
  EXPECT_LT(ink.caption.bottom, bottom - 1);
  EXPECT_LT(ink.number.bottom, bottom - 1);
  EXPECT_GE(ink.caption.top, bottom - 20);
  EXPECT_GE(ink.number.top, bottom - 20);
  // Side by side: the number begins right of the caption's last character.
  EXPECT_LT(ink.caption.right, ink.number.left);
}

INSTANTIATE_TEST_SUITE_P(DesignAndMaximised, CountdownE2E, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return info.param ? std::string("Maximised") : std::string("DesignSize");
                         });

}  // namespace
}  // namespace kam::testing
