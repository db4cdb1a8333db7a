#include "player/window/full_screen.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "player/window/window_test_text.h"

namespace kam::window {
namespace {

// A window that really moves: covering the screen changes what Placement() reports, as the
// toolkit would, so a placement taken at the wrong time shows.
struct FakeWindow : FullScreenPort {
  WindowPlacement now;
  PixelRect screen{0, 0, 1600, 1000};
  std::vector<std::string> log;

  WindowPlacement Placement() const override { return now; }
  PixelRect ScreenOfWindow() const override { return screen; }
  void ShowPageOverWindow(Ctl pane, const PixelRect& r) override {
    log.push_back("cover " + PaneName(pane) + " " + RectText(r));
    now = {WindowState::kNormal, r};
  }
  void PutPageBack(Ctl pane) override { log.push_back("back " + PaneName(pane)); }
  void Place(const WindowPlacement& p) override {
    log.push_back("place " + RectText(p.geometry));
    now = p;
  }
  void TellPageToLeave(Ctl pane) override { log.push_back("tell " + PaneName(pane)); }
};

const WindowPlacement kNormal{WindowState::kNormal, {207, 8, 1186, 702}};
const WindowPlacement kMaximised{WindowState::kMaximised, {0, 0, 1600, 960}};

TEST(FullScreen, PageLeavingPutsTheWindowBackAsItWasNormalOrMaximised) {
  for (const WindowPlacement& before : {kNormal, kMaximised}) {
    SCOPED_TRACE(RectText(before.geometry));
    FakeWindow win;
    win.now = before;
    FullScreen fs(win);
    EXPECT_TRUE(fs.OnRequest(Ctl::W3, true));
    EXPECT_TRUE(fs.active());
    EXPECT_EQ(fs.pane(), Ctl::W3);
    EXPECT_TRUE(fs.OnRequest(Ctl::W3, false));
    EXPECT_FALSE(fs.active());
    EXPECT_EQ(win.now, before);
    EXPECT_EQ(win.log, (std::vector<std::string>{"cover W3 0,0 1600x1000", "back W3",
                                                 "place " + RectText(before.geometry)}));
  }
}

TEST(FullScreen, OnlyTheCatalogueAndPlayerPanesAndOnlyOnScreen) {
  FakeWindow win;
  win.now = kNormal;
  FullScreen fs(win);
  EXPECT_FALSE(fs.OnRequest(Ctl::qvod, true));
  EXPECT_FALSE(fs.active());
  win.now.state = WindowState::kMinimised;
  EXPECT_FALSE(fs.OnRequest(Ctl::W3, true));
  EXPECT_TRUE(win.log.empty());
  win.now = kNormal;
  EXPECT_TRUE(fs.OnRequest(Ctl::listweb, true));
  // One page at a time: the other pane waits until the first has left.
  EXPECT_FALSE(fs.OnRequest(Ctl::W3, true));
  EXPECT_EQ(fs.pane(), Ctl::listweb);
  // A leave from the pane that is not full screen is granted and changes nothing.
  EXPECT_TRUE(fs.OnRequest(Ctl::W3, false));
  EXPECT_TRUE(fs.active());
  EXPECT_EQ(win.log.size(), 1u);
}

TEST(FullScreen, RepeatedAndQuickRequestsNeverLeaveAWrongGeometry) {
  FakeWindow win;
  win.now = kMaximised;
  FullScreen fs(win);
  for (int round = 0; round < 20; ++round) {
    EXPECT_TRUE(fs.OnRequest(Ctl::W3, true));
    // Asking again while covering must not take the covering rectangle as the one to restore.
    EXPECT_TRUE(fs.OnRequest(Ctl::W3, true));
    EXPECT_TRUE(fs.OnRequest(Ctl::W3, false));
    EXPECT_EQ(win.now, kMaximised) << "round " << round;
    // A second leave finds nothing to put back.
    EXPECT_TRUE(fs.OnRequest(Ctl::W3, false));
    EXPECT_EQ(win.now, kMaximised);
  }
  EXPECT_EQ(win.log.size(), 60u);  // cover, back, place per round
}

TEST(FullScreen, EscapeAndHidingLeaveFirstThenTellThePage) {
  struct Row {
    const char* name;
    void (*act)(FullScreen&);
    bool leaves;
  } rows[] = {
      {"escape", [](FullScreen& f) { f.OnEscape(); }, true},
      {"pane hidden", [](FullScreen& f) { f.OnHidden(Ctl::W3); }, true},
      {"window hidden", [](FullScreen& f) { f.OnHidden(Ctl::Form1); }, true},
      {"other pane hidden", [](FullScreen& f) { f.OnHidden(Ctl::listweb); }, false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    FakeWindow win;
    win.now = kNormal;
    FullScreen fs(win);
    ASSERT_TRUE(fs.OnRequest(Ctl::W3, true));
    win.log.clear();
    r.act(fs);
    EXPECT_EQ(fs.active(), !r.leaves);
    if (!r.leaves) {
      EXPECT_TRUE(win.log.empty());
      continue;
    }
    EXPECT_EQ(win.log, (std::vector<std::string>{"back W3", "place " + RectText(kNormal.geometry),
                                                 "tell W3"}));
    // The page's own leave request that follows finds the window already back.
    EXPECT_TRUE(fs.OnRequest(Ctl::W3, false));
    EXPECT_EQ(win.log.size(), 3u);
    EXPECT_EQ(win.now, kNormal);
  }
}

TEST(FullScreen, NothingToDoWhileNotFullScreen) {
  FakeWindow win;
  win.now = kNormal;
  FullScreen fs(win);
  fs.OnEscape();
  fs.OnHidden(Ctl::W3);
  fs.OnHidden(Ctl::Form1);
  EXPECT_TRUE(fs.OnRequest(Ctl::W3, false));
  EXPECT_TRUE(win.log.empty());
  EXPECT_FALSE(fs.pane().has_value());
}

}  // namespace
}  // namespace kam::window
