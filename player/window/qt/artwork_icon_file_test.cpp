// The program icon file: what we encode reads back image for image, and the committed
// "\skin\icon.ico" is the current artwork. Run with KAM_WRITE_ICON=1 to write that file anew
// after changing the artwork.
#include "player/window/qt/artwork_icon_file.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <cstdlib>

#include "build_config.h"
#include "player/window/qt/artwork.h"
#include "player/window/qt/form1_chrome_test_app.h"

namespace kam::artwork {
namespace {

class IconFileTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { kam::window::testing::App(); }
};

std::vector<QImage> Decode(const QByteArray& bytes) {
  QBuffer buf;
  buf.setData(bytes);
  buf.open(QIODevice::ReadOnly);
  QImageReader reader(&buf, "ico");
  std::vector<QImage> out;
  for (int i = 0; i < reader.imageCount(); ++i) {
    if (!reader.jumpToImage(i)) break;
    out.push_back(reader.read().convertToFormat(QImage::Format_ARGB32));
  }
  return out;
}

// Largest per-channel difference between two images of one size (unpremultiplied).
int MaxDifference(const QImage& a, const QImage& b) {
  const QImage x = a.convertToFormat(QImage::Format_ARGB32);
  const QImage y = b.convertToFormat(QImage::Format_ARGB32);
  int worst = 0;
  for (int r = 0; r < x.height(); ++r) {
    for (int c = 0; c < x.width(); ++c) {
      const QRgb p = x.pixel(c, r), q = y.pixel(c, r);
      worst = std::max(worst, std::abs(qAlpha(p) - qAlpha(q)));
      if (qAlpha(p) > 32) {  // colour of nearly transparent pixels is not kept exactly
        worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                          std::abs(qBlue(p) - qBlue(q))});
      }
    }
  }
  return worst;
}

TEST_F(IconFileTest, EncodedImagesReadBack) {
  QImage odd(20, 7, QImage::Format_ARGB32);
  odd.fill(Qt::transparent);
  odd.setPixel(3, 2, qRgba(10, 200, 30, 255));
  odd.setPixel(19, 6, qRgba(250, 0, 0, 128));
  const std::vector<QImage> in = {IconImage(16), odd, IconImage(48)};
  const std::vector<QImage> out = Decode(EncodeIco(in));
  ASSERT_EQ(out.size(), in.size());
  for (size_t i = 0; i < in.size(); ++i) {
    ASSERT_EQ(out[i].size(), in[i].size()) << i;
    EXPECT_LE(MaxDifference(out[i], in[i]), 2) << i;
  }
}

TEST_F(IconFileTest, OversizedImagesAreLeftOut) {
  const std::vector<QImage> out =
      Decode(EncodeIco({QImage(300, 300, QImage::Format_ARGB32), IconImage(32)}));
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0].size(), QSize(32, 32));
}

TEST_F(IconFileTest, CommittedIconIsTheArtwork) {
  const QString path = QString::fromUtf8(kam::build::kSourceDir) + "/assets/skin/icon.ico";
  if (const char* w = std::getenv("KAM_WRITE_ICON"); w && std::string(w) == "1") {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(ProgramIconFile());
  }
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
  const std::vector<QImage> images = Decode(f.readAll());
  ASSERT_EQ(images.size(), 3u);
  const int sizes[] = {16, 32, 48};
  for (int i = 0; i < 3; ++i) {
    ASSERT_EQ(images[i].size(), QSize(sizes[i], sizes[i]));
    EXPECT_LE(MaxDifference(images[i], IconImage(sizes[i])), 3) << sizes[i];
  }
}

}  // namespace
}  // namespace kam::artwork
