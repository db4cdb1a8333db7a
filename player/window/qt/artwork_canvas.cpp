#include "player/window/qt/artwork_canvas.h"

#include "player/window/qt/artwork.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QtMath>

namespace kam::artwork::detail {

QImage NewCanvas(int w, int h, qreal dpr, const QColor& fill) {
  if (dpr <= 0) dpr = 1;
  QImage img(qCeil(w * dpr), qCeil(h * dpr), QImage::Format_ARGB32_Premultiplied);
  img.setDevicePixelRatio(dpr);
  img.fill(fill);
  return img;
}

void Prepare(QPainter& p) {
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setRenderHint(QPainter::TextAntialiasing, true);
  p.setRenderHint(QPainter::SmoothPixmapTransform, true);
}

QFont UiFont(qreal pixel_size, int weight) {
  QFont f;
  f.setFamilies({"Microsoft YaHei", "PingFang SC", "Noto Sans CJK SC", "Source Han Sans SC",
                 "WenQuanYi Micro Hei", "SimSun"});
  f.setPixelSize(qRound(pixel_size));
  f.setWeight(static_cast<QFont::Weight>(weight));
  f.setHintingPreference(QFont::PreferNoHinting);
  f.setStyleStrategy(QFont::PreferAntialias);
  return f;
}

QPixmap ToPixmap(const QImage& canvas) { return QPixmap::fromImage(canvas); }

QPen GlyphPen(const QColor& color, qreal width) {
  QPen pen(color, width);
  pen.setCapStyle(Qt::RoundCap);
  pen.setJoinStyle(Qt::RoundJoin);
  return pen;
}

void PaintBrandMark(QPainter& p, const QRectF& box) {
  p.save();
  const qreal s = box.width();
  QLinearGradient g(box.topLeft(), box.bottomRight());
  g.setColorAt(0, kBrandWarm);
  g.setColorAt(1, kBrandHot);
  p.setPen(Qt::NoPen);
  p.setBrush(g);
  const qreal r = s * 0.24;
  p.drawRoundedRect(box, r, r);
  // A soft sheen on the upper half keeps the mark from looking flat.
  QLinearGradient sheen(box.topLeft(), QPointF(box.left(), box.center().y()));
  sheen.setColorAt(0, QColor(255, 255, 255, 70));
  sheen.setColorAt(1, QColor(255, 255, 255, 0));
  p.setBrush(sheen);
  p.drawRoundedRect(box, r, r);
  // Play triangle, optically centred (moved right of the geometric centre).
  const QPointF c = box.center() + QPointF(s * 0.05, 0);
  const qreal t = s * 0.22;
  QPainterPath tri;
  tri.moveTo(c + QPointF(-t * 0.8, -t));
  tri.lineTo(c + QPointF(t * 1.05, 0));
  tri.lineTo(c + QPointF(-t * 0.8, t));
  tri.closeSubpath();
  p.setBrush(Qt::white);
  QPen edge(Qt::white, s * 0.05);
  edge.setJoinStyle(Qt::RoundJoin);
  p.setPen(edge);
  p.drawPath(tri);
  p.restore();
}

}  // namespace kam::artwork::detail

namespace kam::artwork {

void PaintPicture(QPainter& painter, const QPointF& at, const QPixmap& picture,
                  const QRectF& source) {
  const qreal dpr = picture.devicePixelRatio();
  const QRectF device_source(source.x() * dpr, source.y() * dpr, source.width() * dpr,
                             source.height() * dpr);
  painter.drawPixmap(QRectF(at, source.size()), picture, device_source);
}

}  // namespace kam::artwork
