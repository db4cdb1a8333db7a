// Where the maximised main window goes: the full screen width from the screen's top-left corner
// and the screen height less the taskbar's, so a bottom taskbar stays free. The toolkit reports
// the screen and its work area (the screen less what panels reserve); the taskbar is the band
// the work area leaves out.
#pragma once

namespace kam::window {

struct PixelRect {
  int left = 0, top = 0, width = 0, height = 0;
  friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// One set per program: sizes in pixels.
struct MaxBounds {
  int minTrackW = 0, minTrackH = 0;
  int maxW = 0, maxH = 0;
  friend bool operator==(const MaxBounds&, const MaxBounds&) = default;
};

// Height of the taskbar in twips: what the work area leaves free of the screen's height. No
// panel reserving space gives 0.
float TaskbarHeightTwips(const PixelRect& screen, const PixelRect& work_area);

// The bounds the window's load handler stores: (0, 0, screen width, screen height less the
// taskbar), each from twips back to pixels rounded to the nearest integer.
MaxBounds SetMaxBounds(int minTrackW, int minTrackH, int maxW, int maxH);
MaxBounds LoadHandlerMaxBounds(const PixelRect& screen, const PixelRect& work_area);

// The maximised window's rectangle on that screen: the stored size at the screen's top-left
// corner while the taskbar sits at the bottom (or there is none). A panel at the top, left or
// right would be covered by that rectangle, so the work area is used instead.
PixelRect MaximisedRect(const MaxBounds& bounds, const PixelRect& screen,
                        const PixelRect& work_area);

}  // namespace kam::window
