// A plain 24-bit picture in memory and the stretching copy the progress bar draws with, so that
// every pixel the bar shows can be computed and checked without a display.
#pragma once

#include <cstdint>
#include <vector>

namespace kam::update {

// 0xRRGGBB.
using Rgb = std::uint32_t;

struct Rect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  friend bool operator==(const Rect&, const Rect&) = default;
};

class RgbImage {
 public:
  RgbImage() = default;
  RgbImage(int width, int height, Rgb fill);

  int width() const { return width_; }
  int height() const { return height_; }
  Rgb At(int x, int y) const { return pixels_[static_cast<std::size_t>(y * width_ + x)]; }
  void Set(int x, int y, Rgb colour) { pixels_[static_cast<std::size_t>(y * width_ + x)] = colour; }
  // Rows top to bottom, one 32-bit word per pixel (0x00RRGGBB), no padding.
  std::uint32_t* data() { return pixels_.data(); }
  const std::uint32_t* data() const { return pixels_.data(); }

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint32_t> pixels_;
};

// Copies source (a rectangle of from) onto target (a rectangle of to), stretching or shrinking it
// with nearest-neighbour sampling; parts of either rectangle outside its picture are left out.
// An empty or negative rectangle copies nothing.
void StretchBlt(RgbImage& to, const Rect& target, const RgbImage& from, const Rect& source);

}  // namespace kam::update
