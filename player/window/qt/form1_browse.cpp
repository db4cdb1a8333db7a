// The browsing part of the main window: pane events, navigation dispatch, timers and menus.
#include "player/window/qt/form1_window.h"

namespace kam::window {

void WireBrowse(Form1Window&) {}

}  // namespace kam::window
