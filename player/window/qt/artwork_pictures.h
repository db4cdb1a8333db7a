// The window logic names its pictures (Pic); this draws the picture of each name.
#pragma once

#include <QPixmap>

#include "player/window/controls.h"

namespace kam::artwork {

// The picture named pic at the device pixel ratio dpr; a null pixmap for Pic::kCount.
QPixmap DrawPicture(window::Pic pic, qreal dpr);

}  // namespace kam::artwork
