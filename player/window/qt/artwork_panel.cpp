// Pictures of the player area: the side-panel handle, the clear-history bin, the play-list
// header and the idle placeholder.
#include <QPainterPath>
#include <QRadialGradient>

#include "player/window/qt/artwork.h"
#include "player/window/qt/artwork_canvas.h"

namespace kam::artwork {
namespace {

using namespace detail;

// One 10 x 128 handle frame: a dark tab with a chevron and two grip dots.
void PaintHandleFrame(QPainter& p, qreal x0, bool points_right, bool hover) {
  const QRectF frame(x0, 0, kHandleFrameW, kHandleH);
  p.fillRect(frame, hover ? QColor(58, 58, 58) : kBarDark);
  // A hairline on the side facing the content keeps the handle apart from dark pages.
  p.fillRect(QRectF(x0, 0, 1, kHandleH), hover ? QColor(80, 80, 80) : QColor(40, 40, 40));
  const QColor ink = hover ? kAccent : QColor(170, 170, 170);
  const qreal cx = x0 + kHandleFrameW / 2.0 + 0.25, cy = kHandleH / 2.0;
  const qreal dx = points_right ? 1.75 : -1.75;
  QPainterPath chevron;
  chevron.moveTo(cx - dx, cy - 4);
  chevron.lineTo(cx + dx, cy);
  chevron.lineTo(cx - dx, cy + 4);
  p.setPen(GlyphPen(ink, 1.5));
  p.setBrush(Qt::NoBrush);
  p.drawPath(chevron);
  p.setPen(Qt::NoPen);
  p.setBrush(hover ? QColor(150, 150, 150) : QColor(80, 80, 80));
  for (int i = -1; i <= 1; i += 2) {
    for (int k = 0; k < 3; ++k) {
      p.drawEllipse(QPointF(cx, cy + i * (16 + 4 * k)), 0.9, 0.9);
    }
  }
}

QPixmap Handle(qreal dpr, bool points_right) {
  QImage img = NewCanvas(kHandleW, kHandleH, dpr);
  QPainter p(&img);
  Prepare(p);
  PaintHandleFrame(p, 0, points_right, false);
  PaintHandleFrame(p, kHandleFrameW, points_right, true);
  p.end();
  return ToPixmap(img);
}

// A waste bin in a 20 x 27 frame: lid with handle, tapered can, three ribs.
void PaintBin(QPainter& p, qreal x0, const QColor& ink, qreal drop) {
  const qreal cx = x0 + 10, top = 7 + drop;
  p.setBrush(Qt::NoBrush);
  p.setPen(GlyphPen(ink, 1.4));
  p.drawLine(QPointF(cx - 6.5, top + 2), QPointF(cx + 6.5, top + 2));
  QPainterPath handle;
  handle.moveTo(cx - 2.5, top + 2);
  handle.lineTo(cx - 2.5, top);
  handle.lineTo(cx + 2.5, top);
  handle.lineTo(cx + 2.5, top + 2);
  p.drawPath(handle);
  QPainterPath can;
  can.moveTo(cx - 5, top + 4);
  can.lineTo(cx - 4.2, top + 14);
  can.quadTo(cx - 4, top + 15, cx - 3, top + 15);
  can.lineTo(cx + 3, top + 15);
  can.quadTo(cx + 4, top + 15, cx + 4.2, top + 14);
  can.lineTo(cx + 5, top + 4);
  p.drawPath(can);
  p.setPen(GlyphPen(ink, 1.1));
  for (qreal rx : {-2.0, 0.0, 2.0}) {
    p.drawLine(QPointF(cx + rx, top + 6.5), QPointF(cx + rx * 0.9, top + 12.5));
  }
}

void PaintListGlyph(QPainter& p, const QPointF& o, const QColor& ink) {
  p.setPen(Qt::NoPen);
  p.setBrush(kAccent);
  for (int i = 0; i < 3; ++i) p.drawEllipse(o + QPointF(1.5, 2.5 + 5 * i), 1.5, 1.5);
  p.setPen(GlyphPen(ink, 1.6));
  for (int i = 0; i < 3; ++i) {
    p.drawLine(o + QPointF(6, 2.5 + 5 * i), o + QPointF(i == 2 ? 13 : 16, 2.5 + 5 * i));
  }
}

}  // namespace

QPixmap HandlePanelShown(qreal dpr) { return Handle(dpr, true); }
QPixmap HandlePanelHidden(qreal dpr) { return Handle(dpr, false); }

QPixmap BinSprite(qreal dpr) {
  QImage img = NewCanvas(kBinW, kBinH, dpr, kBinBack);
  QPainter p(&img);
  Prepare(p);
  PaintBin(p, 0, QColor(150, 150, 150), 0);
  PaintBin(p, kBinFrameW, kAccent, 0);
  PaintBin(p, 2 * kBinFrameW, kAccentDeep, 0.6);
  p.end();
  return ToPixmap(img);
}

QPixmap PanelHeader(qreal dpr) {
  QImage img = NewCanvas(kPanelHeaderW, kPanelHeaderH, dpr, kPanelHeader);
  QPainter p(&img);
  Prepare(p);
  PaintListGlyph(p, QPointF(14, 10), QColor(225, 225, 225));
  const QFont font = UiFont(14, QFont::Medium);
  const QFontMetricsF fm(font);
  p.setFont(font);
  p.setPen(QColor(235, 235, 235));
  const qreal baseline = kPanelHeaderH / 2.0 + (fm.ascent() - fm.descent()) / 2;
  p.drawText(QPointF(40, baseline), QStringLiteral("播放列表"));
  p.end();
  return ToPixmap(img);
}

QPixmap Placeholder(qreal dpr) {
  QImage img = NewCanvas(kPlaceholderW, kPlaceholderH, dpr);
  QPainter p(&img);
  Prepare(p);
  // A dark card, so the picture reads the same on whatever colour the area behind it has.
  const QRectF card(0.5, 0.5, kPlaceholderW - 1, kPlaceholderH - 1);
  QLinearGradient face(card.topLeft(), card.bottomLeft());
  face.setColorAt(0, QColor(34, 34, 34, 240));
  face.setColorAt(1, QColor(22, 22, 22, 240));
  p.setPen(QPen(QColor(255, 255, 255, 22), 1));
  p.setBrush(face);
  p.drawRoundedRect(card, 14, 14);
  const QPointF c(kPlaceholderW / 2.0, 80);
  // Soft warm glow behind the emblem.
  QRadialGradient glow(c, 70);
  glow.setColorAt(0, QColor(255, 138, 0, 60));
  glow.setColorAt(1, QColor(255, 138, 0, 0));
  p.setPen(Qt::NoPen);
  p.setBrush(glow);
  p.drawEllipse(c, 70, 70);
  // Ring and play triangle.
  p.setBrush(QColor(255, 255, 255, 12));
  p.setPen(QPen(QColor(255, 255, 255, 70), 2));
  p.drawEllipse(c, 38, 38);
  QPainterPath tri;
  tri.moveTo(c + QPointF(-10, -16));
  tri.lineTo(c + QPointF(18, 0));
  tri.lineTo(c + QPointF(-10, 16));
  tri.closeSubpath();
  QLinearGradient g(c + QPointF(0, -16), c + QPointF(0, 16));
  g.setColorAt(0, kBrandWarm);
  g.setColorAt(1, kBrandHot);
  QPen edge(QBrush(g), 4);
  edge.setJoinStyle(Qt::RoundJoin);
  p.setPen(edge);
  p.setBrush(g);
  p.drawPath(tri);
  p.setFont(UiFont(15, QFont::Medium));
  p.setPen(QColor(225, 225, 225));
  p.drawText(QRectF(0, 134, kPlaceholderW, 24), Qt::AlignHCenter | Qt::AlignVCenter,
             QStringLiteral("在影视库中选择影片开始观看"));
  p.setFont(UiFont(12));
  p.setPen(QColor(140, 140, 140));
  p.drawText(QRectF(0, 160, kPlaceholderW, 20), Qt::AlignHCenter | Qt::AlignVCenter,
             QStringLiteral("播放记录保存在右侧的播放列表中"));
  p.end();
  return ToPixmap(img);
}

}  // namespace kam::artwork
