#include "player/browse/press_trace.h"

namespace kam {

void PressTrace::Began(std::string_view frame, std::int64_t press, std::string_view link,
                       bool repeat) {
  if (repeat) return;
  frame_ = frame;
  press_ = press;
  dispatching_ = true;
  link_ = link;
}

void PressTrace::Ended(std::string_view frame, std::int64_t press) {
  if (frame == frame_ && press == press_) dispatching_ = false;
}

bool PressTrace::AskedForNavigation(std::string_view frame, std::int64_t during,
                                    std::string_view address) {
  if (dispatching_ && during != 0 && during == press_ && !frame.empty() && frame == frame_) {
    return true;
  }
  return IsPressedLink(address);
}

bool PressTrace::AskedForWindow(std::string_view address) {
  // The engine does not say which document asked for a window. A document's timers and
  // promises cannot run while it dispatches a press, nor can those of the documents that share
  // its process; a frame of another site in a process of its own could, in that instant.
  if (dispatching_) return true;
  return IsPressedLink(address);
}

bool PressTrace::IsPressedLink(std::string_view address) {
  if (link_.empty() || address != link_) return false;
  link_.clear();
  return true;
}

}  // namespace kam
