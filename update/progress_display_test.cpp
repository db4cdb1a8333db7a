#include "update/progress_display.h"

#include <gtest/gtest.h>

namespace kam::update {
namespace {

struct Case {
  std::int32_t progress;
  std::int32_t max;
  float percent;
  const char* label;
};

class DisplayForProgressTest : public ::testing::TestWithParam<Case> {};

TEST_P(DisplayForProgressTest, PercentAndLabel) {
  auto display = DisplayForProgress(GetParam().progress, GetParam().max);
  ASSERT_TRUE(display.has_value());
  EXPECT_FLOAT_EQ(display->percent, GetParam().percent);
  EXPECT_EQ(display->label, GetParam().label);
}

INSTANTIATE_TEST_SUITE_P(Cases, DisplayForProgressTest,
                         ::testing::Values(Case{512, 1024, 50.0f, "50.00%"},  //
                                           Case{1200, 1000, 120.0f,
                                                "120.00%"},  // the label is not clamped
                                           Case{1, 3, 33.333332f, "33.33%"},     //
                                           Case{2, 3, 66.666664f, "66.67%"},     //
                                           Case{1, 1000000, 0.0001f, "0.00%"},   //
                                           Case{1000, 1000, 100.0f, "100.00%"},  //
                                           Case{2147483647, 2147483647, 100.0f, "100.00%"}));

TEST(DisplayForProgress, NothingWhileTheSizeOrProgressIsUnknown) {
  EXPECT_FALSE(DisplayForProgress(0, 1024).has_value());
  EXPECT_FALSE(DisplayForProgress(512, 0).has_value());
  EXPECT_FALSE(DisplayForProgress(0, 0).has_value());
}

TEST(PercentText, AlwaysAPointAndTwoDecimals) {
  EXPECT_EQ(PercentText(0), "0.00%");
  EXPECT_EQ(PercentText(7.5f), "7.50%");
  EXPECT_EQ(PercentText(99.999f), "100.00%");
  EXPECT_EQ(PercentText(50.0f, ','), "50,00%");
}

}  // namespace
}  // namespace kam::update
