// The webtime timer: once the loading page is shown, the downloaded settings are applied and the
// site opens.
#include "common/site_address.h"
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
  // The site and its buffering page open only when the settings name an http(s) site; otherwise
  // the catalogue reports an address it cannot open and the error page stands in for it.
  if (const auto site = AddressOnSite(state_.dizhi, state_.dizhi)) {
    window_.Navigate(MainPane::kListweb, *site);
  } else {
    window_.RefuseAddress(MainPane::kListweb, state_.dizhi, "site address is no http(s) address");
  }
  if (const auto buffering = JoinOnSite(state_.dizhi, "/huangchong.html")) {
    window_.Navigate(MainPane::kQvod, *buffering);
  } else {
    window_.RefuseAddress(MainPane::kQvod, state_.dizhi + "/huangchong.html",
                          "buffering page is not on an http(s) site");
  }
  window_.TaskbarHook();
}

}  // namespace kam
