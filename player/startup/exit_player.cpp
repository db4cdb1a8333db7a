// The orderly way out: the outside player's processes first, then the tray icon, then every copy
// of this player in its program directory (this one included, which ends the program).
#include "player/startup/start_routine.h"

namespace kam {

void Startup::ExitPlayer() {
  system_.EndProcessesByName("xgweb.exe");
  system_.EndProcessesByName("xgtray.exe");
  system_.EndProcessesByName("xgengine.exe");
  window_.TrayRemoveIcon();
  system_.EndProgramCopies("kamplayer.exe");
}

}  // namespace kam
