// What the main window holds while the player runs. The settings are copied here when they are
// read; until then every value keeps its design default, which other handlers rely on (a buffering
// switch of "Label1" is off, an offered version of "Text2" is compared as it stands).
#pragma once

#include <string>
#include <vector>

namespace kam {

struct PlayerState {
  std::string dizhi;                  // site base address (settings key wangzhan)
  std::string tuichu = "Label1";      // exit mode: exactly "1" unloads the main window only
  std::string huangchong = "Label1";  // buffering switch: exactly "1" is on
  std::string da = "Label1";          // buffering time in seconds, decimal text
  std::string Text1 = "Text1";        // installed version
  std::string Text2 = "Text2";        // offered version
  std::string caption;                // main window caption (settings key name)
  std::string verLabel;               // version label; set only when an upgrade is due
  std::vector<std::string> List3;     // the play list, one "text||address||title" entry each
  std::string lastStatusText;         // latest status text of listweb or qvod
  int bufferSecondsLeft = 0;          // seconds left on the buffering overlay
  int selectedTab = 0;                // 0 catalogue, 1 player
};

}  // namespace kam
