// The main window's controls, pictures and units, named as the window names them. Logic refers to
// a control by its name; the view maps each name onto a widget.
#pragma once

#include <cstdint>

namespace kam::window {

// Every control of Form1. Containers hold the controls listed under them (see form1_tree.h).
enum class Ctl : std::uint8_t {
  Form1,
  Picture1,
  dibu,
  Label2,
  ver,
  bj2,
  listweb,
  bj,
  L1_1,
  L1_0,
  sz,
  min,
  max,
  gb,
  logo,
  Picture10,
  L3,
  so,
  Text1,
  P2,
  Picture6,
  WebList1,
  Picture7,
  Image10,
  Picture3,
  Picture4,
  vip,
  vip3,
  Label5,
  tip,
  qvod,
  bjbox,
  bjimg,
  W3,
  kCount
};

// The hidden pictures of the window definition (sprites and images copied into controls).
enum class Pic : std::uint8_t {
  kTitleBar,  // the 3000 x 68 picture of bj and dibu
  sp,         // tab 0 sprite, three 150 x 65 frames
  bf,         // tab 1 sprite
  sz1,
  sz2,
  min1,
  min2,
  max1,
  max2,
  max3,
  max4,
  gb1,
  gb2,
  Image12,  // handle sprite while the side panel shows
  Image13,  // handle sprite while it is hidden
  Image16,  // clear-history bin sprite
  Image10,  // panel header
  bjimg,    // idle placeholder
  logo,
  kCount
};

// The lines drawn on the window surface (Line1..Line5) and around so (Line6..Line9).
enum class LineId : std::uint8_t { Line1, Line2, Line3, Line4, Line5, Line6, Line7, Line8, Line9 };

enum class WindowState : std::uint8_t { kNormal = 0, kMinimised = 1, kMaximised = 2 };

// Colours either fixed or a system colour that follows the user's scheme.
struct Color {
  enum class Kind : std::uint8_t { kRgb, kScrollBar, kWindowBackground, kWindowFrame, kHighlight };
  Kind kind = Kind::kRgb;
  std::uint8_t r = 0, g = 0, b = 0;

  static constexpr Color Rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return Color{Kind::kRgb, r, g, b};
  }
  static constexpr Color System(Kind k) { return Color{k, 0, 0, 0}; }
  friend bool operator==(const Color&, const Color&) = default;
};

inline constexpr int kTwipsPerPixel = 15;

struct Size {
  double width = 0, height = 0;
  friend bool operator==(const Size&, const Size&) = default;
};

struct Point {
  double x = 0, y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

// Position and size in the unit of the control's container.
struct Rect {
  double left = 0, top = 0, width = 0, height = 0;
  friend bool operator==(const Rect&, const Rect&) = default;
};

struct Line {
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  friend bool operator==(const Line&, const Line&) = default;
};

}  // namespace kam::window
