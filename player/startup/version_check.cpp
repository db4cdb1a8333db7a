// The version checks: nolink right after the window loads, shengji on the user's request. Both
// hand over to the updater in the program directory; only nolink ends the player.
#include "common/program_dir.h"
#include "common/updater_command.h"
#include "common/version_rule.h"
#include "player/startup/start_routine.h"

namespace kam {

void Startup::nolink_Timer() {
  window_.SetTimerEnabled(MainTimer::kNolink, false);
  state_.Text2 = system_.ReadSetting("ver", "ver");
  state_.Text1 = system_.ReadSkinConfig("Version", "Version", "");
  if (!IsUpgradeDue(state_.Text1, state_.Text2)) return;
  const std::string argument = BuildUpdaterArgument(state_.Text2, true);
  const std::filesystem::path updater = ProgramFile(system_.ProgramDir(), "\\update");
  if (!system_.FileExists(updater)) return;
  system_.StartDetached(updater, argument);
  system_.EndProgramCopies("kamplayer.exe");
}

void Startup::shengji() {
  const std::filesystem::path dir = system_.ProgramDir();
  system_.DownloadFile(servers_.config_server + "/kam/kam.txt", ProgramFile(dir, "\\kamplayer.db"),
                       std::chrono::milliseconds{0});
  form2_.Text2 = system_.ReadSetting("ver", "ver");
  form2_.Text1 = system_.ReadSkinConfig("Version", "Version", "");
  const std::string argument =
      BuildUpdaterArgument(form2_.Text2, IsUpgradeDue(form2_.Text1, form2_.Text2));
  const std::filesystem::path updater = ProgramFile(dir, "\\update");
  if (!system_.FileExists(updater)) return;
  system_.StartDetached(updater, argument);
}

}  // namespace kam
