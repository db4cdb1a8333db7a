#include "update/qt/progress_bar.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <algorithm>

#include "update/qt/qt_test_app.h"

namespace kam::update {
namespace {

using testing::App;

QRgb Pixel(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }

TEST(ProgressBarWidget, ShowsLookZeroPixelForPixel) {
  App();
  ProgressBar bar;
  bar.setPercentage(false);
  bar.resize(353, 33);
  bar.setValue(50);
  const QImage shown = bar.grab().toImage();
  ASSERT_EQ(shown.size(), QSize(353, 33));
  const QRgb kFrame = 0xBEBEBE, kWhite = 0xFFFFFF;
  EXPECT_EQ(Pixel(shown, 0, 0), kFrame);
  EXPECT_EQ(Pixel(shown, 352, 32), kFrame);
  EXPECT_EQ(Pixel(shown, 176, 0), kFrame);
  EXPECT_EQ(Pixel(shown, 0, 16), kFrame);
  EXPECT_EQ(Pixel(shown, 1, 1), kWhite);
  // 349 x 0.5 -> a fill of 174 pixels from x 2: shading from 9FBBDE at the top to 6892C2.
  EXPECT_EQ(Pixel(shown, 2, 2), 0x9FBBDEu);
  EXPECT_EQ(Pixel(shown, 175, 2), 0x9FBBDEu);
  EXPECT_EQ(Pixel(shown, 2, 30), 0x6892C2u);
  EXPECT_EQ(Pixel(shown, 176, 16), kWhite);
  EXPECT_EQ(Pixel(shown, 351, 16), kWhite);
  EXPECT_EQ(shown.convertToFormat(QImage::Format_RGB32),
            bar.surfaceImage().convertToFormat(QImage::Format_RGB32));
}

TEST(ProgressBarWidget, ValueIsClampedAndAnnounced) {
  App();
  ProgressBar bar;
  QSignalSpy changed(&bar, &ProgressBar::propertyChanged);
  bar.setValue(150);
  EXPECT_EQ(bar.value(), 100);
  bar.setValue(-5);
  EXPECT_EQ(bar.value(), 0);
  ASSERT_EQ(changed.count(), 2);
  EXPECT_EQ(changed.at(0).at(0).toString(), "Value");
  bar.setBarStyle(2);
  bar.setForeColor(0xFF);
  bar.setPercentage(false);
  ASSERT_EQ(changed.count(), 5);
  EXPECT_EQ(changed.at(2).at(0).toString(), "Style");
  EXPECT_EQ(changed.at(3).at(0).toString(), "ForeColor");
  EXPECT_EQ(changed.at(4).at(0).toString(), "Percentage");
}

TEST(ProgressBarWidget, FullBarOnEveryLookEndsTwoOrThreePixelsFromTheRight) {
  App();
  ProgressBar bar;
  bar.setPercentage(false);
  bar.resize(200, 24);
  for (int style = 0; style < 4; ++style) {
    bar.setBarStyle(style);
    bar.setValue(0);
    const QImage empty = bar.surfaceImage();
    bar.setValue(100);
    const QImage full = bar.surfaceImage();
    const int inset = style == 3 ? 3 : 2;
    // Inside the fill area the picture changed; the border columns did not.
    EXPECT_NE(Pixel(full, inset, 12), Pixel(empty, inset, 12)) << style;
    EXPECT_NE(Pixel(full, 200 - inset - 1, 12), Pixel(empty, 200 - inset - 1, 12)) << style;
    EXPECT_EQ(Pixel(full, 200 - inset, 12), Pixel(empty, 200 - inset, 12)) << style;
  }
}

TEST(ProgressBarWidget, NeverSmallerThanTwelveBySixtyPixels) {
  App();
  ProgressBar bar;
  bar.show();
  bar.resize(10, 1);
  EXPECT_EQ(bar.size(), QSize(60, 12));
  bar.resize(300, 5);
  EXPECT_EQ(bar.size(), QSize(300, 12));
  EXPECT_EQ(bar.surfaceImage().size(), QSize(300, 12));
}

TEST(ProgressBarWidget, UnknownStyleKeepsTheLastPicture) {
  App();
  ProgressBar bar;
  bar.resize(120, 20);
  bar.setValue(40);
  const QImage before = bar.surfaceImage();
  bar.setBarStyle(7);
  bar.setValue(90);
  bar.setPercentage(false);
  EXPECT_EQ(bar.surfaceImage(), before);
}

int ReddishPixels(const QImage& image) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      if (c.red() > 180 && c.green() < 110 && c.blue() < 110) ++count;
    }
  }
  return count;
}

TEST(ProgressBarWidget, PercentageTextIsPrintedInForeColor) {
  App();
  ProgressBar bar;
  bar.resize(200, 30);
  bar.setForeColor(0x0000FF);  // red, as 0x00BBGGRR
  bar.setValue(10);
  EXPECT_GT(ReddishPixels(bar.surfaceImage().copy(60, 0, 80, 30)), 5);
  bar.setPercentage(false);
  EXPECT_EQ(ReddishPixels(bar.surfaceImage()), 0);
}

TEST(ProgressBarWidget, SavedSettings) {
  App();
  ProgressBar bar;
  PropertyBag saved;
  bar.writeProperties(saved);
  EXPECT_EQ(saved.size(), 0u);  // a fresh bar holds only defaults

  // A bag with only the control's extent loads as the defaults.
  bar.setPercentage(false);
  bar.setValue(30);
  bar.readProperties(PropertyBag{});
  EXPECT_EQ(bar.value(), 0);
  EXPECT_EQ(bar.barStyle(), 0);
  EXPECT_EQ(bar.foreColor(), 0);
  EXPECT_TRUE(bar.percentage());

  PropertyBag bag;
  bag.Write<float>("Value", 250.0f, 0.0f);
  bag.Write<std::int32_t>("Style", 3, 0);
  bag.Write<bool>("Percentage", false, true);
  bar.readProperties(bag);
  EXPECT_EQ(bar.value(), 100);  // through the setter
  EXPECT_EQ(bar.barStyle(), 3);
  EXPECT_FALSE(bar.percentage());
  PropertyBag again;
  bar.writeProperties(again);
  EXPECT_EQ(again.Read<float>("Value", 0.0f), 100.0f);
  EXPECT_EQ(again.Read<std::int32_t>("Style", 0), 3);
  EXPECT_FALSE(again.Has("ForeColor"));
}

}  // namespace
}  // namespace kam::update
