// The player window's chrome as a user meets it: the real program on the test display, the real
// pointer moved and clicked with xdotool, what the display shows read back from screenshots.
// Screenshots of the window at its design size, maximised, with the side panel hidden and at
// twice the scale go to the test's output folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "tests/support/program_dir_fixture.h"
#include "tests/support/x_window.h"

namespace kam::testing {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

struct Rgb {
  int r = -1, g = -1, b = -1;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

std::ostream& operator<<(std::ostream& os, const Rgb& c) {
  return os << "RGB(" << c.r << ", " << c.g << ", " << c.b << ")";
}

// One pixel of the display as it shows now.
Rgb ScreenPixel(int x, int y) {
  const std::string out =
      ShellOutput("timeout 10 import -window root -crop 1x1+" + std::to_string(x) + "+" +
                  std::to_string(y) + " -depth 8 txt:- 2>/dev/null");
  Rgb c;
  const auto at = out.find("0,0: (");
  if (at != std::string::npos) std::sscanf(out.c_str() + at, "0,0: (%d,%d,%d", &c.r, &c.g, &c.b);
  return c;
}

// Whether the catalogue page has painted in the window whose top-left corner is at (wx, wy) on
// the display (empty: the test display), at scale device pixels per window pixel: the site's
// dark blue in its navigation bar, and pictures and words (not one flat colour) below it.
bool CataloguePainted(const std::string& display, int wx, int wy, int scale) {
  const std::string env = display.empty() ? "" : "DISPLAY=" + display + " ";
  const std::string nav = ShellOutput(
      env + "timeout 10 import -window root -crop 1x1+" + std::to_string(wx + 700 * scale) + "+" +
      std::to_string(wy + 95 * scale) + " -depth 8 txt:- 2>/dev/null");
  Rgb c;
  const auto at = nav.find("0,0: (");
  if (at == std::string::npos) return false;
  std::sscanf(nav.c_str() + at, "0,0: (%d,%d,%d", &c.r, &c.g, &c.b);
  if (c.b <= c.r + 8) return false;
  const std::string spread = ShellOutput(
      env + "timeout 10 import -window root -crop " + std::to_string(600 * scale) + "x" +
      std::to_string(400 * scale) + "+" + std::to_string(wx + 100 * scale) + "+" +
      std::to_string(wy + 130 * scale) + " -format '%[fx:standard_deviation]' info: 2>/dev/null");
  return std::atof(spread.c_str()) > 0.1;
}

// Each move is its own motion event: the pause keeps the toolkit from folding moves together.
void MouseTo(int x, int y) {
  Xdo("mousemove " + std::to_string(x) + " " + std::to_string(y));
  std::this_thread::sleep_for(milliseconds(60));
}

// Design positions inside the window at 1186 x 702 (the title bar starts at (1, 1)).
constexpr int kBar = 1;
int GbLeft(int width) { return kBar + width - 2 - 41; }
int MaxLeft(int width) { return kBar + width - 2 - 78; }
int MinLeft(int width) { return kBar + width - 2 - 115; }
int SzLeft(int width) { return kBar + width - 2 - 152; }
constexpr int kButtonTop = kBar + 10;

// The demo site's home page title: the catalogue has loaded.
constexpr char kHomeTitle[] = "看吧影院 - 经典影视 在线观看";

const Rgb kBarDark{25, 25, 25};
const Rgb kHoverGrey{54, 54, 54};
const Rgb kCloseRed{168, 0, 0};

class ChromeE2E : public PlayerE2E {
 protected:
  // Starts the player and waits for its window at the design size.
  void SetUp() override {
    MouseTo(0, 0);  // away from where the window will be, so nothing starts lit
    ASSERT_TRUE(StartServer());
    player_ = RunPlayer({});
    ASSERT_TRUE(player_->started());
    // The window of this process (a window of the previous test may still be going away).
    ASSERT_TRUE(WaitUntil(
        [&] {
          for (const std::string& w : VisibleWindowsOf(player_->pid())) {
            if (WindowGeometry(w).width == 1186) {
              window_ = w;
              return true;
            }
          }
          return false;
        },
        seconds(60)));
    // The catalogue page loaded (the screenshots show it), then a moment to paint.
    const std::string home = server_->BaseUrl() + "/";
    WaitForPage(
        devtools_, [&](const PageTarget& p) { return p.url == home; }, seconds(30));
    std::this_thread::sleep_for(seconds(2));
  }

