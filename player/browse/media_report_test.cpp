#include "player/browse/media_report.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace kam {
namespace {

struct ParseCase {
  const char* name;
  std::string text;
  bool reads;
};

void PrintTo(const ParseCase& c, std::ostream* os) { *os << c.name; }

class MediaRecord : public ::testing::TestWithParam<ParseCase> {};

TEST_P(MediaRecord, ReadsOnlyWellFormedRecords) {
  EXPECT_EQ(ParseMediaSample(GetParam().text).has_value(), GetParam().reads);
}

INSTANTIATE_TEST_SUITE_P(
    Records, MediaRecord,
    ::testing::Values(
        ParseCase{"Full", "n=3;e=playing;p=0;x=0;s=0;v=1;y=1;t=12.5;d=60", true},
        ParseCase{"OnlyTheElement", "n=0", true}, ParseCase{"TrailingSeparator", "n=1;", true},
        ParseCase{"UnknownKeySkipped", "n=1;zz=what", true},
        ParseCase{"LiveStream", "n=1;d=inf", true}, ParseCase{"NoElement", "e=play;p=0", false},
        ParseCase{"Empty", "", false}, ParseCase{"NegativeElement", "n=-1", false},
        ParseCase{"ElementBeyondRange", "n=99999999999", false},
        ParseCase{"FlagNotZeroOrOne", "n=1;p=yes", false},
        ParseCase{"NumberWithJunk", "n=1;t=1.5x", false},
        ParseCase{"HugeNumber", "n=1;t=1e999", false},
        ParseCase{"FieldWithoutValue", "n=1;paused", false},
        ParseCase{"Binary", std::string("n=1;t=\0\xff", 8), false},
        ParseCase{"TooLong", "n=1;e=" + std::string(kMaxMediaRecordBytes, 'a'), false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MediaRecord, KeepsValuesAndCutsTheEventName) {
  const auto s = ParseMediaSample("n=7;e=" + std::string(100, 'e') +
                                  ";p=0;x=1;s=1;v=1;y=1;"
                                  "t=-4;d=nan");
  ASSERT_TRUE(s);
  EXPECT_EQ(s->element, 7u);
  EXPECT_EQ(s->event.size(), 32u);
  EXPECT_FALSE(s->paused);
  EXPECT_TRUE(s->ended && s->seeking && s->has_video && s->played);
  EXPECT_EQ(s->position_s, 0);  // a negative position reads as the start
  EXPECT_TRUE(std::isnan(s->duration_s));
}

MediaSample Sample(std::uint32_t element, bool video, double duration, bool played = true,
                   bool paused = false) {
  MediaSample s;
  s.element = element;
  s.has_video = video;
  s.duration_s = duration;
  s.played = played;
  s.paused = paused;
  return s;
}

TEST(MainMedium, IsTheLongestVideoThatPlayed) {
  MainMedium m;
  EXPECT_FALSE(m.Update("top", Sample(1, true, 600, /*played=*/false)));
  EXPECT_EQ(m.report().medium, 0u) << "a video that never played is no main medium";
  EXPECT_TRUE(m.Update("ad", Sample(1, true, 15)));
  const std::uint64_t ad = m.report().medium;
  EXPECT_EQ(m.report().duration_s, 15);
  EXPECT_TRUE(m.Update("top", Sample(1, true, 600)));
  EXPECT_NE(m.report().medium, ad);
  EXPECT_EQ(m.report().duration_s, 600);
  // A longer audio-only medium does not displace a video.
  EXPECT_FALSE(m.Update("top", Sample(2, false, 3600)));
  EXPECT_EQ(m.report().duration_s, 600);
  ASSERT_TRUE(m.main());
  EXPECT_EQ(m.main()->document, "top");
  EXPECT_EQ(m.main()->element, 1u);
}

TEST(MainMedium, AudioOnlyWhenNoVideoPlayed) {
  MainMedium m;
  EXPECT_TRUE(m.Update("top", Sample(4, false, 200)));
  EXPECT_FALSE(m.report().has_video);
  EXPECT_EQ(m.report().state, MediaState::kPlaying);
}

TEST(MainMedium, LiveStreamCountsAsLongest) {
  MainMedium m;
  m.Update("top", Sample(1, true, 600));
  m.Update("top", Sample(2, true, std::numeric_limits<double>::infinity()));
  EXPECT_FALSE(HasKnownDuration(m.report()));
  EXPECT_EQ(m.main()->element, 2u);
}

TEST(MainMedium, ReportsStateChangesOfTheMainOneOnly) {
  MainMedium m;
  m.Update("top", Sample(1, true, 60));
  MediaSample s = Sample(1, true, 60);
  s.position_s = 5;
  EXPECT_TRUE(m.Update("top", s)) << "the position moved";
  EXPECT_FALSE(m.Update("top", s)) << "nothing moved";
  s.paused = true;
  EXPECT_TRUE(m.Update("top", s));
  EXPECT_EQ(m.report().state, MediaState::kPaused);
  s.ended = true;
  EXPECT_TRUE(m.Update("top", s));
  EXPECT_EQ(m.report().state, MediaState::kEnded);
  EXPECT_FALSE(m.Update("ad", Sample(9, true, 5))) << "a shorter video changes nothing";
}

TEST(MainMedium, PlayedStaysUntilTheSourceIsGone) {
  MainMedium m;
  m.Update("top", Sample(1, true, 60));
  EXPECT_FALSE(m.Update("top", Sample(1, true, 60, /*played=*/false)));
  EXPECT_NE(m.report().medium, 0u);
  MediaSample gone = Sample(1, true, -1, false);
  gone.emptied = true;
  EXPECT_TRUE(m.Update("top", gone));
  EXPECT_EQ(m.report().medium, 0u);
}

TEST(MainMedium, ClearForgetsEveryMediumAndNumbersTheNextAnew) {
  MainMedium m;
  m.Update("top", Sample(1, true, 60));
  const std::uint64_t first = m.report().medium;
  EXPECT_TRUE(m.Clear());
  EXPECT_FALSE(m.Clear());
  EXPECT_EQ(m.report(), MediaReport{});
  m.Update("top", Sample(1, true, 60));
  EXPECT_NE(m.report().medium, first) << "the next page's video is another medium";
}

TEST(MainMedium, FollowsABoundedNumberOfMediaAndKeepsTheMainOne) {
  MainMedium m;
  m.Update("top", Sample(0, true, 30));
  const std::uint64_t main = m.report().medium;
  for (std::uint32_t i = 1; i < 10 * MainMedium::kMaxMedia; ++i) {
    m.Update("frame", Sample(i, true, 10));
  }
  EXPECT_EQ(m.report().medium, main);
  EXPECT_EQ(m.main()->element, 0u);
}

TEST(MainMedium, UnknownDurationIsReportedAsNegative) {
  MainMedium m;
  m.Update("top", Sample(1, true, std::numeric_limits<double>::quiet_NaN()));
  EXPECT_LT(m.report().duration_s, 0);
  EXPECT_FALSE(m.Update("top", Sample(1, true, std::numeric_limits<double>::quiet_NaN())));
}

}  // namespace
}  // namespace kam
