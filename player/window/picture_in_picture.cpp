#include "player/window/picture_in_picture.h"

#include "player/window/small_window_geometry.h"

namespace kam::window {

const char* PipErrorName(PipAnswer answer) {
  switch (answer) {
    case PipAnswer::kEntered:
    case PipAnswer::kAlreadyIn:
      return "";
    case PipAnswer::kNotSupported:
      return "NotSupportedError";
    case PipAnswer::kNotAllowed:
      return "NotAllowedError";
  }
  return "NotAllowedError";
}

PipAnswer PictureInPicture::OnRequest(const PipAsk& ask) {
  if (!Allows(ask.pane)) return PipAnswer::kNotSupported;
  if (!ask.top_document || !ask.on_site) return PipAnswer::kNotAllowed;
  // The page in the window asks again (another video of it, or the same one): the window stays.
  if (session_ && session_->pane == ask.pane) return PipAnswer::kAlreadyIn;
  if (!ask.pressed) return PipAnswer::kNotAllowed;
  // The page cannot be in the full-screen cover and in the small window at once.
  if (port_.IsFullScreen(ask.pane)) port_.EndFullScreen(ask.pane);
  const PixelRect work = port_.WorkAreaOfMainWindow();
  const PixelRect rect = user_rect_ ? ReusedSmallWindow(*user_rect_, work, ask.aspect)
                                    : DefaultSmallWindow(work, ask.aspect);
  session_ = Session{ask.pane};
  port_.ShowSmallWindow(ask.pane, rect, ask.aspect);
  return PipAnswer::kEntered;
}

bool PictureInPicture::Leave(PipLeave cause) {
  if (!session_) return false;
  const Ctl pane = session_->pane;
  session_.reset();
  port_.PutPageBack(pane);
  // A page on its way out (another document coming, the program ending) hears nothing more.
  if (cause != PipLeave::kNavigation && cause != PipLeave::kPlayerExit) port_.TellPageLeft(pane);
  return true;
}

void PictureInPicture::OnUserPlaced(const PixelRect& rect) {
  if (session_) user_rect_ = rect;
}

std::optional<Ctl> PictureInPicture::pane() const {
  if (!session_) return std::nullopt;
  return session_->pane;
}

}  // namespace kam::window
