#include "player/browse/pane_cover.h"

#include <algorithm>

namespace kam {

bool CoversPane(const PaneRect& pane, const PaneRect& cover, bool cover_shown, int parent_width,
                int parent_height) {
  if (!cover_shown || cover.width <= 0 || cover.height <= 0) return false;
  // What shows of the pane: its rectangle clipped to the parent.
  const int left = std::max(pane.x, 0);
  const int top = std::max(pane.y, 0);
  const int right = std::min(pane.x + pane.width, parent_width);
  const int bottom = std::min(pane.y + pane.height, parent_height);
  if (left >= right || top >= bottom) return true;
  return cover.x <= left && cover.y <= top && cover.x + cover.width >= right &&
         cover.y + cover.height >= bottom;
}

}  // namespace kam
