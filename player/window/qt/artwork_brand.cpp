// The brand pictures: the logo of the title bar, the program icon and the handle's pointer.
#include <QLinearGradient>
#include <QPainterPath>
#include <QTransform>

#include "player/window/qt/artwork.h"
#include "player/window/qt/artwork_canvas.h"

namespace kam::artwork {
namespace {

using namespace detail;

// Pointing hand in a 32 x 32 box with the index finger's tip on the hot spot (12, 9).
QPainterPath HandPath() {
  QPainterPath hand;
  hand.addRoundedRect(QRectF(9.75, 8.5, 4.5, 14), 2.25, 2.25);  // index finger
  QPainterPath part;
  part.addRoundedRect(QRectF(14.25, 14, 4, 9), 2, 2);  // middle
  hand = hand.united(part);
  part = QPainterPath();
  part.addRoundedRect(QRectF(18.25, 15, 4, 8), 2, 2);  // ring
  hand = hand.united(part);
  part = QPainterPath();
  part.addRoundedRect(QRectF(22.25, 16.5, 3.75, 7), 1.85, 1.85);  // little
  hand = hand.united(part);
  part = QPainterPath();
  part.addRoundedRect(QRectF(9.75, 19, 16.25, 11), 4, 4);  // palm
  hand = hand.united(part);
  QPainterPath thumb;
  thumb.addRoundedRect(QRectF(-2.2, -7.5, 4.4, 10), 2.2, 2.2);
  QTransform t;
  t.translate(10.5, 25);
  t.rotate(-40);
  hand = hand.united(t.map(thumb));
  return hand.simplified();
}

}  // namespace

QPixmap Logo(qreal dpr) {
  QImage img = NewCanvas(kLogoW, kLogoH, dpr);
  QPainter p(&img);
  Prepare(p);
  PaintBrandMark(p, QRectF(2, 8, 34, 34));
  QFont word = UiFont(23, QFont::Bold);
  word.setLetterSpacing(QFont::AbsoluteSpacing, 0.5);
  p.setFont(word);
  p.setPen(Qt::white);
  p.drawText(QPointF(45, 29), QStringLiteral("KAM"));
  QFont sub = UiFont(10, QFont::Medium);
  sub.setLetterSpacing(QFont::AbsoluteSpacing, 3.2);
  p.setFont(sub);
  p.setPen(QColor(160, 160, 160));
  p.drawText(QPointF(46, 42), QStringLiteral("PLAYER"));
  p.end();
  return ToPixmap(img);
}

QCursor HandleCursor(qreal dpr) {
  QImage img = NewCanvas(kCursorSize, kCursorSize, dpr);
  QPainter p(&img);
  Prepare(p);
  const QPainterPath hand = HandPath();
  p.setPen(QPen(Qt::black, 1.1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::white);
  p.drawPath(hand);
  p.setPen(QPen(Qt::black, 0.9, Qt::SolidLine, Qt::RoundCap));
  for (qreal x : {14.25, 18.25, 22.25}) p.drawLine(QPointF(x, 20), QPointF(x, 22.5));
  p.end();
  return QCursor(ToPixmap(img), kCursorHotX, kCursorHotY);
}

QImage IconImage(int size) {
  QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainter p(&img);
  Prepare(p);
  if (size <= 20) {
    // Tray size: the mark without its sheen, and a triangle on whole pixels so it stays sharp.
    const qreal k = size / 16.0;
    QLinearGradient g(0, 0, size, size);
    g.setColorAt(0, kBrandWarm);
    g.setColorAt(1, kBrandHot);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(QRectF(0, 0, size, size), 3.5 * k, 3.5 * k);
    QPainterPath tri;
    tri.moveTo(6 * k, 4 * k);
    tri.lineTo(12 * k, 8 * k);
    tri.lineTo(6 * k, 12 * k);
    tri.closeSubpath();
    p.setBrush(Qt::white);
    p.drawPath(tri);
  } else {
    const qreal margin = size * 0.04;
    PaintBrandMark(p, QRectF(margin, margin, size - 2 * margin, size - 2 * margin));
  }
  p.end();
  return img;
}

QIcon AppIcon() {
  QIcon icon;
  for (int s : {16, 24, 32, 48, 64, 128, 256}) icon.addPixmap(QPixmap::fromImage(IconImage(s)));
  return icon;
}

}  // namespace kam::artwork
