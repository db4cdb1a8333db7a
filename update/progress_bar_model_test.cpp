#include "update/progress_bar_model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace kam::update {
namespace {

constexpr BarImage kBg = BarImage::kBackground;
constexpr BarImage kFill = BarImage::kFill;

std::vector<BarCopy> Plan(std::int32_t style, float value, int w, int h) {
  auto plan = PlanBarDrawing(style, value, w, h);
  EXPECT_TRUE(plan.has_value());
  return plan.value_or(std::vector<BarCopy>{});
}

std::vector<BarCopy> FillCopies(const std::vector<BarCopy>& plan) {
  std::vector<BarCopy> fill;
  for (const BarCopy& c : plan) {
    if (c.image == kFill) fill.push_back(c);
  }
  return fill;
}

TEST(ProgressBarPlan, LookZeroEmptyIsTheNineSliceBackgroundOnly) {
  // The updater's bar: 353 x 33 pixels; the background image is 7 x 14 with a border of 2.
  std::vector<BarCopy> expected = {
      {kBg, {0, 0, 2, 2}, {0, 0, 2, 2}},     {kBg, {2, 0, 349, 2}, {2, 0, 3, 2}},
      {kBg, {351, 0, 2, 2}, {5, 0, 2, 2}},   {kBg, {0, 2, 2, 29}, {0, 2, 2, 10}},
      {kBg, {2, 2, 349, 29}, {2, 2, 3, 10}}, {kBg, {351, 2, 2, 29}, {5, 2, 2, 10}},
      {kBg, {0, 31, 2, 2}, {0, 12, 2, 2}},   {kBg, {2, 31, 349, 2}, {2, 12, 3, 2}},
      {kBg, {351, 31, 2, 2}, {5, 12, 2, 2}},
  };
  EXPECT_EQ(Plan(0, 0, 353, 33), expected);
}

TEST(ProgressBarPlan, LookZeroFullSpansFromTwoToWidthLessTwo) {
  auto fill = FillCopies(Plan(0, 100, 353, 33));
  ASSERT_EQ(fill.size(), 1u);
  EXPECT_EQ(fill[0], (BarCopy{kFill, {2, 2, 349, 29}, {0, 0, 3, 10}}));
  EXPECT_EQ(fill[0].target.x + fill[0].target.width, 353 - 2);
}

TEST(ProgressBarPlan, FillWidthIsRoundedDown) {
  // 349 x 0.5 = 174.5 -> 174.
  auto fill = FillCopies(Plan(0, 50, 353, 33));
  ASSERT_EQ(fill.size(), 1u);
  EXPECT_EQ(fill[0].target, (Rect{2, 2, 174, 29}));
}

TEST(ProgressBarPlan, LookOneStretchesTheWholeFill) {
  auto plan = Plan(1, 50, 100, 20);
  ASSERT_EQ(plan.size(), 10u);
  EXPECT_EQ(plan[2], (BarCopy{kBg, {98, 0, 2, 2}, {19, 0, 2, 2}}));
  EXPECT_EQ(plan[4], (BarCopy{kBg, {2, 2, 96, 16}, {2, 2, 17, 17}}));
  EXPECT_EQ(plan[9], (BarCopy{kFill, {2, 2, 48, 16}, {0, 0, 17, 17}}));
}

struct LookTwoCase {
  float value;
  std::vector<BarCopy> fill;
};

class LookTwoFill : public ::testing::TestWithParam<LookTwoCase> {};

// A 56 x 20 bar: the fill area is 52 pixels wide, so value 25 gives exactly 13 pixels.
TEST_P(LookTwoFill, CapsFromThirteenPixels) {
  EXPECT_EQ(FillCopies(Plan(2, GetParam().value, 56, 20)), GetParam().fill);
}

INSTANTIATE_TEST_SUITE_P(
    Widths, LookTwoFill,
    ::testing::Values(
        // 10 pixels: the leftmost 10 columns, unscaled across.
        LookTwoCase{20, {{kFill, {2, 2, 10, 16}, {0, 0, 10, 13}}}},
        // 12 pixels: still below 13.
        LookTwoCase{24, {{kFill, {2, 2, 12, 16}, {0, 0, 12, 13}}}},
        // 13 pixels: caps of 4 at both ends and the middle stretched between them.
        LookTwoCase{25,
                    {{kFill, {2, 2, 4, 16}, {0, 0, 4, 13}},
                     {kFill, {6, 2, 5, 16}, {4, 0, 5, 13}},
                     {kFill, {11, 2, 4, 16}, {9, 0, 4, 13}}}},
        LookTwoCase{100,
                    {{kFill, {2, 2, 4, 16}, {0, 0, 4, 13}},
                     {kFill, {6, 2, 44, 16}, {4, 0, 5, 13}},
                     {kFill, {50, 2, 4, 16}, {9, 0, 4, 13}}}},
        LookTwoCase{0, {}}));

TEST(ProgressBarPlan, LookThreeHasABorderOfThree) {
  auto plan = Plan(3, 50, 100, 20);
  ASSERT_EQ(plan.size(), 10u);
  EXPECT_EQ(plan[0], (BarCopy{kBg, {0, 0, 3, 3}, {0, 0, 3, 3}}));
  EXPECT_EQ(plan[1], (BarCopy{kBg, {3, 0, 94, 3}, {3, 0, 7, 3}}));
  EXPECT_EQ(plan[4], (BarCopy{kBg, {3, 3, 94, 14}, {3, 3, 7, 12}}));
  EXPECT_EQ(plan[8], (BarCopy{kBg, {97, 17, 3, 3}, {10, 15, 3, 3}}));
  // (100 - 6) x 0.5 = 47; the whole 124 x 10 fill image is squeezed into it.
  EXPECT_EQ(plan[9], (BarCopy{kFill, {3, 3, 47, 14}, {0, 0, 124, 10}}));
}

TEST(ProgressBarPlan, StyleOutsideTheLooksDrawsNothing) {
  EXPECT_FALSE(PlanBarDrawing(7, 50, 100, 20).has_value());
  EXPECT_FALSE(PlanBarDrawing(-1, 50, 100, 20).has_value());
  RgbImage surface(100, 20, 0x123456);
  EXPECT_FALSE(DrawBar(surface, 7, 50));
  EXPECT_EQ(surface.At(50, 10), 0x123456u);
}

TEST(ProgressBarPlan, OutOfRangeValuesDrawClamped) {
  EXPECT_EQ(Plan(0, 150, 353, 33), Plan(0, 100, 353, 33));
  EXPECT_EQ(Plan(0, -5, 353, 33), Plan(0, 0, 353, 33));
  EXPECT_EQ(Plan(0, std::nanf(""), 353, 33), Plan(0, 0, 353, 33));
}

TEST(ProgressBarPlan, ImagesHaveTheirLooksSizes) {
  struct Sizes {
    int bw, bh, fw, fh, border;
  };
  const Sizes kSizes[] = {
      {7, 14, 3, 10, 2}, {21, 21, 17, 17, 2}, {11, 15, 13, 13, 2}, {13, 18, 124, 10, 3}};
  for (int style = 0; style < 4; ++style) {
    auto look = LookOfStyle(style);
    ASSERT_TRUE(look.has_value());
    const Sizes& s = kSizes[style];
    EXPECT_EQ(look->background->width(), s.bw) << style;
    EXPECT_EQ(look->background->height(), s.bh) << style;
    EXPECT_EQ(look->fill->width(), s.fw) << style;
    EXPECT_EQ(look->fill->height(), s.fh) << style;
    EXPECT_EQ(look->border, s.border) << style;
  }
}

TEST(ProgressBarPixels, LookZeroHalfFull) {
  RgbImage surface(353, 33, kSurfaceColour);
  ASSERT_TRUE(DrawBar(surface, 0, 50));
  const Rgb kFrame = 0xBEBEBE, kWhite = 0xFFFFFF;
  for (int x = 0; x < 353; ++x) {
    ASSERT_EQ(surface.At(x, 0), kFrame) << x;
    ASSERT_EQ(surface.At(x, 32), kFrame) << x;
  }
  for (int y = 0; y < 33; ++y) {
    ASSERT_EQ(surface.At(0, y), kFrame) << y;
    ASSERT_EQ(surface.At(352, y), kFrame) << y;
  }
  for (int x = 1; x < 352; ++x) {
    ASSERT_EQ(surface.At(x, 1), kWhite) << x;
    ASSERT_EQ(surface.At(x, 31), kWhite) << x;
  }
  const std::vector<Rgb> kRows = {0x9FBBDE, 0x9AB8DC, 0x94B3D9, 0x8EAFD6, 0x88AAD2,
                                  0x81A5CF, 0x7AA0CC, 0x749BC8, 0x6E97C5, 0x6892C2};
  // Rows 2..30 of the fill: each one colour across, shading down through all ten rows.
  std::size_t last_index = 0;
  std::vector<bool> seen(kRows.size(), false);
  for (int y = 2; y <= 30; ++y) {
    Rgb colour = surface.At(2, y);
    auto it = std::find(kRows.begin(), kRows.end(), colour);
    ASSERT_NE(it, kRows.end()) << "row " << y;
    auto index = static_cast<std::size_t>(it - kRows.begin());
    EXPECT_GE(index, last_index) << "row " << y;
    last_index = index;
    seen[index] = true;
    for (int x = 2; x < 176; ++x) ASSERT_EQ(surface.At(x, y), colour) << x << "," << y;
    for (int x = 176; x < 351; ++x) ASSERT_EQ(surface.At(x, y), kWhite) << x << "," << y;
    EXPECT_EQ(surface.At(351, y), kWhite);
  }
  EXPECT_EQ(surface.At(2, 2), kRows.front());
  EXPECT_EQ(surface.At(2, 30), kRows.back());
  EXPECT_EQ(std::count(seen.begin(), seen.end(), true), 10);
}

TEST(ProgressBarPixels, SmallerValueLeavesNoOldFill) {
  RgbImage surface(100, 20, kSurfaceColour);
  ASSERT_TRUE(DrawBar(surface, 0, 100));
  ASSERT_TRUE(DrawBar(surface, 0, 10));
  EXPECT_EQ(surface.At(60, 10), 0xFFFFFFu);
}

TEST(ProgressBarProperties, ValueClamping) {
  EXPECT_EQ(ClampBarValue(150), 100);
  EXPECT_EQ(ClampBarValue(-5), 0);
  EXPECT_EQ(ClampBarValue(std::numeric_limits<float>::quiet_NaN()), 0);
  EXPECT_EQ(ClampBarValue(std::numeric_limits<float>::infinity()), 100);
  EXPECT_EQ(ClampBarValue(37.5f), 37.5f);
}

TEST(ProgressBarProperties, DefaultsAreNotSaved) {
  PropertyBag bag;
  SaveBarProperties(ProgressBarProperties{}, bag);
  EXPECT_EQ(bag.size(), 0u);
  // Loading an empty bag (only the control's extent was saved) gives the defaults.
  EXPECT_EQ(bag.Read<float>("Value", 0), 0);
  EXPECT_EQ(bag.Read<std::int32_t>("Style", 0), 0);
  EXPECT_EQ(bag.Read<std::int32_t>("ForeColor", 0), 0);
  EXPECT_TRUE(bag.Read<bool>("Percentage", true));
}

TEST(ProgressBarProperties, ChangedValuesAreSavedByKey) {
  PropertyBag bag;
  SaveBarProperties({42.5f, 0x0000FF, 2, false}, bag);
  EXPECT_EQ(bag.size(), 4u);
  EXPECT_EQ(bag.Read<float>("Value", 0), 42.5f);
  EXPECT_EQ(bag.Read<std::int32_t>("Style", 0), 2);
  EXPECT_EQ(bag.Read<std::int32_t>("ForeColor", 0), 0x0000FF);
  EXPECT_FALSE(bag.Read<bool>("Percentage", true));
  // Setting a property back to its default drops its key.
  SaveBarProperties({0, 0x0000FF, 2, true}, bag);
  EXPECT_FALSE(bag.Has("Value"));
  EXPECT_FALSE(bag.Has("Percentage"));
  EXPECT_TRUE(bag.Has("Style"));
}

TEST(ProgressBarProperties, WrongTypeReadsAsDefault) {
  PropertyBag bag;
  bag.Write<bool>("Style", false, true);
  EXPECT_EQ(bag.Read<std::int32_t>("Style", 0), 0);
}

TEST(ProgressBarProperties, ColourRefIsBlueGreenRed) {
  EXPECT_EQ(RgbOfColourRef(0x0000FF), 0xFF0000u);  // red
  EXPECT_EQ(RgbOfColourRef(0xFF0000), 0x0000FFu);  // blue
  EXPECT_EQ(RgbOfColourRef(0x408020), 0x208040u);
}

struct SizeCase {
  TwipsSize in, out;
};

class MinimumSize : public ::testing::TestWithParam<SizeCase> {};

TEST_P(MinimumSize, TwelveBySixtyPixels) {
  EXPECT_EQ(EnforceMinimumBarSize(GetParam().in), GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(Cases, MinimumSize,
                         ::testing::Values(SizeCase{{500, 10}, {900, 180}},
                                           SizeCase{{10, 500}, {900, 500}},
                                           SizeCase{{5295, 495}, {5295, 495}},
                                           SizeCase{{899, 180}, {900, 180}},
                                           SizeCase{{900, 179}, {900, 180}}));

TEST(ProgressBarText, WholePercent) {
  EXPECT_EQ(BarText(0), "0%");
  EXPECT_EQ(BarText(37.9f), "37%");
  EXPECT_EQ(BarText(100), "100%");
  EXPECT_EQ(BarText(250), "100%");
}

}  // namespace
}  // namespace kam::update
