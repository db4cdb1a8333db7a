// Everything the browsing handlers share: the main window's state, its three panes, the controls
// around them and the system. References only; the main window owns them all.
#pragma once

#include <filesystem>

#include "player/browse/browse_ports.h"
#include "player/browse/pane_port.h"
#include "player/browse/user_activation.h"
#include "player/playlist/buffer_countdown.h"
#include "player/startup/player_state.h"

namespace kam {

struct BrowseContext {
  PlayerState& state;
  PanePort& listweb;  // catalogue pages
  PanePort& W3;       // the player page
  PanePort& qvod;     // the buffering page inside the overlay
  PlayerAreaPort& area;
  ShellPort& shell;
  DesktopShortcutPort& shortcuts;
  playlist::RandomFraction& random;
  ClockPort& clock;  // for the age of the user's presses
  std::filesystem::path program_dir;
};

}  // namespace kam
