#include "update/progress_bar_model.h"

#include <algorithm>
#include <cmath>

#include "update/progress_bar_images.h"

namespace kam::update {

Rgb RgbOfColourRef(ColourRef colour) {
  auto c = static_cast<std::uint32_t>(colour);
  return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

float ClampBarValue(float value) {
  if (value > 100.0f) return 100.0f;
  if (!(value >= 0.0f)) return 0.0f;
  return value;
}

void SaveBarProperties(const ProgressBarProperties& properties, PropertyBag& bag) {
  bag.Write<float>("Value", properties.value, 0.0f);
  bag.Write<std::int32_t>("Style", properties.style, 0);
  bag.Write<std::int32_t>("ForeColor", properties.fore_colour, 0);
  bag.Write<bool>("Percentage", properties.percentage, true);
}

TwipsSize EnforceMinimumBarSize(TwipsSize size) {
  if (size.height < kMinimumBarHeightTwips) size.height = kMinimumBarHeightTwips;
  if (size.width < kMinimumBarWidthTwips) size.width = kMinimumBarWidthTwips;
  return size;
}

std::optional<Look> LookOfStyle(std::int32_t style) {
  if (style < 0 || style > 3) return std::nullopt;
  const LookImages& images = LookImagesOf(style);
  return Look{&images.background, &images.fill, style == 3 ? 3 : 2};
}

std::optional<std::vector<BarCopy>> PlanBarDrawing(std::int32_t style, float value,
                                                   int surface_width, int surface_height) {
  std::optional<Look> look = LookOfStyle(style);
  if (!look) return std::nullopt;
  const int W = surface_width, H = surface_height;
  const int w = look->background->width(), h = look->background->height();
  const int b = look->border;
  std::vector<BarCopy> copies;
  auto add = [&](BarImage image, Rect target, Rect source) {
    if (target.width <= 0 || target.height <= 0 || source.width <= 0 || source.height <= 0) return;
    copies.push_back({image, target, source});
  };

  float v = ClampBarValue(value);
  const int inset = (style == 3) ? 6 : 4;
  float fill_width = static_cast<float>(W - inset) * (v / 100.0f);

  const BarImage bg = BarImage::kBackground;
  add(bg, {0, 0, b, b}, {0, 0, b, b});
  add(bg, {b, 0, W - 2 * b, b}, {b, 0, w - 2 * b, b});
  add(bg, {W - b, 0, b, b}, {w - b, 0, b, b});
  add(bg, {0, b, b, H - 2 * b}, {0, b, b, h - 2 * b});
  add(bg, {b, b, W - 2 * b, H - 2 * b}, {b, b, w - 2 * b, h - 2 * b});
  add(bg, {W - b, b, b, H - 2 * b}, {w - b, b, b, h - 2 * b});
  add(bg, {0, H - b, b, b}, {0, h - b, b, b});
  add(bg, {b, H - b, W - 2 * b, b}, {b, h - b, w - 2 * b, b});
  add(bg, {W - b, H - b, b, b}, {w - b, h - b, b, b});

  const int n = static_cast<int>(std::floor(fill_width));
  const int fw = look->fill->width(), fh = look->fill->height();
  const BarImage fill = BarImage::kFill;
  if (style == 3) {
    add(fill, {3, 3, n, H - 6}, {0, 0, fw, fh});
  } else if (style != 2) {
    add(fill, {2, 2, n, H - 4}, {0, 0, fw, fh});
  } else if (n < fw) {
    add(fill, {2, 2, n, H - 4}, {0, 0, n, fh});
  } else {
    add(fill, {2, 2, 4, H - 4}, {0, 0, 4, fh});
    add(fill, {6, 2, n - 8, H - 4}, {4, 0, fw - 8, fh});
    add(fill, {n - 2, 2, 4, H - 4}, {fw - 4, 0, 4, fh});
  }
  return copies;
}

bool DrawBar(RgbImage& surface, std::int32_t style, float value) {
  std::optional<Look> look = LookOfStyle(style);
  auto plan = PlanBarDrawing(style, value, surface.width(), surface.height());
  if (!look || !plan) return false;
  for (const BarCopy& copy : *plan) {
    const RgbImage& from = copy.image == BarImage::kBackground ? *look->background : *look->fill;
    StretchBlt(surface, copy.target, from, copy.source);
  }
  return true;
}

std::string BarText(float value) {
  return std::to_string(static_cast<int>(ClampBarValue(value))) + "%";
}

}  // namespace kam::update
