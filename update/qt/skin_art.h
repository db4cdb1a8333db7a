// The updater's pictures, drawn by code: the dialog's skin, the two green buttons in their
// normal and hover states, and the title-bar button strips.
#pragma once

#include <QPixmap>

namespace kam::update {

// 548 x 350: a blue sky banner over rows 0..98 with a few clouds, white below, no text.
QPixmap UpdaterSkin();

enum class ButtonArt {
  kOkNormal,      // Image4: 确定
  kOkHover,       // Image5
  kUpdateNormal,  // Image7: 立即更新
  kUpdateHover,   // Image8
};
// 109 x 31.
QPixmap ButtonPicture(ButtonArt art);

// 96 x 24: three 32 x 24 states side by side (normal at x 0, pressed at 32, hover at 64).
QPixmap CloseStrip();     // Image1: white cross on blue, on red when hovered
QPixmap MinimiseStrip();  // Image2: white bar on blue, lighter blue when hovered

}  // namespace kam::update
