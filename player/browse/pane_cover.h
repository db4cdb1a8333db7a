// Whether a pane is covered whole by a control stacked above it, so that the engine may stop
// drawing it while its page goes on loading and playing.
#pragma once

namespace kam {

// A rectangle in its parent's coordinates; empty when width or height is not positive.
struct PaneRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// Whether cover, a sibling in front of pane, hides all of what shows of the pane: the part of the
// pane inside the parent's client area (parent_width × parent_height). A pane that shows nothing
// there counts as covered; a cover that is not shown covers nothing.
bool CoversPane(const PaneRect& pane, const PaneRect& cover, bool cover_shown, int parent_width,
                int parent_height);

}  // namespace kam
