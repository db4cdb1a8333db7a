#include "player/desktop/media_session.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace kam::desktop {
namespace {

class RecordingPort : public MediaSessionPort {
 public:
  void PlayEntry(int index) override { calls.push_back("entry " + std::to_string(index)); }
  void Control(const MediaCommand& c) override {
    static const char* const kNames[] = {"play", "pause", "stop", "seek"};
    std::string call = kNames[c.kind];
    if (c.kind == MediaCommand::kSeek) call += " " + std::to_string(std::lround(c.position_s));
    calls.push_back(call);
  }
  std::vector<std::string> calls;
};

MediaReport Report(MediaState state, double position = 0, double duration = 60,
                   std::uint64_t medium = 1) {
  MediaReport r;
  r.state = state;
  r.has_video = true;
  r.position_s = position;
  r.duration_s = duration;
  r.medium = medium;
  return r;
}

PlayingEntry Entry(int index, int count = 3) {
  return {index, count, "第" + std::to_string(index + 1) + "集", "西游记"};
}

class MediaSessionTest : public ::testing::Test {
 protected:
  RecordingPort port_;
  MediaSession session_{port_};
};

TEST_F(MediaSessionTest, StatusFollowsTheMainMedium) {
  struct Case {
    MediaState state;
    const char* status;
  };
  for (const Case& c : {Case{MediaState::kPlaying, "Playing"}, Case{MediaState::kPaused, "Paused"},
                        Case{MediaState::kEnded, "Stopped"}, Case{MediaState::kNone, "Stopped"}}) {
    session_.MediaChanged(Report(c.state));
    EXPECT_EQ(session_.properties().playback_status, c.status);
  }
  EXPECT_EQ(MediaSession(port_).properties().playback_status, "Stopped");
}

TEST_F(MediaSessionTest, TitleIsTheEntryPlayingElseThePagesTitle) {
  session_.PageTitleChanged("西游记 第2集 - 看吧");
  session_.MediaChanged(Report(MediaState::kPlaying, 0, 60, 5));
  EXPECT_EQ(session_.properties().title, "西游记 第2集 - 看吧");
  EXPECT_EQ(session_.properties().track_id, "/org/mpris/MediaPlayer2/kamplayer/medium5");
  session_.EntryChanged(Entry(1));
  EXPECT_EQ(session_.properties().title, "第2集");
  EXPECT_EQ(session_.properties().album, "西游记");
  EXPECT_EQ(session_.properties().track_id, "/org/mpris/MediaPlayer2/kamplayer/entry1");
  EXPECT_EQ(session_.properties().length_us, 60'000'000);
  session_.EntryChanged(std::nullopt);
  EXPECT_EQ(session_.properties().title, "西游记 第2集 - 看吧");
  EXPECT_EQ(session_.properties().album, "");
}

TEST_F(MediaSessionTest, NextAndPreviousStopAtTheListsEnds) {
  struct Case {
    int index;
    bool next, previous;
    std::vector<std::string> calls;  // of Next, then Previous
  };
  const Case cases[] = {
      {0, true, false, {"entry 1"}},
      {1, true, true, {"entry 2", "entry 0"}},
      {2, false, true, {"entry 1"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.index);
    RecordingPort port;
    MediaSession s(port);
    s.EntryChanged(Entry(c.index));
    EXPECT_EQ(s.properties().can_go_next, c.next);
    EXPECT_EQ(s.properties().can_go_previous, c.previous);
    s.Next();
    s.Previous();
    EXPECT_EQ(port.calls, c.calls);
  }
  // No entry plays: neither way goes anywhere.
  session_.MediaChanged(Report(MediaState::kPlaying));
  session_.Next();
  session_.Previous();
  EXPECT_FALSE(session_.properties().can_go_next);
  EXPECT_TRUE(port_.calls.empty());
}

TEST_F(MediaSessionTest, PlayPauseTogglesAndNothingActsWithoutAMedium) {
  session_.PlayPause();
  session_.Play();
  session_.Pause();
  session_.Stop();
  EXPECT_TRUE(port_.calls.empty());
  EXPECT_FALSE(session_.properties().can_play);
  session_.MediaChanged(Report(MediaState::kPlaying));
  session_.PlayPause();
  session_.MediaChanged(Report(MediaState::kPaused));
  session_.PlayPause();
  EXPECT_EQ(port_.calls, (std::vector<std::string>{"pause", "play"}));
}

TEST_F(MediaSessionTest, StopShowsStoppedUntilTheMediumPlaysAgain) {
  session_.MediaChanged(Report(MediaState::kPlaying, 20));
  session_.Stop();
  EXPECT_EQ(port_.calls, std::vector<std::string>{"stop"});
  EXPECT_EQ(session_.properties().playback_status, "Stopped");
  session_.MediaChanged(Report(MediaState::kPaused, 0));
  EXPECT_EQ(session_.properties().playback_status, "Stopped");
  session_.MediaChanged(Report(MediaState::kPlaying, 0));
  EXPECT_EQ(session_.properties().playback_status, "Playing");
}

TEST_F(MediaSessionTest, SeekingStaysInTheMediumOrGoesOnToTheNextEntry) {
  session_.EntryChanged(Entry(0));
  session_.MediaChanged(Report(MediaState::kPlaying, 10, 60));
  session_.Seek(5'000'000);
  session_.Seek(-30'000'000);
  session_.Seek(60'000'000);
  session_.SetPosition("/org/mpris/MediaPlayer2/kamplayer/entry0", 42'000'000);
  session_.SetPosition("/org/mpris/MediaPlayer2/kamplayer/entry9", 1'000'000);
  session_.SetPosition("/org/mpris/MediaPlayer2/kamplayer/entry0", 61'000'000);
  EXPECT_EQ(port_.calls, (std::vector<std::string>{"seek 15", "seek 0", "entry 1", "seek 42"}));
  EXPECT_EQ(session_.PositionUs(), 10'000'000);
}

TEST_F(MediaSessionTest, LiveOrUnknownLengthCannotSeek) {
  for (double d : {-1.0, std::nan(""), std::numeric_limits<double>::infinity()}) {
    session_.MediaChanged(Report(MediaState::kPlaying, 3, d));
    EXPECT_FALSE(session_.properties().can_seek);
    EXPECT_EQ(session_.properties().length_us, -1);
    session_.Seek(1'000'000);
  }
  EXPECT_TRUE(port_.calls.empty());
}

TEST(ChangedPropertiesTest, NamesWhatDiffers) {
  PlayerProperties a, b;
  EXPECT_TRUE(ChangedProperties(a, b).empty());
  b.playback_status = "Playing";
  b.title = "x";
  b.can_go_next = true;
  b.can_seek = true;
  EXPECT_EQ(ChangedProperties(a, b),
            (std::vector<std::string>{"PlaybackStatus", "Metadata", "CanGoNext", "CanSeek"}));
  PlayerProperties c;
  c.length_us = 5;
  EXPECT_EQ(ChangedProperties(a, c), std::vector<std::string>{"Metadata"});
}

}  // namespace
}  // namespace kam::desktop
