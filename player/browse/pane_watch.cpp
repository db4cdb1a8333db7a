#include "player/browse/pane_watch.h"

#include "common/path_text.h"

namespace kam {

void PaneWatch::ListwebTitleChange(const std::string& title) {
  L3_ = title;
  ctx_.area.SetPageTitle(title);
}

bool PaneWatch::ListwebContextMenu(int x, int y) {
  ctx_.area.PopupPageMenu(x, y);
  return true;
}

void PaneWatch::t3_Timer() {
  if (!t3_enabled_) return;
  if (L3_ != kPageCannotBeShown && L3_ != kInvalidAddress) return;
  t3_enabled_ = false;
  ctx_.area.StopErrorWatch();
  ctx_.listweb.Navigate(PathUtf8(ctx_.program_dir / kErrorPageFile));
}

void PaneWatch::Timer8_Timer() {
  int& n = ctx_.state.bufferSecondsLeft;
  n -= 1;
  ctx_.area.SetBufferCaption(BufferCaption(n));
  // At zero, or below should a count ever start there: a countdown that passed zero would keep
  // the overlay over the player for good.
  if (n <= 0) {
    ctx_.area.SetBufferOverlayVisible(false);
    ctx_.area.StopBufferTimer();
  }
}

std::string BufferCaption(int seconds_left) {
  const int shown = ((seconds_left % 60) + 60) % 60;
  return " " + std::to_string(shown) + " 秒";
}

}  // namespace kam
