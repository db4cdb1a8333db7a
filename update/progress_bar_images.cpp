#include "update/progress_bar_images.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace kam::update {
namespace {

Rgb Mix(Rgb a, Rgb b, double t) {
  t = std::clamp(t, 0.0, 1.0);
  auto channel = [&](int shift) {
    double ca = (a >> shift) & 0xFF, cb = (b >> shift) & 0xFF;
    return static_cast<Rgb>(std::lround(ca + (cb - ca) * t)) << shift;
  };
  return channel(16) | channel(8) | channel(0);
}

// A trough: frame rings from the outside in, then a vertical gradient inside.
RgbImage Trough(int width, int height, std::initializer_list<Rgb> rings, Rgb top, Rgb bottom) {
  RgbImage image(width, height, 0);
  const int ring_count = static_cast<int>(rings.size());
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      int depth = std::min({x, y, width - 1 - x, height - 1 - y});
      if (depth < ring_count) {
        image.Set(x, y, *(rings.begin() + depth));
      } else {
        double t = static_cast<double>(y - ring_count) / std::max(1, height - 1 - 2 * ring_count);
        image.Set(x, y, Mix(top, bottom, t));
      }
    }
  }
  return image;
}

// Look 0, exactly: white with a one-pixel light grey frame, and a blue fill shading darker
// downwards in ten rows.
LookImages LookZero() {
  LookImages images{Trough(7, 14, {0xBEBEBE}, 0xFFFFFF, 0xFFFFFF), RgbImage(3, 10, 0)};
  constexpr std::array<Rgb, 10> kRows = {0x9FBBDE, 0x9AB8DC, 0x94B3D9, 0x8EAFD6, 0x88AAD2,
                                         0x81A5CF, 0x7AA0CC, 0x749BC8, 0x6E97C5, 0x6892C2};
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 3; ++x) images.fill.Set(x, y, kRows[static_cast<std::size_t>(y)]);
  }
  return images;
}

// Glossy fill: a lighter upper half over a deeper lower half.
RgbImage Gloss(int width, int height, Rgb upper_top, Rgb upper_bottom, Rgb lower_top,
               Rgb lower_bottom, Rgb edge) {
  RgbImage image(width, height, 0);
  const int half = height / 2;
  for (int y = 0; y < height; ++y) {
    Rgb row = y < half
                  ? Mix(upper_top, upper_bottom, static_cast<double>(y) / std::max(1, half - 1))
                  : Mix(lower_top, lower_bottom,
                        static_cast<double>(y - half) / std::max(1, height - half - 1));
    for (int x = 0; x < width; ++x) {
      bool at_edge = x == 0 || x == width - 1 || y == 0 || y == height - 1;
      image.Set(x, y, at_edge ? Mix(row, edge, 0.6) : row);
    }
  }
  return image;
}

LookImages LookOne() {
  return {Trough(21, 21, {0x3C78C8, 0xA8C8EC}, 0xEAF3FC, 0xDCEBFA),
          Gloss(17, 17, 0xE4F2FE, 0xC2E2FB, 0x8CC8F2, 0x6AB4EA, 0x4A8ED0)};
}

LookImages LookTwo() {
  return {Trough(11, 15, {0x7A7A7A, 0xB4B4B4}, 0xC8C8C8, 0xF2F2F2),
          Gloss(13, 13, 0xB6F0A8, 0x7ED86A, 0x46B832, 0x2E9A22, 0x1F6E16)};
}

// Look 3's fill glows red-orange in the middle and fades to a dark blue-grey at both ends.
LookImages LookThree() {
  LookImages images{Trough(13, 18, {0x3A3A3A, 0xE89080, 0xF4B4A4}, 0x4A4A4A, 0x2E2E2E),
                    RgbImage(124, 10, 0)};
  for (int y = 0; y < 10; ++y) {
    Rgb centre = y < 5 ? Mix(0xFFB080, 0xFF7A3A, y / 4.0) : Mix(0xF25A14, 0xC84410, (y - 5) / 4.0);
    Rgb end = y < 5 ? Mix(0x7A8696, 0x5C6878, y / 4.0) : Mix(0x46505E, 0x343C48, (y - 5) / 4.0);
    for (int x = 0; x < 124; ++x) {
      double distance = std::fabs(x - 61.5) / 61.5;
      images.fill.Set(x, y, Mix(centre, end, distance * distance));
    }
  }
  return images;
}

}  // namespace

const LookImages& LookImagesOf(std::int32_t look) {
  static const std::array<LookImages, 4> kLooks = {LookZero(), LookOne(), LookTwo(), LookThree()};
  if (look < 0 || look > 3) look = 0;
  return kLooks[static_cast<std::size_t>(look)];
}

}  // namespace kam::update
