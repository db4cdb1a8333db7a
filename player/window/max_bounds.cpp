#include "player/window/max_bounds.h"

#include <cmath>

#include "player/window/controls.h"

namespace kam::window {

float TaskbarHeightTwips(const PixelRect& screen, const PixelRect& work_area) {
  if (work_area.width <= 0 || work_area.height <= 0) return 0;  // no usable report
  const int band = screen.height - work_area.height;
  return static_cast<float>(band > 0 ? band * kTwipsPerPixel : 0);
}

MaxBounds SetMaxBounds(int minTrackW, int minTrackH, int maxW, int maxH) {
  return MaxBounds{minTrackW, minTrackH, maxW, maxH};
}

MaxBounds LoadHandlerMaxBounds(const PixelRect& screen, const PixelRect& work_area) {
  const double screen_w_twips = double(screen.width) * kTwipsPerPixel;
  const double screen_h_twips = double(screen.height) * kTwipsPerPixel;
  const double taskbar = TaskbarHeightTwips(screen, work_area);
  return SetMaxBounds(0, 0, static_cast<int>(std::lround(screen_w_twips / kTwipsPerPixel)),
                      static_cast<int>(std::lround((screen_h_twips - taskbar) / kTwipsPerPixel)));
}

PixelRect MaximisedRect(const MaxBounds& bounds, const PixelRect& screen,
                        const PixelRect& work_area) {
  const bool bottom_only = work_area.left == screen.left && work_area.top == screen.top &&
                           work_area.width == screen.width;
  if (!bottom_only && work_area.width > 0 && work_area.height > 0) return work_area;
  return PixelRect{screen.left, screen.top, bounds.maxW, bounds.maxH};
}

}  // namespace kam::window
