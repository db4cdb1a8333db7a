#include "player/window/picture_in_picture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "player/window/window_test_text.h"

namespace kam::window {
namespace {

struct FakeWindows : PictureInPicturePort {
  PixelRect work{0, 0, 1600, 960};
  bool full_screen = false;
  std::vector<std::string> log;

  PixelRect WorkAreaOfMainWindow() const override { return work; }
  bool IsFullScreen(Ctl) const override { return full_screen; }
  void EndFullScreen(Ctl pane) override {
    full_screen = false;
    log.push_back("end full screen " + PaneName(pane));
  }
  void ShowSmallWindow(Ctl pane, const PixelRect& r, double) override {
    log.push_back("small " + PaneName(pane) + " " + RectText(r));
  }
  void PutPageBack(Ctl pane) override { log.push_back("back " + PaneName(pane)); }
  void TellPageLeft(Ctl pane) override { log.push_back("tell " + PaneName(pane)); }
};

PipAsk Pressed(Ctl pane = Ctl::W3) {
  PipAsk a;
  a.pane = pane;
  a.top_document = true;
  a.on_site = true;
  a.pressed = true;
  a.aspect = 16.0 / 9;
  return a;
}

TEST(PictureInPicture, OnlyTheSitesOwnPlayerPageWithAPressGetsAWindow) {
  struct Case {
    const char* name;
    PipAsk ask;
    PipAnswer want;
  };
  PipAsk no_press = Pressed();
  no_press.pressed = false;
  PipAsk frame = Pressed();
  frame.top_document = false;
  PipAsk other_site = Pressed();
  other_site.on_site = false;
  const Case cases[] = {
      {"the player page, pressed", Pressed(), PipAnswer::kEntered},
      {"no press", no_press, PipAnswer::kNotAllowed},
      {"a frame in the page", frame, PipAnswer::kNotAllowed},
      {"a document of another site", other_site, PipAnswer::kNotAllowed},
      {"the catalogue", Pressed(Ctl::listweb), PipAnswer::kNotSupported},
      {"the buffering page", Pressed(Ctl::qvod), PipAnswer::kNotSupported},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeWindows win;
    PictureInPicture pip(win);
    EXPECT_EQ(pip.OnRequest(c.ask), c.want);
    const bool entered = c.want == PipAnswer::kEntered;
    EXPECT_EQ(pip.active(), entered);
    EXPECT_EQ(win.log.size(), entered ? 1u : 0u);
    EXPECT_EQ(std::string(PipErrorName(c.want)).empty(), entered);
  }
}

TEST(PictureInPicture, AskingAgainWhileInOpensNoSecondWindow) {
  FakeWindows win;
  PictureInPicture pip(win);
  ASSERT_EQ(pip.OnRequest(Pressed()), PipAnswer::kEntered);
  PipAsk again = Pressed();
  for (int i = 0; i < 100; ++i) EXPECT_EQ(pip.OnRequest(again), PipAnswer::kAlreadyIn);
  again.pressed = false;
  EXPECT_EQ(pip.OnRequest(again), PipAnswer::kAlreadyIn);
  // A frame or another site is still refused, in or not.
  again.top_document = false;
  EXPECT_EQ(pip.OnRequest(again), PipAnswer::kNotAllowed);
  EXPECT_EQ(win.log, std::vector<std::string>{"small W3 1104,674 480x270"});
}

TEST(PictureInPicture, EveryCauseOfLeavingPutsThePageBackAndOnlyALivePageIsTold) {
  struct Case {
    PipLeave cause;
    bool told;
  };
  const Case cases[] = {
      {PipLeave::kPage, true},        {PipLeave::kCloseButton, true}, {PipLeave::kEscape, true},
      {PipLeave::kDoubleClick, true}, {PipLeave::kPaneHidden, true},  {PipLeave::kFullScreen, true},
      {PipLeave::kNavigation, false}, {PipLeave::kPlayerExit, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.cause));
    FakeWindows win;
    PictureInPicture pip(win);
    ASSERT_EQ(pip.OnRequest(Pressed()), PipAnswer::kEntered);
    win.log.clear();
    EXPECT_TRUE(pip.Leave(c.cause));
    EXPECT_FALSE(pip.active());
    std::vector<std::string> want{"back W3"};
    if (c.told) want.push_back("tell W3");
    EXPECT_EQ(win.log, want);
    // Leaving again does nothing.
    EXPECT_FALSE(pip.Leave(c.cause));
    EXPECT_EQ(win.log, want);
  }
}

TEST(PictureInPicture, AFullScreenPageLeavesFullScreenBeforeItsVideoGoesSmall) {
  FakeWindows win;
  win.full_screen = true;
  PictureInPicture pip(win);
  ASSERT_EQ(pip.OnRequest(Pressed()), PipAnswer::kEntered);
  EXPECT_EQ(win.log, (std::vector<std::string>{"end full screen W3", "small W3 1104,674 480x270"}));
}

TEST(PictureInPicture, TheNextWindowOfTheRunGoesWhereTheUserLeftTheLastOne) {
  FakeWindows win;
  PictureInPicture pip(win);
  // Before any window, a placement report means nothing.
  pip.OnUserPlaced({5, 5, 200, 100});
  ASSERT_EQ(pip.OnRequest(Pressed()), PipAnswer::kEntered);
  pip.OnUserPlaced({100, 50, 640, 360});
  pip.Leave(PipLeave::kCloseButton);
  win.log.clear();
  ASSERT_EQ(pip.OnRequest(Pressed()), PipAnswer::kEntered);
  EXPECT_EQ(win.log, std::vector<std::string>{"small W3 100,50 640x360"});
}

TEST(PictureInPicture, EachEntryNeedsItsOwnPressEvenRightAfterLeaving) {
  FakeWindows win;
  PictureInPicture pip(win);
  int windows = 0;
  // A page that leaves and asks again in a loop: one window per press only.
  for (int i = 0; i < 50; ++i) {
    PipAsk ask = Pressed();
    ask.pressed = i == 0;
    if (pip.OnRequest(ask) == PipAnswer::kEntered) ++windows;
    pip.Leave(PipLeave::kPage);
  }
  EXPECT_EQ(windows, 1);
}

}  // namespace
}  // namespace kam::window
