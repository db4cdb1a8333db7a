#include "player/desktop/screen_awake.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kam::desktop {
namespace {

using std::chrono::milliseconds;
using T = ScreenAwake::Clock::time_point;

class RecordingHold : public ScreenHoldPort {
 public:
  void Hold() override { calls.push_back("hold"); }
  void Release() override { calls.push_back("release"); }
  std::vector<std::string> calls;
};

T At(int ms) { return T{} + milliseconds(ms); }

class ScreenAwakeTest : public ::testing::Test {
 protected:
  RecordingHold hold_;
  ScreenAwake awake_{hold_};
};

TEST_F(ScreenAwakeTest, VideoPlayingInAShownPaneHoldsAtOnce) {
  awake_.SetShown(PlayPane::kW3, true, At(0));
  EXPECT_TRUE(hold_.calls.empty());
  awake_.SetPlayingVideo(PlayPane::kW3, true, At(10));
  EXPECT_EQ(hold_.calls, std::vector<std::string>{"hold"});
  EXPECT_TRUE(awake_.held());
  EXPECT_FALSE(awake_.ReleaseDue());
}

// What never keeps the screen awake, each from a pane that plays video where nobody sees it.
TEST_F(ScreenAwakeTest, NothingHoldsUnlessAPlayingVideoIsSeen) {
  struct Case {
    const char* name;
    bool playing_video;
    bool shown;
  };
  for (const Case& c : {Case{"paused, ended or sound only, shown", false, true},
                        Case{"playing, in a hidden tab or window", true, false},
                        Case{"nothing at all", false, false}}) {
    SCOPED_TRACE(c.name);
    RecordingHold hold;
    ScreenAwake awake(hold);
    for (PlayPane pane : {PlayPane::kListweb, PlayPane::kW3, PlayPane::kQvod}) {
      awake.SetPlayingVideo(pane, c.playing_video, At(0));
      awake.SetShown(pane, c.shown, At(0));
    }
    awake.Tick(At(60'000));
    EXPECT_TRUE(hold.calls.empty());
    EXPECT_EQ(awake.AnyPlaying(), c.playing_video);
  }
}

// Every way the wish ends releases the hold once kReleaseDelay has passed, not before.
TEST_F(ScreenAwakeTest, PauseOrHidingReleasesAfterTheDelay) {
  struct Case {
    const char* name;
    bool stop_playing;  // else: hide the pane
  };
  for (const Case& c : {Case{"pause or end", true}, Case{"window hidden", false}}) {
    SCOPED_TRACE(c.name);
    RecordingHold hold;
    ScreenAwake awake(hold);
    awake.SetShown(PlayPane::kW3, true, At(0));
    awake.SetPlayingVideo(PlayPane::kW3, true, At(0));
    if (c.stop_playing) {
      awake.SetPlayingVideo(PlayPane::kW3, false, At(1000));
    } else {
      awake.SetShown(PlayPane::kW3, false, At(1000));
    }
    ASSERT_TRUE(awake.ReleaseDue());
    EXPECT_EQ(*awake.ReleaseDue(), At(1000) + ScreenAwake::kReleaseDelay);
    awake.Tick(At(1000) + ScreenAwake::kReleaseDelay - milliseconds(1));
    EXPECT_TRUE(awake.held());
    awake.Tick(At(1000) + ScreenAwake::kReleaseDelay);
    EXPECT_FALSE(awake.held());
    EXPECT_FALSE(awake.ReleaseDue());
    EXPECT_EQ(hold.calls, (std::vector<std::string>{"hold", "release"}));
  }
  EXPECT_LE(ScreenAwake::kReleaseDelay, milliseconds(2000)) << "leaves no time for the timer";
}

TEST_F(ScreenAwakeTest, QuickPauseAndPlayKeepsOneHold) {
  awake_.SetShown(PlayPane::kW3, true, At(0));
  awake_.SetPlayingVideo(PlayPane::kW3, true, At(0));
  for (int i = 1; i <= 5; ++i) {
    awake_.SetPlayingVideo(PlayPane::kW3, false, At(i * 1000));
    awake_.Tick(At(i * 1000 + 500));
    awake_.SetPlayingVideo(PlayPane::kW3, true, At(i * 1000 + 1000));
    EXPECT_FALSE(awake_.ReleaseDue());
  }
  awake_.Tick(At(60'000));
  EXPECT_EQ(hold_.calls, std::vector<std::string>{"hold"});
}

TEST_F(ScreenAwakeTest, AnotherSeenPaneKeepsTheHoldWhenOneStops) {
  awake_.SetShown(PlayPane::kW3, true, At(0));
  awake_.SetShown(PlayPane::kListweb, true, At(0));
  awake_.SetPlayingVideo(PlayPane::kW3, true, At(0));
  awake_.SetPlayingVideo(PlayPane::kListweb, true, At(0));
  awake_.SetPlayingVideo(PlayPane::kW3, false, At(100));
  awake_.Tick(At(10'000));
  EXPECT_TRUE(awake_.held());
  awake_.SetShown(PlayPane::kListweb, false, At(10'000));
  awake_.Tick(At(10'000) + ScreenAwake::kReleaseDelay);
  EXPECT_EQ(hold_.calls, (std::vector<std::string>{"hold", "release"}));
}

TEST_F(ScreenAwakeTest, EndReleasesAtOnceAndOnlyWhatIsHeld) {
  awake_.End();
  EXPECT_TRUE(hold_.calls.empty());
  awake_.SetShown(PlayPane::kQvod, true, At(0));
  awake_.SetPlayingVideo(PlayPane::kQvod, true, At(0));
  awake_.End();
  awake_.End();
  EXPECT_EQ(hold_.calls, (std::vector<std::string>{"hold", "release"}));
}

TEST(ScreenAwakeEnd, TheHoldGoesWithTheDecider) {
  RecordingHold hold;
  {
    ScreenAwake awake(hold);
    awake.SetShown(PlayPane::kW3, true, At(0));
    awake.SetPlayingVideo(PlayPane::kW3, true, At(0));
  }
  EXPECT_EQ(hold.calls, (std::vector<std::string>{"hold", "release"}));
}

TEST(ScreenHoldsTest, EveryHoldHearsEachCallInOrder) {
  RecordingHold a, b;
  ScreenHolds both;
  both.Add(&a);
  both.Add(&b);
  both.Hold();
  both.Release();
  EXPECT_EQ(a.calls, (std::vector<std::string>{"hold", "release"}));
  EXPECT_EQ(b.calls, a.calls);
}

}  // namespace
}  // namespace kam::desktop
