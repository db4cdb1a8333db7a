// The window pictures: design sizes at every screen scale, the colours the window relies on at
// the places it copies from, and distinct frames. A contact sheet of every picture at ratio 1
// and 2 goes to the build's test output for a look by eye.
#include <gtest/gtest.h>
#include <QApplication>
#include <QDir>
#include <QPainter>
#include <functional>

#include "build_config.h"
#include "player/window/qt/artwork.h"
#include "player/window/qt/artwork_pictures.h"
#include "player/window/qt/form1_chrome_test_app.h"

namespace kam::artwork {
namespace {

class ArtworkTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { kam::window::testing::App(); }
};

QColor At(const QPixmap& pm, qreal x, qreal y) {
  const qreal dpr = pm.devicePixelRatio();
  return pm.toImage().pixelColor(int(x * dpr), int(y * dpr));
}

struct Picture {
  const char* name;
  std::function<QPixmap(qreal)> make;
  int w, h;
};

std::vector<Picture> AllPictures() {
  std::vector<Picture> v = {
      {"title bar", TitleBar, kTitleBarW, kTitleBarH},
      {"sp", TabSpriteLibrary, kTabSpriteW, kTabSpriteH},
      {"bf", TabSpritePlayer, kTabSpriteW, kTabSpriteH},
      {"Image12", HandlePanelShown, kHandleW, kHandleH},
      {"Image13", HandlePanelHidden, kHandleW, kHandleH},
      {"Image16", BinSprite, kBinW, kBinH},
      {"Image10", PanelHeader, kPanelHeaderW, kPanelHeaderH},
      {"bjimg", Placeholder, kPlaceholderW, kPlaceholderH},
      {"logo", Logo, kLogoW, kLogoH},
  };
  for (int c = 0; c <= static_cast<int>(Caption::kSz2); ++c) {
    v.push_back({"caption", [c](qreal d) { return CaptionButton(static_cast<Caption>(c), d); },
                 kCaptionW, kCaptionH});
  }
  return v;
}

TEST_F(ArtworkTest, EveryPictureHasItsDesignSizeAtEveryScale) {
  for (const Picture& pic : AllPictures()) {
    for (qreal dpr : {1.0, 1.5, 2.0}) {
      const QPixmap pm = pic.make(dpr);
      EXPECT_EQ(pm.devicePixelRatio(), dpr) << pic.name;
      EXPECT_EQ(pm.deviceIndependentSize().toSize(), QSize(pic.w, pic.h)) << pic.name << " " << dpr;
      EXPECT_EQ(pm.width(), qRound(pic.w * dpr)) << pic.name;
    }
  }
}

// The window logic asks for pictures by name: every name draws a picture of its own, and the
// caption buttons' names their normal or hover look.
TEST_F(ArtworkTest, EachPictureNameDrawsItsOwnPicture) {
  using window::Pic;
  std::vector<QImage> seen;
  for (int i = 0; i < static_cast<int>(Pic::kCount); ++i) {
    const QPixmap drawn = DrawPicture(static_cast<Pic>(i), 1.5);
    ASSERT_FALSE(drawn.isNull()) << i;
    EXPECT_EQ(drawn.devicePixelRatio(), 1.5) << i;
    const QImage img = drawn.toImage();
    for (const QImage& other : seen) EXPECT_NE(other, img) << i;
    seen.push_back(img);
  }
  EXPECT_TRUE(DrawPicture(Pic::kCount, 1).isNull());

  const QColor normal(25, 25, 25), hover(54, 54, 54), close_hover(168, 0, 0);
  const std::pair<Pic, QColor> captions[] = {
      {Pic::sz1, normal},  {Pic::sz2, hover},       {Pic::min1, normal}, {Pic::min2, hover},
      {Pic::max1, normal}, {Pic::max2, hover},      {Pic::max3, normal}, {Pic::max4, hover},
      {Pic::gb1, normal},  {Pic::gb2, close_hover},
  };
  for (const auto& [pic, back] : captions) {
    const QPixmap pm = DrawPicture(pic, 1);
    EXPECT_EQ(pm.deviceIndependentSize().toSize(), QSize(kCaptionW, kCaptionH));
    EXPECT_EQ(At(pm, 1, 1), back) << static_cast<int>(pic);
  }
}

TEST_F(ArtworkTest, TitleBarIsOneDarkColour) {
  const QImage img = TitleBar(2).toImage();
  for (QPoint pt : {QPoint(0, 0), QPoint(5999, 135), QPoint(3000, 60)}) {
    EXPECT_EQ(img.pixelColor(pt), QColor(25, 25, 25));
  }
}

TEST_F(ArtworkTest, CaptionButtonsUseTheirBackgrounds) {
  struct Row {
    Caption which;
    QColor back;
  } rows[] = {
      {Caption::kGb1, {25, 25, 25}},  {Caption::kGb2, {168, 0, 0}},
      {Caption::kMax1, {25, 25, 25}}, {Caption::kMax2, {54, 54, 54}},
      {Caption::kMax3, {25, 25, 25}}, {Caption::kMax4, {54, 54, 54}},
      {Caption::kMin1, {25, 25, 25}}, {Caption::kMin2, {54, 54, 54}},
      {Caption::kSz1, {25, 25, 25}},  {Caption::kSz2, {54, 54, 54}},
  };
  for (const Row& r : rows) {
    for (qreal dpr : {1.0, 2.0}) {
      const QPixmap pm = CaptionButton(r.which, dpr);
      EXPECT_EQ(At(pm, 1, 1), r.back) << static_cast<int>(r.which);
      EXPECT_EQ(At(pm, 33, 23), r.back) << static_cast<int>(r.which);
    }
  }
}

TEST_F(ArtworkTest, CaptionGlyphsAreDistinctAndCentred) {
  std::vector<QImage> seen;
  for (int c = 0; c <= static_cast<int>(Caption::kSz2); ++c) {
    const QImage img = CaptionButton(static_cast<Caption>(c), 1).toImage();
    // Ink only inside the middle of the button.
    const QColor back = img.pixelColor(0, 0);
    for (int y = 0; y < img.height(); ++y) {
      for (int x = 0; x < img.width(); ++x) {
        if (img.pixelColor(x, y) != back) {
          EXPECT_TRUE(x >= 10 && x < 25 && y >= 5 && y < 20) << c << " ink at " << x << "," << y;
        }
      }
    }
    for (const QImage& other : seen) EXPECT_NE(other, img) << c;
    seen.push_back(img);
  }
}

TEST_F(ArtworkTest, TabFramesShowTheirState) {
  for (auto make : {TabSpriteLibrary, TabSpritePlayer}) {
    const QPixmap pm = make(2);
    EXPECT_EQ(At(pm, 2, 2), QColor(25, 25, 25));    // normal frame
    EXPECT_EQ(At(pm, 152, 2), QColor(37, 37, 37));  // selected frame
    // The lit frame leaves its last 10 pixels dark: tab 1 covers them on tab 0.
    EXPECT_EQ(At(pm, 295, 2), QColor(25, 25, 25));
    // Selected words are brighter than normal ones.
    const QImage img = pm.toImage();
    auto brightest = [&](int x0) {
      int best = 0;
      for (int y = 0; y < img.height(); ++y) {
        for (int x = x0 * 2; x < (x0 + 140) * 2; ++x) {
          best = std::max(best, qGray(img.pixel(x, y)));
        }
      }
      return best;
    };
    EXPECT_GE(brightest(150), 250);
    EXPECT_LT(brightest(0), 200);
    EXPECT_GT(brightest(0), 120);
  }
  EXPECT_NE(TabSpriteLibrary(1).toImage(), TabSpritePlayer(1).toImage());
}

TEST_F(ArtworkTest, SpriteFramesDiffer) {
  auto frame = [](const QPixmap& pm, int x, int w) {
    const qreal d = pm.devicePixelRatio();
    return pm.toImage().copy(int(x * d), 0, int(w * d), pm.height());
  };
  for (auto make : {HandlePanelShown, HandlePanelHidden}) {
    const QPixmap pm = make(1);
    EXPECT_NE(frame(pm, 0, 10), frame(pm, 10, 10));
  }
  EXPECT_NE(frame(HandlePanelShown(1), 0, 10), frame(HandlePanelHidden(1), 0, 10));
  const QPixmap bin = BinSprite(1);
  EXPECT_NE(frame(bin, 0, 20), frame(bin, 20, 20));
  EXPECT_NE(frame(bin, 20, 20), frame(bin, 40, 20));
  EXPECT_EQ(At(bin, 0, 0), QColor(31, 31, 31));
  EXPECT_EQ(At(PanelHeader(1), 249, 0), QColor(48, 48, 48));
}

TEST_F(ArtworkTest, PaintPictureCopiesLogicalFramesAtEveryScale) {
  for (qreal dpr : {1.0, 2.0}) {
    QImage target(QSize(150, 65) * dpr, QImage::Format_ARGB32_Premultiplied);
    target.setDevicePixelRatio(dpr);
    target.fill(Qt::black);
    QPainter p(&target);
    PaintPicture(p, QPointF(0, 0), TabSpriteLibrary(dpr), QRectF(150, 0, 150, 65));
    p.end();
    EXPECT_EQ(target.pixelColor(int(2 * dpr), int(2 * dpr)), QColor(37, 37, 37)) << dpr;
    EXPECT_EQ(target.pixelColor(int(145 * dpr), int(2 * dpr)), QColor(25, 25, 25)) << dpr;
    const QImage sprite = TabSpriteLibrary(dpr).toImage();
    int differing = 0;
    for (int y = 0; y < target.height(); ++y) {
      for (int x = 0; x < target.width(); ++x) {
        differing += target.pixel(x, y) != sprite.pixel(x + int(150 * dpr), y);
      }
    }
    EXPECT_EQ(differing, 0) << dpr;
  }
}

TEST_F(ArtworkTest, IconHasEveryTraySize) {
  for (int s : {16, 32, 48}) {
    const QImage img = IconImage(s);
    EXPECT_EQ(img.size(), QSize(s, s));
    EXPECT_EQ(qAlpha(img.pixel(s / 2, s / 2)), 255) << s;  // opaque middle
    EXPECT_LT(qAlpha(img.pixel(0, 0)), 128) << s;          // rounded corner
  }
  const QIcon icon = AppIcon();
  EXPECT_FALSE(icon.isNull());
  EXPECT_EQ(icon.pixmap(QSize(32, 32)).size(), QSize(32, 32));
}

TEST_F(ArtworkTest, HandleCursorHasItsHotSpot) {
  const QCursor c = HandleCursor(1);
  EXPECT_EQ(c.hotSpot(), QPoint(kCursorHotX, kCursorHotY));
  const QImage img = c.pixmap().toImage();
  EXPECT_EQ(img.size(), QSize(32, 32));
  EXPECT_GT(qAlpha(img.pixel(12, 10)), 200);  // the fingertip is under the hot spot
}

// Not a check: lays every picture out on one sheet for a look by eye.
TEST_F(ArtworkTest, WritesContactSheet) {
  const QString dir = QString::fromUtf8(kam::build::kBuildDir) + "/test-output/chrome";
  QDir().mkpath(dir);
  for (qreal dpr : {1.0, 2.0}) {
    QImage sheet(QSize(980, 560) * dpr, QImage::Format_ARGB32_Premultiplied);
    sheet.setDevicePixelRatio(dpr);
    sheet.fill(QColor(70, 70, 70));
    QPainter p(&sheet);
    int x = 10, y = 10, row_h = 0;
    for (const Picture& pic : AllPictures()) {
      const int w = std::min(pic.w, 900);
      if (x + w > 970) {
        x = 10;
        y += row_h + 10;
        row_h = 0;
      }
      PaintPicture(p, QPointF(x, y), pic.make(dpr), QRectF(0, 0, w, pic.h));
      x += w + 10;
      row_h = std::max(row_h, pic.h);
    }
    p.drawPixmap(x, y, HandleCursor(dpr).pixmap());
    p.end();
    ASSERT_TRUE(sheet.save(dir + QString("/artwork_sheet_x%1.png").arg(int(dpr))));
  }
}

}  // namespace
}  // namespace kam::artwork
