#include "player/browse/position_follower.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kam {
namespace {

constexpr char kPage[] = "http://site/play/long.html";
constexpr char kKey[] = "http://site:80/play/long.html";

struct FakePorts : PositionPorts {
  std::string ShownAddress() const override { return address; }
  void SeekMainMedium(double s) override { seeks.push_back(s); }
  void StoreChanged(bool watched) override {
    ++changes;
    if (watched) ++watched_changes;
  }
  std::string address = kPage;
  std::vector<double> seeks;
  int changes = 0;
  int watched_changes = 0;
};

MediaReport At(double position, double duration = 120, std::uint64_t medium = 1,
               MediaState state = MediaState::kPlaying, bool seeking = false) {
  MediaReport r;
  r.state = state;
  r.medium = medium;
  r.position_s = position;
  r.duration_s = duration;
  r.seeking = seeking;
  r.has_video = true;
  return r;
}

class PositionFollowerTest : public ::testing::Test {
 protected:
  playlist::PositionStore store_;
  FakePorts ports_;
  PositionFollower follower_{store_, ports_};
};

TEST_F(PositionFollowerTest, RemembersWhilePlayingAndWhenThePageGoes) {
  follower_.MediaChanged(At(0.2));
  follower_.MediaChanged(At(12));
  follower_.SaveTick();
  EXPECT_EQ(store_.Position(kKey), 12);
  follower_.MediaChanged(At(31));
  follower_.MediaChanged(MediaReport{});  // the page goes
  EXPECT_EQ(store_.Position(kKey), 31);
  EXPECT_TRUE(ports_.seeks.empty());
  EXPECT_EQ(ports_.changes, 2);
}

TEST_F(PositionFollowerTest, AnEndOfThePlayerKeepsTheLastPositionPlayingOrPaused) {
  follower_.MediaChanged(At(0.2));
  follower_.MediaChanged(At(12));
  follower_.SaveTick();
  follower_.MediaChanged(At(14.5));
  follower_.SaveNow();
  EXPECT_EQ(store_.Position(kKey), 14.5) << "the seconds since the last tick are kept";
  follower_.MediaChanged(At(20, 120, 1, MediaState::kPaused));
  follower_.SaveTick();
  EXPECT_EQ(store_.Position(kKey), 14.5) << "a paused video is not ticked";
  follower_.SaveNow();
  EXPECT_EQ(store_.Position(kKey), 20);
}

TEST_F(PositionFollowerTest, StartsWhereItStoppedAndSavesNothingBeforeGettingThere) {
  store_.Remember(kKey, 30, 120);
  follower_.MediaChanged(At(0.2, -1));  // no duration yet: cannot seek
  EXPECT_TRUE(ports_.seeks.empty());
  follower_.MediaChanged(At(0.3));
  EXPECT_EQ(ports_.seeks, std::vector<double>{30});
  follower_.SaveTick();
  follower_.MediaChanged(At(0.5, 120, 1, MediaState::kPlaying, true));
  follower_.MediaChanged(MediaReport{});  // left before the seek arrived
  EXPECT_EQ(store_.Position(kKey), 30);
  follower_.MediaChanged(At(0.2, 120, 2));
  EXPECT_EQ(ports_.seeks, (std::vector<double>{30, 30})) << "opened again: there again";
  follower_.MediaChanged(At(30.1, 120, 2));
  follower_.MediaChanged(At(33, 120, 2));
  follower_.SaveTick();
  EXPECT_EQ(store_.Position(kKey), 33);
}

TEST_F(PositionFollowerTest, ASeekThatNeverBeginsIsGivenUp) {
  store_.Remember(kKey, 30, 120);
  follower_.MediaChanged(At(0.2));
  ASSERT_EQ(ports_.seeks, std::vector<double>{30});
  // The video is out of reach (a frame of another site): it plays on from the start.
  for (int i = 1; i <= PositionFollower::kSeekPatience + 1; ++i) follower_.MediaChanged(At(i));
  follower_.SaveTick();
  EXPECT_EQ(store_.Position(kKey), PositionFollower::kSeekPatience + 1);
}

TEST_F(PositionFollowerTest, EarlyOrLatePositionsStartFromTheBeginningAndAreForgotten) {
  store_.Remember(kKey, 8, 120);
  follower_.MediaChanged(At(0.2));
  EXPECT_TRUE(ports_.seeks.empty());
  EXPECT_FALSE(store_.Position(kKey));
  EXPECT_EQ(ports_.changes, 1);
  store_.Remember(kKey, 115, 120);
  follower_.MediaChanged(At(0.2, 120, 2));
  EXPECT_TRUE(ports_.seeks.empty());
  EXPECT_FALSE(store_.Position(kKey));
}

TEST_F(PositionFollowerTest, AnAdvertisementFirstLeavesThePositionForTheFilm) {
  store_.Remember(kKey, 300, 1200);
  follower_.MediaChanged(At(1, 15, 1));  // a 15 s advertisement
  follower_.SaveTick();
  follower_.MediaChanged(At(15, 15, 1, MediaState::kEnded));
  EXPECT_TRUE(ports_.seeks.empty());
  EXPECT_EQ(store_.Position(kKey), 300);
  EXPECT_FALSE(store_.Watched(kKey)) << "the advertisement's end is not the film's";
  follower_.MediaChanged(At(0.1, 1200, 2));  // the film
  EXPECT_EQ(ports_.seeks, std::vector<double>{300});
}

TEST_F(PositionFollowerTest, TheEndMarksWatched) {
  follower_.MediaChanged(At(0.2, 8));
  follower_.MediaChanged(At(8, 8, 1, MediaState::kEnded));
  EXPECT_TRUE(store_.Watched(kKey));
  EXPECT_EQ(ports_.watched_changes, 1);
  follower_.MediaChanged(At(8, 8, 1, MediaState::kEnded));
  EXPECT_EQ(ports_.watched_changes, 1) << "ended twice";
}

TEST_F(PositionFollowerTest, PausedIsRememberedWhenLeavingButNotByTheTick) {
  follower_.MediaChanged(At(20));
  follower_.MediaChanged(At(25, 120, 1, MediaState::kPaused));
  follower_.SaveTick();
  EXPECT_FALSE(store_.Position(kKey));
  follower_.MediaChanged(MediaReport{});
  EXPECT_EQ(store_.Position(kKey), 25);
}

TEST_F(PositionFollowerTest, PagesOffTheWebAreNotRemembered) {
  ports_.address = "file:///opt/kam/skin/Loading.html";
  follower_.MediaChanged(At(20));
  follower_.SaveTick();
  EXPECT_EQ(store_.size(), 0u);
}

}  // namespace
}  // namespace kam
