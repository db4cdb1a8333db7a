#include "player/startup/start_routine.h"

#include <string_view>
#include <vector>

#include "common/path_text.h"
#include "common/program_dir.h"
#include "common/site_address.h"
#include "player/startup/launch_args.h"

namespace kam {

StartOutcome Startup::Run() {
  if (system_.AnotherInstanceRunning()) {
    // The running player shows itself, and opens the shortcut's address when there is one.
    system_.HandOverToRunning(system_.CommandLine());
    return StartOutcome::kEnd;
  }

  if (!system_.ConnectionAvailable(servers_.probe_url)) {
    // The balloon needs the window, which loads (and runs its load handler) without showing.
    EnsureLoaded();
    window_.TrayShowBalloon(kOfflineTitle, kOfflineText, kBalloonInfoIcon, kOfflineBalloonMs);
    // The program only stays to let the balloon be read: nothing of the start goes on meanwhile.
    window_.SetTimerEnabled(MainTimer::kNolink, false);
    window_.SetTimerEnabled(MainTimer::kWebtime, false);
    return StartOutcome::kEndAfterBalloon;
  }

  const std::filesystem::path dir = system_.ProgramDir();
  system_.DownloadFile(servers_.image_server + "/upload/my2.txt",
                       ProgramFile(dir, "\\kamplayer.db"), kStartDownloadLimit);

  const std::string decoded = DecodeLaunchArgs(system_.CommandLine());
  if (decoded.empty()) {
    EnsureLoaded();
    window_.SetTimerEnabled(MainTimer::kWebtime, true);
    window_.Show();
    return StartOutcome::kRunning;
  }

  const std::vector<std::string> fields = SplitLaunchArgs(decoded);
  if (fields.size() == 1) return StartOutcome::kEnd;
  OpenShortcut(fields);
  return StartOutcome::kRunning;
}

void Startup::HandOver(const HandOverRequest& request) {
  if (request.kind == HandOverRequest::Kind::kDrop) return;
  if (request.kind == HandOverRequest::Kind::kOpen) OpenShortcut(request.fields);
  window_.ShowAndRaise();
}

void Startup::OpenShortcut(const std::vector<std::string>& fields) {
  ShowMainWindow();
  window_.SetTimerEnabled(MainTimer::kWebtime, false);
  // The user chose to start the shortcut, and a site that moved keeps its old shortcuts: any web
  // address opens, nothing else.
  if (const auto address = AnyWebAddress(fields[1])) {
    window_.Navigate(MainPane::kListweb, *address);
  } else {
    window_.RefuseAddress(MainPane::kListweb, fields[1], "shortcut address is no http(s) address");
  }
  state_.dizhi = system_.ReadSetting("kampeizhi", "wangzhan");
  state_.caption = system_.ReadSetting("kampeizhi", "name");
  window_.SetCaption(state_.caption);
  window_.TaskbarHook();
  window_.TrayShowIcon(state_.caption);
}

void Startup::ShowMainWindow() {
  EnsureLoaded();
  window_.Show();
}

void Startup::EnsureLoaded() {
  if (loaded_) return;
  loaded_ = true;
  FormLoad();
}

void Startup::FormLoad() {
  const std::filesystem::path dir = system_.ProgramDir();
  window_.SetTimerEnabled(MainTimer::kNolink, true);
  window_.SetMaxBoundsToWorkArea();
  window_.SetTimerEnabled(MainTimer::kWebtime, true);
  window_.SetSilent(MainPane::kListweb, true);
  const std::string loading = PathUtf8(ProgramFile(dir, "\\skin\\Loading.html"));
  window_.Navigate(MainPane::kListweb, loading);
  window_.Navigate(MainPane::kW3, loading);
  window_.SetIconFromFile(ProgramFile(dir, "\\skin\\icon.ico"));
  window_.CentreThenTop120Twips();
  window_.LoadHistory(ProgramFile(dir, "\\data\\Data.dat"));
}

}  // namespace kam
