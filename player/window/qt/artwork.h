// Every picture of the player window, drawn by code so that it stays sharp at any screen scale.
// Each function paints at the given device pixel ratio and returns a pixmap whose logical size is
// the picture's design size (the pixmap carries the ratio), so painters copy logical rectangles
// such as "the 150 x 65 frame at x 150" whatever the screen scale.
#pragma once

#include <QCursor>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QPixmap>

namespace kam::artwork {

// Copies the rectangle `source` of `picture`, in the picture's logical pixels, to `at` in the
// painter's logical pixels: the window's "PaintPicture" of a sprite frame. (QPainter's own
// source rectangles are in device pixels, which differ from logical ones on a scaled screen.)
void PaintPicture(QPainter& painter, const QPointF& at, const QPixmap& picture,
                  const QRectF& source);

// Caption-button images, 35 x 25 each: normal and hover look of the four caption buttons.
enum class Caption {
  kGb1,   // close, normal
  kGb2,   // close, hover (red)
  kMax1,  // maximise, normal
  kMax2,  // maximise, hover
  kMax3,  // restore (window maximised), normal
  kMax4,  // restore, hover
  kMin1,  // minimise, normal
  kMin2,  // minimise, hover
  kSz1,   // menu, normal
  kSz2,   // menu, hover
};

inline constexpr int kCaptionW = 35, kCaptionH = 25;
inline constexpr int kTitleBarW = 3000, kTitleBarH = 68;
inline constexpr int kTabSpriteW = 450, kTabSpriteH = 65, kTabFrameW = 150;
inline constexpr int kHandleW = 20, kHandleH = 128, kHandleFrameW = 10;
inline constexpr int kBinW = 60, kBinH = 27, kBinFrameW = 20;
inline constexpr int kPanelHeaderW = 250, kPanelHeaderH = 35;
inline constexpr int kPlaceholderW = 324, kPlaceholderH = 200;
inline constexpr int kLogoW = 150, kLogoH = 54;
inline constexpr int kCursorSize = 32, kCursorHotX = 12, kCursorHotY = 9;

// Title-bar image: 3000 x 68, one dark colour; drawn by both the title bar and the bottom bar.
QPixmap TitleBar(qreal dpr);

// Tab sprites, 450 x 65: frame x 0 normal, x 150 selected or hovered, x 300 pressed (unused).
QPixmap TabSpriteLibrary(qreal dpr);  // `sp`: house glyph, "影视库"
QPixmap TabSpritePlayer(qreal dpr);   // `bf`: video-camera glyph, "播放器"

QPixmap CaptionButton(Caption which, qreal dpr);

// Side-panel handle sprites, 20 x 128: normal frame x 0-9, hover frame x 10-19.
QPixmap HandlePanelShown(qreal dpr);   // `Image12`: points right, the panel folds away
QPixmap HandlePanelHidden(qreal dpr);  // `Image13`: points left, the panel comes back

// Clear-history sprite `Image16`, 60 x 27: frames x 0 normal (grey), x 20 hover, x 40 pressed.
QPixmap BinSprite(qreal dpr);

// Side-panel header `Image10`, 250 x 35: list glyph and "播放列表".
QPixmap PanelHeader(qreal dpr);

// Idle placeholder `bjimg`, 324 x 200, transparent around the drawing.
QPixmap Placeholder(qreal dpr);

// Logo, 150 x 54 (the title bar shows its top 50 rows).
QPixmap Logo(qreal dpr);

// Pointer of the side-panel handle: 32 x 32, hot spot (12, 9).
QCursor HandleCursor(qreal dpr);

// The program's icon at size x size device pixels (the artwork of "\skin\icon.ico").
QImage IconImage(int size);

// The program's icon with 16, 32 and 48-pixel images (and larger ones for HiDPI use).
QIcon AppIcon();

}  // namespace kam::artwork
