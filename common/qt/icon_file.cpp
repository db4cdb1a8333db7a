#include "common/qt/icon_file.h"

#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QString>

#include "common/path_text.h"

namespace kam {

QIcon LoadIconFromFile(const std::filesystem::path& path) {
  QImageReader reader(QString::fromStdString(PathUtf8(path)), "ico");
  QIcon icon;
  // An .ico file holds the images of one icon, one per size; each becomes a size of the QIcon.
  for (int i = 0; i < 64; ++i) {
    QImage image = reader.read();
    if (image.isNull()) break;
    icon.addPixmap(QPixmap::fromImage(std::move(image)));
    if (!reader.jumpToNextImage()) break;
  }
  return icon;
}

QIcon BuiltInIcon() {
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128, 256}) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(37, 37, 37));
    p.drawRoundedRect(QRectF(0, 0, s, s), s * 0.18, s * 0.18);
    QPainterPath play;
    play.moveTo(s * 0.36, s * 0.26);
    play.lineTo(s * 0.76, s * 0.5);
    play.lineTo(s * 0.36, s * 0.74);
    play.closeSubpath();
    p.setBrush(QColor(235, 235, 235));
    p.drawPath(play);
    p.end();
    icon.addPixmap(QPixmap::fromImage(image));
  }
  return icon;
}

QIcon IconFromFileOr(const std::filesystem::path& path, const QIcon& fallback) {
  QIcon icon = LoadIconFromFile(path);
  return icon.isNull() ? fallback : icon;
}

}  // namespace kam
