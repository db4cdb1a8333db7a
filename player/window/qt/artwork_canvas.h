// Shared drawing helpers of the window artwork: canvases at a device pixel ratio, the palette
// and the interface font.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPixmap>

namespace kam::artwork::detail {

// Palette of the dark skin.
inline const QColor kBarDark{25, 25, 25};       // title and bottom bar
inline const QColor kTabLit{37, 37, 37};        // selected or hovered tab
inline const QColor kHoverGrey{54, 54, 54};     // hovered caption button
inline const QColor kCloseRed{168, 0, 0};       // hovered close button
inline const QColor kGlyphGrey{163, 163, 163};  // caption glyphs at rest
inline const QColor kTextGrey{150, 150, 150};   // tab glyphs and words at rest
inline const QColor kPanelHeader{48, 48, 48};   // play-list header
inline const QColor kBinBack{31, 31, 31};       // clear-history button
inline const QColor kAccent{255, 138, 0};       // orange accent
inline const QColor kAccentDeep{226, 104, 0};   // pressed accent
inline const QColor kBrandWarm{255, 170, 40};   // logo gradient, top
inline const QColor kBrandHot{246, 78, 40};     // logo gradient, bottom

// A transparent (or filled) canvas of w x h logical pixels at ratio dpr.
QImage NewCanvas(int w, int h, qreal dpr, const QColor& fill = Qt::transparent);

// Antialiased painter set up for the canvas.
void Prepare(QPainter& p);

// The interface font at a pixel size: a CJK sans face where one is installed.
QFont UiFont(qreal pixel_size, int weight = QFont::Normal);

// Pixmap of a finished canvas, keeping its ratio.
QPixmap ToPixmap(const QImage& canvas);

// A round-capped pen of the given logical width.
QPen GlyphPen(const QColor& color, qreal width);

// The brand mark: rounded square with a warm gradient holding a white play triangle.
void PaintBrandMark(QPainter& p, const QRectF& box);

}  // namespace kam::artwork::detail
