#include "player/playlist/buffer_countdown.h"

#include <gtest/gtest.h>

#include <climits>

namespace kam::playlist {
namespace {

TEST(BufferSecondsForTest, Table) {
  const struct {
    const char* da;
    double r;
    int seconds;
  } cases[] = {
      {"10", 0.0, 5},          {"10", 0.5, 10},
      {"10", 0.99, 14},                        // at most the buffering time + 4
      {"10", 0.0999, 5},       {"7", 0.5, 8},  // 3.5 rounds down
      {"2.5", 0.9, 7},                         // 2.25 rounds down
      {" 10 ", 0.5, 10},                       // blanks around the number
      {"+10", 0.5, 10},        {"1e2", 0.5, 55},
      {"0", 0.9, 5},           {"", 0.9, 5},  // not a number counts as 0
      {"Label1", 0.9, 5},                     // the design default
      {"10s", 0.9, 5},         {"1 0", 0.9, 5},
      {"-20", 0.9, 5},  // a negative time would never count down to 0
      {"inf", 0.9, 5},         {"nan", 0.9, 5},
      {"1e300", 0.9, INT_MAX},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(BufferSecondsFor(c.da, c.r), c.seconds) << '"' << c.da << "\" r=" << c.r;
  }
}

TEST(BufferSecondsForTest, FractionOutsideItsRangeCountsAsZero) {
  EXPECT_EQ(BufferSecondsFor("10", 1.0), 5);
  EXPECT_EQ(BufferSecondsFor("10", -0.5), 5);
}

TEST(ClockSeededRandomTest, DrawsStayInRangeAndVary) {
  ClockSeededRandom random;
  double lowest = 1;
  double highest = 0;
  for (int i = 0; i < 200; ++i) {
    const double r = random.Next();
    ASSERT_GE(r, 0.0);
    ASSERT_LT(r, 1.0);
    lowest = std::min(lowest, r);
    highest = std::max(highest, r);
  }
  EXPECT_LT(lowest, highest);
}

}  // namespace
}  // namespace kam::playlist
