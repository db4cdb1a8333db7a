// The updater window's own chrome: design positions of its controls, the frame lines and the
// hit areas of the painted title-bar buttons for a size, the pieces of the button strips to
// paint, and the hover and mouse-pointer rules. The window paints and moves; this decides.
#pragma once

#include <optional>
#include <vector>

#include "update/raster.h"
#include "update/updater_ports.h"

namespace kam::update {

inline constexpr int kUpdaterWidth = 548;  // client area, pixels
inline constexpr int kUpdaterHeight = 350;
inline constexpr int kBannerHeight = 99;  // the sky over rows 0..98
inline constexpr int kButtonPictureWidth = 109;
inline constexpr int kButtonPictureHeight = 31;
inline constexpr int kStripPieceWidth = 32;  // one state of a title-bar button strip
inline constexpr int kStripPieceHeight = 24;
inline constexpr int kStripWidth = 96;  // three states side by side
inline constexpr int kStripHoverX = 64;

// Where a control sits in the window (pixels).
Rect DesignRect(Control control);

// Left edges of Label1, Label2 and Label3, which read as one sentence: each at its design
// position unless the text before it reaches further, in which case right after that text
// (the offer's first part is wider than the space its design leaves before the version).
struct SentenceLefts {
  int label1, label2, label3;
  friend bool operator==(const SentenceLefts&, const SentenceLefts&) = default;
};
SentenceLefts PlaceSentence(int label1_text_width, int label2_text_width);

struct Line {
  int x1, y1, x2, y2;
  friend bool operator==(const Line&, const Line&) = default;
};

struct ChromeLayout {
  Line left, right, bottom;  // Line1, Line2, Line3: one pixel in the highlight colour
  Rect close_hit;            // L(0), over the painted close button
  Rect minimise_hit;         // L(1), over the painted minimise button
};
ChromeLayout LayoutForSize(int width, int height);

enum class Strip { kClose, kMinimise };

// One 32 x 24 piece of a strip copied onto the window.
struct StripPiece {
  Strip strip;
  Rect target;
  Rect source;
  friend bool operator==(const StripPiece&, const StripPiece&) = default;
};

// The two title-bar buttons as they are to be painted on a window width pixels wide.
std::vector<StripPiece> ButtonPieces(int width, bool close_hover, bool minimise_hover);

// Pointer settings of the window: 0 the default, 99 custom.
inline constexpr int kPointerDefault = 0;
inline constexpr int kPointerCustom = 99;

class ChromeView {
 public:
  virtual ~ChromeView() = default;
  // The title-bar buttons changed; paint ButtonPieces for the chrome's state.
  virtual void RepaintButtons() = 0;
  // Image3 and Image6 show their normal (Image4, Image7) or hover (Image5, Image8) picture.
  virtual void ShowImage3Picture(bool hover) = 0;
  virtual void ShowImage6Picture(bool hover) = 0;
  virtual void SetPointer(int setting) = 0;
  // Lets the system drag the window with the mouse until the button is released.
  virtual void StartSystemMove() = 0;
  virtual void Minimise() = 0;
};

class UpdaterChrome {
 public:
  explicit UpdaterChrome(ChromeView& view) : view_(view) {}

  void OnPaint();
  void OnBackgroundMouseMove();
  void OnBackgroundPress();
  void OnCloseHitMove();
  void OnMinimiseHitMove();
  void OnMinimiseHitClick();
  void OnImage3Move();
  void OnImage6Move();

  bool close_hover() const { return close_hover_; }
  bool minimise_hover() const { return minimise_hover_; }
  int pointer() const { return pointer_; }

 private:
  void PaintButtons(bool close_hover, bool minimise_hover);
  void SetPointer(int setting);

  ChromeView& view_;
  bool close_hover_ = false;
  bool minimise_hover_ = false;
  int pointer_ = kPointerDefault;
};

}  // namespace kam::update
