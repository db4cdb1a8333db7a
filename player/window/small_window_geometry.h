// Where the picture-in-picture window goes and how it grows: a small window in the bottom-right
// corner of the work area of the screen the main window is on, shaped like the video, resized
// from its corner without ever losing the video's aspect or leaving the work area.
#pragma once

#include "player/window/max_bounds.h"

namespace kam::window {

// The default window is the video fitted into this box.
inline constexpr int kSmallWindowWidth = 480;
inline constexpr int kSmallWindowHeight = 270;
// Gap between the window and the work area's edges.
inline constexpr int kSmallWindowMargin = 16;
// No side gets smaller than this.
inline constexpr int kSmallWindowMinSide = 90;

// A usable width / height ratio: aspect when it is a real one (between 1:8 and 8:1), else 16:9
// (a video that has no picture yet).
double UsableAspect(double aspect);

// The video (aspect) fitted into the default box, at the bottom right of work_area.
PixelRect DefaultSmallWindow(const PixelRect& work_area, double aspect);

// The window the user left last, given the video now shown: its width kept, its height from the
// aspect, moved back inside work_area where it sticks out.
PixelRect ReusedSmallWindow(const PixelRect& last, const PixelRect& work_area, double aspect);

// The window after its bottom-right corner was dragged by (dx, dy) from start: the top-left
// corner stays, the size follows whichever side the pointer pulls further, keeps the aspect, is
// no smaller than the minimum and no larger than what fits between the corner and the work
// area's bottom-right.
PixelRect ResizedSmallWindow(const PixelRect& start, int dx, int dy, double aspect,
                             const PixelRect& work_area);

}  // namespace kam::window