  Geometry Now() { return WindowGeometry(window_); }
  // Waits until the pixel at window position (x, y) shows colour c.
  bool PixelBecomes(int x, int y, Rgb c, milliseconds timeout = milliseconds(5000)) {
    const Geometry g = Now();
    Rgb seen;
    const bool ok = WaitUntil(
        [&] {
          seen = ScreenPixel(g.x + x, g.y + y);
          return seen == c;
        },
        timeout);
    if (!ok) ADD_FAILURE() << "at (" << x << ", " << y << ") saw " << seen << ", wanted " << c;
    return ok;
  }
  // Waits (at most 40 s) until the catalogue page has painted, for the screenshots; a slow page
  // fails nothing here.
  void WaitForCatalogue() {
    WaitUntil(
        [&] {
          const Geometry g = Now();
          return CataloguePainted("", g.x, g.y, 1);
        },
        seconds(40));
    std::this_thread::sleep_for(seconds(1));
  }
  void MouseInWindow(int x, int y) {
    const Geometry g = Now();
    MouseTo(g.x + x, g.y + y);
  }
  void ClickInWindow(int x, int y) {
    MouseInWindow(x, y);
    std::this_thread::sleep_for(milliseconds(150));
    Xdo("click 1");
  }

  std::unique_ptr<ProgramRun> player_;
  std::string window_;
};

TEST_F(ChromeE2E, CaptionButtonsLightUnderThePointer) {
  const int w = 1186;
  WaitForCatalogue();
  EXPECT_TRUE(SaveScreenshot("design-size"));
  // At rest every button shows the bar's colour in its corner.
  PixelBecomes(GbLeft(w) + 2, kButtonTop + 2, kBarDark);
  MouseInWindow(GbLeft(w) + 17, kButtonTop + 12);
  PixelBecomes(GbLeft(w) + 2, kButtonTop + 2, kCloseRed);
  EXPECT_TRUE(SaveScreenshot("close-hover"));
  MouseInWindow(MaxLeft(w) + 17, kButtonTop + 12);
  PixelBecomes(MaxLeft(w) + 2, kButtonTop + 2, kHoverGrey);
  PixelBecomes(GbLeft(w) + 2, kButtonTop + 2, kBarDark);
  MouseInWindow(MinLeft(w) + 17, kButtonTop + 12);
  PixelBecomes(MinLeft(w) + 2, kButtonTop + 2, kHoverGrey);
  MouseInWindow(SzLeft(w) + 17, kButtonTop + 12);
  PixelBecomes(SzLeft(w) + 2, kButtonTop + 2, kHoverGrey);
  PixelBecomes(MinLeft(w) + 2, kButtonTop + 2, kBarDark);
  // The bar's own surface puts every button back.
  MouseInWindow(700, 30);
  PixelBecomes(SzLeft(w) + 2, kButtonTop + 2, kBarDark);
}

TEST_F(ChromeE2E, TabLightsUnderThePointer) {
  // Tab 1 (the player) at (320, 1) in the bar: normal, then lit under the pointer.
  const int tab1_x = kBar + 320 + 5, tab1_y = kBar + 1 + 5;
  PixelBecomes(tab1_x, tab1_y, kBarDark);
  MouseInWindow(kBar + 320 + 70, kBar + 33);
  PixelBecomes(tab1_x, tab1_y, Rgb{37, 37, 37});
  MouseInWindow(700, 30);
  PixelBecomes(tab1_x, tab1_y, kBarDark);
}

TEST_F(ChromeE2E, MaximiseAndRestore) {
  const Geometry normal = Now();
  ClickInWindow(MaxLeft(1186) + 17, kButtonTop + 12);
  const std::string screen = ShellOutput("xdotool getdisplaygeometry");
  int sw = 0, sh = 0;
  ASSERT_EQ(std::sscanf(screen.c_str(), "%d %d", &sw, &sh), 2);
  // No panel reserves space on the test display: the work area is the whole screen.
  ASSERT_TRUE(WaitUntil([&] { return Now() == Geometry{0, 0, sw, sh}; }, seconds(10))) << Now();
  // The restore button sits at the new right edge and lights under the pointer.
  MouseInWindow(MaxLeft(sw) + 17, kButtonTop + 12);
  PixelBecomes(MaxLeft(sw) + 2, kButtonTop + 2, kHoverGrey);
  MouseInWindow(sw / 2, 30);
  WaitForCatalogue();  // the page paints at its new size
  EXPECT_TRUE(SaveScreenshot("maximised"));
  // A maximised window ignores its frame.
  MouseTo(sw - 1, sh / 2);
  Xdo("mousedown 1");
  MouseTo(sw - 200, sh / 2);
  Xdo("mouseup 1");
  std::this_thread::sleep_for(milliseconds(500));
  EXPECT_EQ(Now(), (Geometry{0, 0, sw, sh}));
  ClickInWindow(MaxLeft(sw) + 17, kButtonTop + 12);
  ASSERT_TRUE(WaitUntil([&] { return Now() == normal; }, seconds(10))) << Now();
  // Double-clicking the title bar maximises and restores too.
  MouseInWindow(700, 30);
  std::this_thread::sleep_for(milliseconds(150));
  Xdo("click --repeat 2 --delay 80 1");
  ASSERT_TRUE(WaitUntil([&] { return Now() == Geometry{0, 0, sw, sh}; }, seconds(10))) << Now();
  MouseInWindow(700, 30);
  std::this_thread::sleep_for(milliseconds(150));
  Xdo("click --repeat 2 --delay 80 1");
  EXPECT_TRUE(WaitUntil([&] { return Now() == normal; }, seconds(10))) << Now();
}

TEST_F(ChromeE2E, TitleBarDragMovesTheWindow) {
  const Geometry start = Now();
  MouseInWindow(700, 30);
  Xdo("mousedown 1");
  for (int i = 1; i <= 10; ++i) MouseTo(start.x + 700 + 10 * i, start.y + 30 + 6 * i);
  Xdo("mouseup 1");
  EXPECT_TRUE(WaitUntil(
      [&] {
        return Now() == Geometry{start.x + 100, start.y + 60, start.width, start.height};
      },
      seconds(5)))
      << Now() << " from " << start;
}

TEST_F(ChromeE2E, FrameDragResizesWithinTheMinimum) {
  const Geometry start = Now();
  // Right edge: 20 pixels out widens by 20; far in stops at 1080.
  const int edge_x = start.x + start.width - 1, mid_y = start.y + 300;
  MouseTo(edge_x - 3, mid_y);
  MouseTo(edge_x, mid_y);
  Xdo("mousedown 1");
  MouseTo(edge_x + 10, mid_y);
  MouseTo(edge_x + 20, mid_y);
  Xdo("mouseup 1");
  ASSERT_TRUE(WaitUntil([&] { return Now().width == start.width + 20; }, seconds(5))) << Now();
  const int new_edge = start.x + start.width + 20 - 1;
  MouseTo(new_edge - 3, mid_y);
  MouseTo(new_edge, mid_y);
  Xdo("mousedown 1");
  // 21-pixel steps: 1185, 1164, ... 1080 after six, then every further step is refused. Each
  // step is seen through before the next, so no two moves fold into one.
  for (int i = 1; i <= 8; ++i) {
    MouseTo(new_edge - 21 * i, mid_y);
    const int want = std::max(1080, start.width + 20 - 21 * i);
    EXPECT_TRUE(WaitUntil([&] { return Now().width == want; }, seconds(3)))
        << Now() << " step " << i;
  }
  Xdo("mouseup 1");
  EXPECT_EQ(Now().width, 1080);
  EXPECT_EQ(Now().x, start.x);
  // Top edge of a 702-pixel window: nothing until 750 pixels high, then it follows. Moved
  // down first, so the pointer can go above it.
  Xdo("windowmove " + window_ + " " + std::to_string(start.x) + " 200");
  ASSERT_TRUE(WaitUntil([&] { return Now().y == 200; }, seconds(5))) << Now();
  const Geometry before = Now();
  const int top_y = before.y, mid_x = before.x + 600;
  MouseTo(mid_x, top_y + 3);
  MouseTo(mid_x, top_y);
  Xdo("mousedown 1");
  MouseTo(mid_x, top_y - 20);
  std::this_thread::sleep_for(milliseconds(500));
  EXPECT_EQ(Now().height, 702);
  MouseTo(mid_x, top_y - 60);
  Xdo("mouseup 1");
  EXPECT_TRUE(WaitUntil([&] { return Now().height == 762; }, seconds(5))) << Now();
  EXPECT_EQ(Now().y, before.y - 60);
}

TEST_F(ChromeE2E, SidePanelHiddenScreenshot) {
  // The first episode of the featured title plays (the player tab comes to the front and the
  // play list fills); then the handle folds the side panel away.
  WaitForCatalogue();
  ClickInWindow(130, 435);
  const int tab1_x = kBar + 320 + 5, tab1_y = kBar + 1 + 5;
  const Geometry g = Now();
  if (!WaitUntil(
          [&] {
            return ScreenPixel(g.x + tab1_x, g.y + tab1_y) == Rgb{37, 37, 37};
          },
          seconds(20))) {
    ClickInWindow(kBar + 320 + 70, kBar + 33);  // no playback: the player tab by hand
  }
  MouseInWindow(600, 400);
  // The buffering countdown (10 s) runs out and the player page shows.
  std::this_thread::sleep_for(seconds(12));
  EXPECT_TRUE(SaveScreenshot("player-tab"));
  const int handle_x = 1 + 874 + 5, handle_y = 68 + 266 + 64;
  // The handle lights under the pointer.
  MouseInWindow(handle_x, handle_y - 50);
  PixelBecomes(handle_x, handle_y - 50, Rgb{58, 58, 58});
  ClickInWindow(handle_x, handle_y);
  // The strip moved to the right edge and went black.
  PixelBecomes(1 + 1174 + 5, 68 + 20, Rgb{0, 0, 0});
  MouseInWindow(600, 400);
  std::this_thread::sleep_for(milliseconds(600));
  EXPECT_TRUE(SaveScreenshot("side-panel-hidden"));
}

// A display of its own, larger than the test display, for the window at twice the scale.
class BigDisplay {
 public:
  BigDisplay() {
    for (int n = 150; n < 200 && name_.empty(); ++n) {
      if (std::filesystem::exists("/tmp/.X" + std::to_string(n) + "-lock")) continue;
      const std::string name = ":" + std::to_string(n);
      run_ = std::make_unique<ProgramRun>(
          "/usr/bin/Xvfb",
          // -noreset: else the server resets when the probe below leaves, and the player
          // connecting at that moment is refused.
          std::vector<std::string>{name, "-screen", "0", "2600x1600x24", "-nolisten", "tcp",
                                   "-noreset"});
      if (WaitUntil(
              [&] {
                return ShellOutput("xdpyinfo -display " + name + " >/dev/null 2>&1 && echo up")
                           .find("up") != std::string::npos;
              },
              seconds(5))) {
        name_ = name;
      } else {
        run_.reset();
      }
    }
  }
  const std::string& name() const { return name_; }

