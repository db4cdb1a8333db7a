#include "player/window/full_screen.h"

namespace kam::window {

bool FullScreen::OnRequest(Ctl pane, bool on) {
  if (!Allows(pane)) return false;
  if (!on) {
    if (session_ && session_->pane == pane) Leave();
    // Leaving what is not (or no longer) full screen is granted: the page is told it is over.
    return true;
  }
  if (session_) return session_->pane == pane;
  const WindowPlacement before = port_.Placement();
  // A minimised window has nothing on screen to cover; the page stays as it is.
  if (before.state == WindowState::kMinimised) return false;
  session_ = Session{pane, before};
  port_.ShowPageOverWindow(pane, port_.ScreenOfWindow());
  return true;
}

void FullScreen::OnEscape() {
  if (!session_) return;
  port_.TellPageToLeave(Leave());
}

void FullScreen::OnHidden(Ctl what) {
  if (!session_) return;
  if (what != session_->pane && what != Ctl::Form1) return;
  port_.TellPageToLeave(Leave());
}

std::optional<Ctl> FullScreen::pane() const {
  if (!session_) return std::nullopt;
  return session_->pane;
}

Ctl FullScreen::Leave() {
  const Session s = *session_;
  session_.reset();
  port_.PutPageBack(s.pane);
  port_.Place(s.before);
  return s.pane;
}

}  // namespace kam::window
