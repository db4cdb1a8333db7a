#include "player/window/small_window_geometry.h"

#include <algorithm>
#include <cmath>

namespace kam::window {
namespace {

constexpr double kDefaultAspect = 16.0 / 9.0;

int Round(double v) { return static_cast<int>(std::lround(v)); }

// The largest size of that aspect within max_w x max_h, never below the minimum side.
void Fit(double aspect, double max_w, double max_h, int& w, int& h) {
  double fw = max_w;
  double fh = fw / aspect;
  if (fh > max_h) {
    fh = max_h;
    fw = fh * aspect;
  }
  // The smaller side at its minimum, the other from the aspect.
  const double min_w = aspect >= 1 ? kSmallWindowMinSide * aspect : kSmallWindowMinSide;
  if (fw < min_w) {
    fw = min_w;
    fh = fw / aspect;
  }
  w = Round(fw);
  h = Round(fh);
}

// r moved (not resized) so that it lies inside area where it can.
PixelRect Inside(PixelRect r, const PixelRect& area) {
  r.left = std::max(area.left, std::min(r.left, area.left + area.width - r.width));
  r.top = std::max(area.top, std::min(r.top, area.top + area.height - r.height));
  return r;
}

}  // namespace

double UsableAspect(double aspect) {
  if (!(aspect >= 0.125 && aspect <= 8.0)) return kDefaultAspect;
  return aspect;
}

PixelRect DefaultSmallWindow(const PixelRect& work_area, double aspect) {
  PixelRect r;
  Fit(UsableAspect(aspect), kSmallWindowWidth, kSmallWindowHeight, r.width, r.height);
  r.left = work_area.left + work_area.width - kSmallWindowMargin - r.width;
  r.top = work_area.top + work_area.height - kSmallWindowMargin - r.height;
  return Inside(r, work_area);
}

PixelRect ReusedSmallWindow(const PixelRect& last, const PixelRect& work_area, double aspect) {
  PixelRect r = last;
  Fit(UsableAspect(aspect), std::min(last.width, work_area.width), work_area.height, r.width,
      r.height);
  return Inside(r, work_area);
}

PixelRect ResizedSmallWindow(const PixelRect& start, int dx, int dy, double aspect,
                             const PixelRect& work_area) {
  const double a = UsableAspect(aspect);
  // The width each side of the drag asks for; the larger one wins.
  const double wanted = std::max<double>(start.width + dx, (start.height + dy) * a);
  const double room_w = work_area.left + work_area.width - start.left;
  const double room_h = work_area.top + work_area.height - start.top;
  PixelRect r = start;
  Fit(a, std::max(1.0, std::min(wanted, room_w)), std::max(1.0, room_h), r.width, r.height);
  return r;
}

}  // namespace kam::window