 private:
  std::unique_ptr<ProgramRun> run_;
  std::string name_;
};

TEST_F(PlayerE2E, ScaledTwiceScreenshot) {
  BigDisplay display;
  ASSERT_FALSE(display.name().empty()) << "no second display";
  ASSERT_TRUE(StartServer());
  ProgramRun player(
      prog_.path() / "kamplayer", {},
      {RemoteDebuggingEnv(devtools_), "DISPLAY=" + display.name(), "QT_SCALE_FACTOR=2"},
      TestOutputDir() / "kamplayer.log");
  ASSERT_TRUE(player.started());
  const std::string xdo = "DISPLAY=" + display.name() + " timeout 5 xdotool ";
  std::string window;
  ASSERT_TRUE(WaitUntil(
      [&] {
        window = ShellOutput(xdo + "search --onlyvisible --pid " + std::to_string(player.pid()) +
                             " 2>/dev/null | head -1");
        while (!window.empty() && window.back() == '\n') window.pop_back();
        if (window.empty()) return false;
        return ShellOutput(xdo + "getwindowgeometry " + window).find("2372x1404") !=
               std::string::npos;
      },
      seconds(60)))
      << "the window never showed at twice its design size";
  // The page has painted (slow at this size on a busy machine); a screenshot regardless.
  {
    const std::string out = ShellOutput(xdo + "getwindowgeometry --shell " + window);
    Geometry at;
    std::sscanf(out.c_str() + out.find("X="), "X=%d\nY=%d", &at.x, &at.y);
    WaitUntil([&] { return CataloguePainted(display.name(), at.x, at.y, 2); }, seconds(90));
    std::this_thread::sleep_for(seconds(1));
  }
  const auto file = TestOutputDir() / "scaled-2x.png";
  const std::string shot = "DISPLAY=" + display.name() + " timeout 20 import -window root " +
                           file.string() + " >/dev/null 2>&1";
  EXPECT_EQ(std::system(shot.c_str()), 0);
  EXPECT_TRUE(std::filesystem::exists(file));
  // The close button's glyph is drawn at the device resolution: its cross has pixels of the
  // full glyph grey in the middle of the 70 x 50 device-pixel button.
  const Geometry g = [&] {
    const std::string out = ShellOutput(xdo + "getwindowgeometry --shell " + window);
    Geometry r;
    std::sscanf(out.c_str() + out.find("X="), "X=%d\nY=%d", &r.x, &r.y);
    return r;
  }();
  const std::string px = ShellOutput(
      "convert " + file.string() + " -crop 1x1+" + std::to_string(g.x + 2 * (1 + 1143 + 17)) + "+" +
      std::to_string(g.y + 2 * (11 + 12)) + " -depth 8 txt:- 2>/dev/null");
  Rgb c;
  const auto at = px.find("0,0: (");
  ASSERT_NE(at, std::string::npos);
  std::sscanf(px.c_str() + at, "0,0: (%d,%d,%d", &c.r, &c.g, &c.b);
  EXPECT_GE(c.r, 140) << c << " at " << g.x << "," << g.y << "\n"
                      << ShellOutput("DISPLAY=" + display.name() + " xwininfo -root -tree");
}

}  // namespace
}  // namespace kam::testing
