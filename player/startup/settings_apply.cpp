// The webtime timer: once the loading page is shown, the downloaded settings are applied and the
// site opens.
#include "common/version_rule.h"
#include "player/startup/start_routine.h"

namespace kam {

void Startup::webtime_Timer() {
  if (window_.Busy(MainPane::kListweb)) return;
  window_.SetTimerEnabled(MainTimer::kWebtime, false);

  state_.dizhi = system_.ReadSetting("kampeizhi", "wangzhan");
  state_.caption = system_.ReadSetting("kampeizhi", "name");
  window_.SetCaption(state_.caption);
  state_.tuichu = system_.ReadSetting("tui", "tui");
  state_.huangchong = system_.ReadSetting("loading", "loading");
  state_.da = system_.ReadSetting("loading", "loadingtime");
  state_.Text2 = system_.ReadSetting("ver", "ver");
  state_.Text1 = system_.ReadSkinConfig("Version", "Version", "");

  if (IsUpgradeDue(state_.Text1, state_.Text2)) {
    state_.verLabel = "当前版本:" + state_.Text2 + "版";
    window_.SetVersionLabel(state_.verLabel);
  }

  window_.TrayShowIcon(state_.caption);
  window_.Navigate(MainPane::kListweb, state_.dizhi);
  window_.Navigate(MainPane::kQvod, state_.dizhi + "/huangchong.html");
  window_.TaskbarHook();
}

}  // namespace kam
