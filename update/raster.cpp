#include "update/raster.h"

namespace kam::update {

RgbImage::RgbImage(int width, int height, Rgb fill)
    : width_(width > 0 ? width : 0),
      height_(height > 0 ? height : 0),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), fill) {}

void StretchBlt(RgbImage& to, const Rect& target, const RgbImage& from, const Rect& source) {
  if (target.width <= 0 || target.height <= 0 || source.width <= 0 || source.height <= 0) return;
  for (int ty = 0; ty < target.height; ++ty) {
    int y = target.y + ty;
    if (y < 0 || y >= to.height()) continue;
    // The source pixel under the centre of this target pixel.
    int sy = source.y + static_cast<int>((2LL * ty + 1) * source.height / (2LL * target.height));
    if (sy < 0 || sy >= from.height()) continue;
    for (int tx = 0; tx < target.width; ++tx) {
      int x = target.x + tx;
      if (x < 0 || x >= to.width()) continue;
      int sx = source.x + static_cast<int>((2LL * tx + 1) * source.width / (2LL * target.width));
      if (sx < 0 || sx >= from.width()) continue;
      to.Set(x, y, from.At(sx, sy));
    }
  }
}

}  // namespace kam::update
