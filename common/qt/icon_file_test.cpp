#include "common/qt/icon_file.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QImageWriter>

#include "tests/support/temp_dir.h"

namespace kam {
namespace {

// One application for the whole test program; the plain-text tests need widgets.
QGuiApplication& App() {
  static int argc = 1;
  static char name[] = "common_qt_test";
  static char* argv[] = {name, nullptr};
  static auto* app =
      qApp != nullptr ? static_cast<QGuiApplication*>(qApp) : new QApplication(argc, argv);
  return *app;
}

// The bytes of an .ico file holding one image of size x size in colour.
std::string IcoBytes(int size, QColor color) {
  QImage image(size, size, QImage::Format_ARGB32);
  image.fill(color);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, "ico");
  EXPECT_TRUE(writer.write(image)) << writer.errorString().toStdString();
  return bytes.toStdString();
}

TEST(IconFile, ReadsTheIconOfAnIcoFile) {
  App();
  testing::TempDir dir;
  const auto file = dir.Write("icon.ico", IcoBytes(32, Qt::red));
  const QIcon icon = LoadIconFromFile(file);
  ASSERT_FALSE(icon.isNull());
  const QImage drawn = icon.pixmap(32, 32).toImage();
  EXPECT_EQ(drawn.pixelColor(16, 16), QColor(Qt::red));
}

TEST(IconFile, MissingEmptyOrForeignFilesGiveNoIcon) {
  App();
  testing::TempDir dir;
  EXPECT_TRUE(LoadIconFromFile(dir.path() / "none.ico").isNull());
  EXPECT_TRUE(LoadIconFromFile(dir.Write("empty.ico", "")).isNull());
  EXPECT_TRUE(LoadIconFromFile(dir.Write("text.ico", "not an icon at all")).isNull());
}

TEST(IconFile, FallbackStandsInWhenTheFileHoldsNone) {
  App();
  testing::TempDir dir;
  const QIcon builtin = BuiltInIcon();
  ASSERT_FALSE(builtin.isNull());
  for (int size : {16, 32, 48}) EXPECT_TRUE(builtin.availableSizes().contains(QSize(size, size)));
  const QIcon chosen = IconFromFileOr(dir.Write("empty.ico", ""), builtin);
  EXPECT_EQ(chosen.cacheKey(), builtin.cacheKey());
  const QIcon from_file = IconFromFileOr(dir.Write("ok.ico", IcoBytes(16, Qt::blue)), builtin);
  EXPECT_NE(from_file.cacheKey(), builtin.cacheKey());
}

}  // namespace
}  // namespace kam
