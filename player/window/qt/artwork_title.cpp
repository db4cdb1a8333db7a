// Pictures of the title bar: its background, the two tab sprites and the caption buttons.
#include <QPainterPath>

#include "player/window/qt/artwork.h"
#include "player/window/qt/artwork_canvas.h"

namespace kam::artwork {
namespace {

using namespace detail;

// Tab 1 is drawn 10 pixels over the end of tab 0, so the lit part of each frame is the first
// 140 pixels: both tabs then look the same width on the bar.
constexpr qreal kTabVisibleW = 140;

void PaintHouse(QPainter& p, const QPointF& o, const QColor& c) {
  p.setPen(GlyphPen(c, 1.8));
  p.setBrush(Qt::NoBrush);
  QPainterPath roof;
  roof.moveTo(o + QPointF(1.5, 10.5));
  roof.lineTo(o + QPointF(11, 2));
  roof.lineTo(o + QPointF(20.5, 10.5));
  p.drawPath(roof);
  QPainterPath body;
  body.moveTo(o + QPointF(4.5, 8.5));
  body.lineTo(o + QPointF(4.5, 20));
  body.lineTo(o + QPointF(17.5, 20));
  body.lineTo(o + QPointF(17.5, 8.5));
  p.drawPath(body);
  p.drawRoundedRect(QRectF(o + QPointF(9, 13.5), QSizeF(4, 6.5)), 0.8, 0.8);
}

void PaintCamera(QPainter& p, const QPointF& o, const QColor& c) {
  p.setPen(GlyphPen(c, 1.8));
  p.setBrush(Qt::NoBrush);
  p.drawRoundedRect(QRectF(o + QPointF(1, 5.5), QSizeF(13.5, 11)), 2.5, 2.5);
  QPainterPath lens;
  lens.moveTo(o + QPointF(14.5, 9.5));
  lens.lineTo(o + QPointF(21, 6));
  lens.lineTo(o + QPointF(21, 16));
  lens.lineTo(o + QPointF(14.5, 12.5));
  p.drawPath(lens);
  p.setPen(Qt::NoPen);
  p.setBrush(c);
  p.drawEllipse(o + QPointF(5, 9.5), 1.4, 1.4);
}

enum class TabLook { kNormal, kLit, kPressed };

void PaintTabFrame(QPainter& p, qreal x0, TabLook look, bool library) {
  const QRectF lit(x0, 0, kTabVisibleW, kTabSpriteH);
  QColor ink = kTextGrey;
  if (look != TabLook::kNormal) {
    p.fillRect(lit, look == TabLook::kLit ? kTabLit : QColor(31, 31, 31));
    // Accent bar along the bottom, inset so it reads as a tab marker, not a rule.
    QLinearGradient g(lit.left(), 0, lit.right(), 0);
    g.setColorAt(0, QColor(kAccent.red(), kAccent.green(), kAccent.blue(), 0));
    g.setColorAt(0.2, kAccent);
    g.setColorAt(0.8, kAccent);
    g.setColorAt(1, QColor(kAccent.red(), kAccent.green(), kAccent.blue(), 0));
    p.fillRect(QRectF(x0 + 12, kTabSpriteH - 3, kTabVisibleW - 24, 3), g);
    ink = look == TabLook::kLit ? QColor(Qt::white) : QColor(220, 220, 220);
  }
  const QString words = library ? QStringLiteral("影视库") : QStringLiteral("播放器");
  const QFont font = UiFont(16, QFont::Medium);
  const QFontMetricsF fm(font);
  const qreal glyph_w = 22, gap = 8;
  const qreal text_w = fm.horizontalAdvance(words);
  const qreal left = x0 + (kTabVisibleW - (glyph_w + gap + text_w)) / 2;
  const qreal mid = kTabSpriteH / 2.0;
  const QPointF glyph_origin(left, mid - 11.5);
  if (library) {
    PaintHouse(p, glyph_origin, ink);
  } else {
    PaintCamera(p, glyph_origin, ink);
  }
  p.setFont(font);
  p.setPen(ink);
  const qreal baseline = mid + (fm.ascent() - fm.descent()) / 2;
  p.drawText(QPointF(left + glyph_w + gap, baseline), words);
}

QPixmap TabSprite(qreal dpr, bool library) {
  QImage img = NewCanvas(kTabSpriteW, kTabSpriteH, dpr, kBarDark);
  QPainter p(&img);
  Prepare(p);
  PaintTabFrame(p, 0, TabLook::kNormal, library);
  PaintTabFrame(p, kTabFrameW, TabLook::kLit, library);
  PaintTabFrame(p, 2 * kTabFrameW, TabLook::kPressed, library);
  p.end();
  return ToPixmap(img);
}

// Glyphs sit in a 10 x 10 box centred on the 35 x 25 button; half-pixel coordinates put
// 1-pixel strokes exactly on device pixels at ratio 1 and 2.
void PaintCaptionGlyph(QPainter& p, Caption which, const QColor& ink) {
  const qreal l = 12.5, t = 7.5, s = 10;
  p.setBrush(Qt::NoBrush);
  switch (which) {
    case Caption::kGb1:
    case Caption::kGb2:
      p.setPen(GlyphPen(ink, 1.3));
      p.drawLine(QPointF(l + 0.5, t + 0.5), QPointF(l + s - 0.5, t + s - 0.5));
      p.drawLine(QPointF(l + s - 0.5, t + 0.5), QPointF(l + 0.5, t + s - 0.5));
      break;
    case Caption::kMax1:
    case Caption::kMax2:
      p.setPen(QPen(ink, 1));
      p.drawRect(QRectF(l, t, s, s));
      break;
    case Caption::kMax3:
    case Caption::kMax4: {
      // Two windows: the front one lower left, the back one peeking out at the top right.
      p.setPen(QPen(ink, 1));
      p.drawRect(QRectF(l, t + 3, 7, 7));
      QPainterPath back;
      back.moveTo(l + 3, t + 3);
      back.lineTo(l + 3, t);
      back.lineTo(l + s, t);
      back.lineTo(l + s, t + 7);
      back.lineTo(l + 7, t + 7);
      p.drawPath(back);
      break;
    }
    case Caption::kMin1:
    case Caption::kMin2:
      p.setPen(QPen(ink, 1));
      p.drawLine(QPointF(l, 12.5), QPointF(l + s, 12.5));
      break;
    case Caption::kSz1:
    case Caption::kSz2: {
      p.setPen(QPen(ink, 1));
      p.drawRoundedRect(QRectF(l, t, s, s), 1.5, 1.5);
      QPainterPath tri;
      tri.moveTo(l + 2, t + 3.5);
      tri.lineTo(l + s - 2, t + 3.5);
      tri.lineTo(l + s / 2, t + 7);
      tri.closeSubpath();
      p.setPen(Qt::NoPen);
      p.setBrush(ink);
      p.drawPath(tri);
      break;
    }
  }
}

bool IsHover(Caption which) {
  switch (which) {
    case Caption::kGb2:
    case Caption::kMax2:
    case Caption::kMax4:
    case Caption::kMin2:
    case Caption::kSz2:
      return true;
    default:
      return false;
  }
}

}  // namespace

QPixmap TitleBar(qreal dpr) { return ToPixmap(NewCanvas(kTitleBarW, kTitleBarH, dpr, kBarDark)); }

QPixmap TabSpriteLibrary(qreal dpr) { return TabSprite(dpr, true); }
QPixmap TabSpritePlayer(qreal dpr) { return TabSprite(dpr, false); }

QPixmap CaptionButton(Caption which, qreal dpr) {
  const bool hover = IsHover(which);
  QColor back = kBarDark;
  if (hover) back = which == Caption::kGb2 ? kCloseRed : kHoverGrey;
  QImage img = NewCanvas(kCaptionW, kCaptionH, dpr, back);
  QPainter p(&img);
  Prepare(p);
  PaintCaptionGlyph(p, which, hover ? QColor(Qt::white) : kGlyphGrey);
  p.end();
  return ToPixmap(img);
}

}  // namespace kam::artwork
