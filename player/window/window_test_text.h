// Names and rectangles as text, for the window tests' logs of what their fakes were asked.
#pragma once

#include <string>

#include "player/window/controls.h"
#include "player/window/max_bounds.h"

namespace kam::window {

inline std::string PaneName(Ctl c) {
  switch (c) {
    case Ctl::W3:
      return "W3";
    case Ctl::listweb:
      return "listweb";
    case Ctl::qvod:
      return "qvod";
    default:
      return "other";
  }
}

inline std::string RectText(const PixelRect& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.width) +
         "x" + std::to_string(r.height);
}

}  // namespace kam::window
