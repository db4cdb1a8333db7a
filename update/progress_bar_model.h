// The progress bar control's logic: its four persisted properties, their saved form, its
// minimum size, and the exact copies that draw each look (a 9-slice background and a fill).
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "update/raster.h"

namespace kam::update {

inline constexpr int kTwipsPerPixel = 15;
inline constexpr int kMinimumBarHeightTwips = 180;
inline constexpr int kMinimumBarWidthTwips = 900;
inline constexpr Rgb kSurfaceColour = 0xE0E0E0;  // the drawing surface before anything is drawn

// Colour values are 0x00BBGGRR, as the control stores them.
using ColourRef = std::int32_t;
Rgb RgbOfColourRef(ColourRef colour);

struct ProgressBarProperties {
  float value = 0;
  ColourRef fore_colour = 0;
  std::int32_t style = 0;
  bool percentage = true;
};

// Value as stored: above 100 becomes 100; anything not >= 0 (negative, NaN) becomes 0.
float ClampBarValue(float value);

// The container's saved settings of a control: typed values by key.
class PropertyBag {
 public:
  using Value = std::variant<float, std::int32_t, bool>;
  // The stored value, or fallback when the key is missing or holds another type.
  template <typename T>
  T Read(const std::string& key, T fallback) const {
    auto it = values_.find(key);
    if (it == values_.end()) return fallback;
    if (const T* v = std::get_if<T>(&it->second)) return *v;
    return fallback;
  }
  // Stores value, or removes the key when value equals the default.
  template <typename T>
  void Write(const std::string& key, T value, T fallback) {
    if (value == fallback) {
      values_.erase(key);
    } else {
      values_[key] = value;
    }
  }
  bool Has(const std::string& key) const { return values_.count(key) != 0; }
  std::size_t size() const { return values_.size(); }

 private:
  std::map<std::string, Value> values_;
};

void SaveBarProperties(const ProgressBarProperties& properties, PropertyBag& bag);

// Sizes in twips.
struct TwipsSize {
  int width = 0;
  int height = 0;
  friend bool operator==(const TwipsSize&, const TwipsSize&) = default;
};
// A bar is never lower than 180 twips or narrower than 900 (12 x 60 pixels).
TwipsSize EnforceMinimumBarSize(TwipsSize size);

// The stored pictures of one look and the border of its 9-slice background.
struct Look {
  const RgbImage* background;
  const RgbImage* fill;
  int border;
};
// Nothing for a style outside 0..3.
std::optional<Look> LookOfStyle(std::int32_t style);

enum class BarImage { kBackground, kFill };

struct BarCopy {
  BarImage image;
  Rect target;  // on the surface
  Rect source;  // in the image
  friend bool operator==(const BarCopy&, const BarCopy&) = default;
};

// Every copy of one redraw of a surface_width x surface_height surface, in drawing order:
// nine background pieces, then the fill. Copies that would be empty are left out. Nothing
// when the style names no look: the surface keeps its picture.
std::optional<std::vector<BarCopy>> PlanBarDrawing(std::int32_t style, float value,
                                                   int surface_width, int surface_height);

// Draws the plan's copies onto surface (the centred text is the view's).
bool DrawBar(RgbImage& surface, std::int32_t style, float value);

// The text centred on the bar when Percentage is on: the whole percent, "37%".
std::string BarText(float value);

}  // namespace kam::update
