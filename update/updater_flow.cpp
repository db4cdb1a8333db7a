#include "update/updater_flow.h"

#include <system_error>
#include <utility>

#include "common/path_text.h"
#include "common/updater_command.h"
#include "update/path_strings.h"
#include "update/progress_display.h"
#include "update/sha256.h"

namespace kam::update {
namespace {

const std::string kSeparator(1, static_cast<char>(std::filesystem::path::preferred_separator));

}  // namespace

Updater::Updater(UpdaterView& view, UpdaterSystem& system, BindingTransport& transport,
                 TickClock& clock, MessagePump& pump, std::filesystem::path program_dir)
    : view_(view),
      system_(system),
      download_(transport, clock, pump),
      program_dir_(std::move(program_dir)) {}

StartupResult Updater::Start(std::string_view command_line) {
  dizhi_ = system_.ReadSetting("kampeizhi", "wangzhan");
  expected_sha256_ = system_.ReadSetting("ver", "sha256");
  download_.SetOnProgress([this](const ProgressEvent& event) { OnProgress(event); });
  if (system_.AnotherInstanceRunning()) return {false, 0};
  view_.InstallHook();
  view_.SetIcon(program_dir_ / "skin" / "icon.ico");

  UpdaterCommand command = ParseUpdaterCommand(command_line);
  if (command.status == UpdaterCommand::Status::kEmpty) return {false, 0};
  if (command.status == UpdaterCommand::Status::kNoMode) {
    system_.ReportError(
        "update: the command line has no mode; expected VERSION###shengji### or VERSION###wu###");
    return {false, 2};
  }
  offered_version_ = command.offered_version;
  view_.SetText(Control::kLabel2, offered_version_);

  switch (UpdaterModeOf(command.mode)) {
    case UpdaterMode::kUpgrade:
      view_.SetText(Control::kLabel1, "检测到当前最新版为");
      view_.SetText(Control::kLabel3, ",是否立即升级");
      view_.SetVisible(Control::kLabel1, true);
      view_.SetVisible(Control::kLabel2, true);
      view_.SetVisible(Control::kLabel3, true);
      view_.SetVisible(Control::kImage6, true);
      state_ = UpdaterState::kOffering;
      break;
    case UpdaterMode::kCurrent:
      view_.SetText(Control::kLabel2, "已是最新");
      view_.SetText(Control::kLabel1, "您当前使用的");
      view_.SetText(Control::kLabel3, ",无需升级");
      view_.SetVisible(Control::kLabel1, true);
      view_.SetVisible(Control::kLabel2, true);
      view_.SetVisible(Control::kLabel3, true);
      view_.SetVisible(Control::kImage3, true);
      state_ = UpdaterState::kCurrent;
      break;
    case UpdaterMode::kBlank:
      state_ = UpdaterState::kBlank;
      break;
  }
  return {true, 0};
}

void Updater::OnUpgradeClicked() {
  view_.SetVisible(Control::kLabel5, true);
  view_.SetVisible(Control::kLabel4, true);
  view_.SetVisible(Control::kBar, true);
  const std::string dir = AddString(PathUtf8(program_dir_), kSeparator);
  const std::string url = dizhi_ + "/" + kInstallerName;
  const std::string name = GetFileNameInPath(url, false);
  const std::filesystem::path destination = Utf8Path(dir + name);

  if (!download_.downloading()) state_ = UpdaterState::kDownloading;
  bool ok = download_.StartDownloading(url, destination);
  // The painted close button may have ended the updater from inside the transfer.
  if (ended_) return;
  if (ok && !InstallerIsTheOneOnOffer(destination)) ok = false;
  if (!ok) {
    Unload();
    return;
  }

  state_ = UpdaterState::kFinishing;
  system_.EndProcessesByName("kamplayer.exe");
  const std::filesystem::path installer =
      Utf8Path(PathUtf8(program_dir_) + kSeparator + kInstallerName);
  if (!system_.StartProgram(installer)) {
    system_.ReportError("update: cannot start the installer " + PathUtf8(installer));
    ended_ = true;
    view_.EndProgram(1);
    return;
  }
  system_.WriteSkinConfig("Version", "Version", offered_version_);
  // This ends the updater itself, and any other one.
  system_.EndProcessesByName("update.exe");
  // Reached only when this program runs under another file name: it ends all the same.
  ended_ = true;
  view_.EndProgram(0);
}

bool Updater::InstallerIsTheOneOnOffer(const std::filesystem::path& file) {
  if (expected_sha256_.empty()) return true;
  std::optional<std::string> actual = Sha256HexOfFile(file);
  if (actual && DigestMatches(expected_sha256_, *actual)) return true;
  // Not what the operators published: it must never be run, not even by hand.
  std::error_code ec;
  std::filesystem::remove(file, ec);
  system_.ReportError("update: the downloaded installer does not match the published SHA-256");
  return false;
}

void Updater::OnCancelClicked() { download_.AbortDownloading(); }

void Updater::OnOkClicked() { Unload(); }

void Updater::OnTitleBarClose() {
  ended_ = true;
  state_ = UpdaterState::kClosed;
  download_.AbortDownloading();
  view_.EndProgram(0);
}

void Updater::Unload() {
  if (unloaded_) return;
  unloaded_ = true;
  state_ = UpdaterState::kClosed;
  download_.AbortDownloading();
  view_.CloseWindow();
}

void Updater::OnProgress(const ProgressEvent& event) {
  auto display = DisplayForProgress(event.progress, event.max_progress, view_.DecimalPoint());
  if (!display) return;
  view_.SetBarValue(display->percent);
  view_.SetText(Control::kLabel5, display->label);
}

}  // namespace kam::update
