#include "player/window/qt/fitted_font.h"

#include <QFontMetrics>
#include <algorithm>

namespace kam::window {

QFont FittedFont(QFont base, const QString& text, QSize box) {
  constexpr int kSmallest = 6;
  for (int px = std::max(box.height(), kSmallest); px > kSmallest; --px) {
    base.setPixelSize(px);
    const QFontMetrics m(base);
    if (m.height() <= box.height() && m.horizontalAdvance(text) <= box.width()) return base;
  }
  base.setPixelSize(kSmallest);
  return base;
}

}  // namespace kam::window
