#include "player/browse/next_episode.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kam {
namespace {

struct FakePorts : NextEpisodePorts {
  std::string ShownAddress() const override { return address; }
  bool AutoNextOn() const override { return on; }
  void PlayNext() override { log.push_back("next"); }
  void StartWait(int ms) override { log.push_back("wait " + std::to_string(ms)); }
  void StopWait() override { log.push_back("stop"); }

  std::string address = "http://site/play/1.html";
  bool on = true;
  std::vector<std::string> log;
};

MediaReport Report(MediaState state, std::uint64_t medium = 1, bool seeking = false) {
  MediaReport r;
  r.state = state;
  r.medium = medium;
  r.seeking = seeking;
  r.has_video = true;
  r.duration_s = 8;
  return r;
}

using Log = std::vector<std::string>;
constexpr auto kPlaying = MediaState::kPlaying;
constexpr auto kPaused = MediaState::kPaused;
constexpr auto kEnded = MediaState::kEnded;

class NextEpisodeTest : public ::testing::Test {
 protected:
  FakePorts ports_;
  NextEpisode next_{ports_};
};

TEST_F(NextEpisodeTest, EndThenWaitThenNext) {
  next_.MediaChanged(Report(kPlaying));
  next_.MediaChanged(Report(kEnded));
  EXPECT_EQ(ports_.log, (Log{"wait 3000"}));
  next_.WaitOver();
  EXPECT_EQ(ports_.log, (Log{"wait 3000", "next"}));
}

TEST_F(NextEpisodeTest, EndedTwiceAdvancesOnce) {
  next_.MediaChanged(Report(kPlaying));
  next_.MediaChanged(Report(kEnded));
  next_.MediaChanged(Report(kEnded));
  next_.WaitOver();
  next_.WaitOver();
  next_.MediaChanged(Report(kEnded));
  next_.WaitOver();
  EXPECT_EQ(ports_.log, (Log{"wait 3000", "next"}));
}

TEST_F(NextEpisodeTest, PageThatNavigatesByItselfIsLeftAlone) {
  next_.MediaChanged(Report(kPlaying));
  next_.MediaChanged(Report(kEnded));
  next_.Navigated();
  next_.MediaChanged(MediaReport{});  // the page went
  next_.WaitOver();
  EXPECT_EQ(ports_.log, (Log{"wait 3000", "stop"}));
}

TEST_F(NextEpisodeTest, AddressChangedWithoutReloadIsNoEnd) {
  next_.MediaChanged(Report(kEnded));
  ports_.address = "http://site/play/1.html?next";
  next_.WaitOver();
  EXPECT_EQ(ports_.log, (Log{"wait 3000"}));
}

TEST_F(NextEpisodeTest, LoopingPageNeverAdvances) {
  for (int i = 0; i < 5; ++i) {
    next_.MediaChanged(Report(kPlaying));
    next_.MediaChanged(Report(kEnded));
    next_.MediaChanged(Report(kPlaying));  // the page starts it again at once
  }
  next_.WaitOver();
  EXPECT_EQ(std::count(ports_.log.begin(), ports_.log.end(), "next"), 0);
}

TEST_F(NextEpisodeTest, SeekingOrPausingAfterTheEndStopsTheAdvance) {
  next_.MediaChanged(Report(kEnded));
  next_.MediaChanged(Report(kEnded, 1, /*seeking=*/true));
  next_.WaitOver();
  next_.MediaChanged(Report(kPaused));
  next_.MediaChanged(Report(kEnded));  // played to the end again: a new end
  next_.MediaChanged(Report(kPaused));
  next_.WaitOver();
  EXPECT_EQ(ports_.log, (Log{"wait 3000", "stop", "wait 3000", "stop"}));
}

TEST_F(NextEpisodeTest, OffMeansNothingEvenWhenTurnedOffDuringTheWait) {
  ports_.on = false;
  next_.MediaChanged(Report(kEnded));
  next_.WaitOver();
  EXPECT_TRUE(ports_.log.empty());
  ports_.on = true;
  next_.MediaChanged(Report(kEnded, 2));
  ports_.on = false;
  next_.WaitOver();
  EXPECT_EQ(ports_.log, (Log{"wait 3000"}));
}

TEST_F(NextEpisodeTest, AnotherMediumEndingIsItsOwnEnd) {
  next_.MediaChanged(Report(kEnded, 1));
  next_.MediaChanged(Report(kPlaying, 2));  // a longer video became the main one
  next_.WaitOver();
  next_.MediaChanged(Report(kEnded, 2));
  next_.WaitOver();
  EXPECT_EQ(ports_.log, (Log{"wait 3000", "stop", "wait 3000", "next"}));
}

TEST_F(NextEpisodeTest, WaitOverWithoutAnEndDoesNothing) {
  next_.WaitOver();
  next_.MediaChanged(Report(kPlaying));
  next_.WaitOver();
  EXPECT_TRUE(ports_.log.empty());
}

}  // namespace
}  // namespace kam
