#include "update/qt/skin_art.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include "update/updater_chrome.h"

namespace kam::update {
namespace {

const QColor kSkyTop(0x1E, 0x6F, 0xC8);
const QColor kSkyBottom(0x8E, 0xC8, 0xF4);

QPixmap Canvas(int width, int height) {
  QPixmap pixmap(width, height);
  pixmap.fill(Qt::white);
  return pixmap;
}

void Cloud(QPainter& p, QPointF centre, qreal scale) {
  QRadialGradient glow(centre, 60 * scale);
  glow.setColorAt(0, QColor(255, 255, 255, 210));
  glow.setColorAt(1, QColor(255, 255, 255, 0));
  p.setPen(Qt::NoPen);
  p.setBrush(glow);
  const QPointF puffs[] = {{-34, 6}, {-12, -8}, {14, -12}, {36, 2}, {4, 10}};
  for (QPointF puff : puffs) {
    p.drawEllipse(centre + puff * scale, 30 * scale, 18 * scale);
  }
}

}  // namespace

QPixmap UpdaterSkin() {
  QPixmap pixmap = Canvas(kUpdaterWidth, kUpdaterHeight);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient sky(0, 0, 0, kBannerHeight);
  sky.setColorAt(0, kSkyTop);
  sky.setColorAt(1, kSkyBottom);
  p.fillRect(QRect(0, 0, kUpdaterWidth, kBannerHeight), sky);
  p.setClipRect(QRect(0, 0, kUpdaterWidth, kBannerHeight));
  Cloud(p, {90, 70}, 1.0);
  Cloud(p, {260, 40}, 0.7);
  Cloud(p, {420, 78}, 1.2);
  return pixmap;
}

QPixmap ButtonPicture(ButtonArt art) {
  const bool hover = art == ButtonArt::kOkHover || art == ButtonArt::kUpdateHover;
  const bool ok = art == ButtonArt::kOkNormal || art == ButtonArt::kOkHover;
  QPixmap pixmap = Canvas(kButtonPictureWidth, kButtonPictureHeight);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  QRectF body(0.5, 0.5, kButtonPictureWidth - 1, kButtonPictureHeight - 1);
  QLinearGradient fill(0, 0, 0, kButtonPictureHeight);
  fill.setColorAt(0, hover ? QColor(0x8C, 0xE0, 0x6A) : QColor(0x6C, 0xC8, 0x4A));
  fill.setColorAt(0.5, hover ? QColor(0x5C, 0xC4, 0x3A) : QColor(0x44, 0xAA, 0x2A));
  fill.setColorAt(1, hover ? QColor(0x46, 0xAE, 0x2C) : QColor(0x34, 0x92, 0x1E));
  p.setPen(QColor(0x2A, 0x7A, 0x18));
  p.setBrush(fill);
  p.drawRoundedRect(body, 5, 5);
  QFont font;
  font.setFamilies({"SimSun", "宋体", "WenQuanYi Micro Hei"});
  font.setPixelSize(15);
  font.setBold(true);
  p.setFont(font);
  p.setPen(Qt::white);
  p.drawText(QRect(0, 0, kButtonPictureWidth, kButtonPictureHeight), Qt::AlignCenter,
             ok ? QStringLiteral("确定") : QStringLiteral("立即更新"));
  return pixmap;
}

namespace {

// One strip: normal, pressed and hover states, each with the given background and glyph.
QPixmap StripArt(const QColor (&backgrounds)[3], void (*glyph)(QPainter&, QRectF)) {
  QPixmap pixmap = Canvas(kStripWidth, kStripPieceHeight);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  for (int state = 0; state < 3; ++state) {
    QRectF cell(state * kStripPieceWidth, 0, kStripPieceWidth, kStripPieceHeight);
    p.fillRect(cell, backgrounds[state]);
    glyph(p, cell);
  }
  return pixmap;
}

void CrossGlyph(QPainter& p, QRectF cell) {
  QPen pen(Qt::white, 2.2);
  pen.setCapStyle(Qt::RoundCap);
  p.setPen(pen);
  QPointF c = cell.center();
  p.drawLine(c + QPointF(-5, -5), c + QPointF(5, 5));
  p.drawLine(c + QPointF(-5, 5), c + QPointF(5, -5));
}

void BarGlyph(QPainter& p, QRectF cell) {
  QPointF c = cell.center();
  p.fillRect(QRectF(c.x() - 6, c.y() + 3, 12, 2.5), Qt::white);
}

}  // namespace

QPixmap CloseStrip() {
  const QColor backgrounds[3] = {QColor(0x26, 0x76, 0xCC), QColor(0xB0, 0x1E, 0x1E),
                                 QColor(0xE0, 0x3A, 0x2E)};
  return StripArt(backgrounds, CrossGlyph);
}

QPixmap MinimiseStrip() {
  const QColor backgrounds[3] = {QColor(0x26, 0x76, 0xCC), QColor(0x1A, 0x5A, 0xA6),
                                 QColor(0x4E, 0x9A, 0xE8)};
  return StripArt(backgrounds, BarGlyph);
}

}  // namespace kam::update
