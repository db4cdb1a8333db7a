#include "update/updater_flow.h"

#include <fstream>
#include <system_error>
#include <utility>

#include "common/path_text.h"
#include "common/updater_command.h"
#include "update/path_strings.h"
#include "update/progress_display.h"

namespace kam::update {
namespace {

const std::string kSeparator(1, static_cast<char>(std::filesystem::path::preferred_separator));

// At most max_bytes + 1 bytes of a file: enough to tell that it is too long. Nothing when it
// cannot be read.
std::optional<std::string> ReadAtMost(const std::filesystem::path& file, std::int64_t max_bytes) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::string text(static_cast<std::size_t>(max_bytes) + 1, '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  if (in.bad()) return std::nullopt;
  text.resize(static_cast<std::size_t>(in.gcount()));
  return text;
}

void RemoveFile(const std::filesystem::path& file) {
  std::error_code ec;
  std::filesystem::remove(file, ec);
}

}  // namespace

Updater::Updater(UpdaterView& view, UpdaterSystem& system, BindingTransport& transport,
                 TickClock& clock, MessagePump& pump, InstallerChecks& checks,
                 std::filesystem::path program_dir)
    : view_(view),
      system_(system),
      checks_(checks),
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

std::filesystem::path Updater::InstallerPath() const {
  return Utf8Path(AddString(PathUtf8(program_dir_), kSeparator) + kInstallerName);
}

void Updater::OnUpgradeClicked() {
  view_.SetVisible(Control::kLabel5, true);
  view_.SetVisible(Control::kLabel4, true);
  view_.SetVisible(Control::kBar, true);
  const std::string url = dizhi_ + "/" + kInstallerName;
  const std::filesystem::path installer = InstallerPath();

  if (!download_.downloading()) state_ = UpdaterState::kDownloading;
  // Digested as it arrives, so the file is never read back: the digest is of the bytes written.
  std::unique_ptr<Sha256Stream> digest = checks_.NewSha256();
  TransferOptions options;
  options.max_bytes = installer_limits_.max_bytes;
  options.time_limit = installer_limits_.time_limit;
  options.on_body = [&digest](std::string_view bytes) { digest->Update(bytes); };
  bool ok = download_.StartDownloading(url, installer, options);
  if (ok) {
    const std::string sha256 = digest->HexDigest();
    ok = InstallerIsTheOneOnOffer(installer, sha256) && InstallerIsSigned(url, installer, sha256);
  }
  // The painted close button may have ended the updater from inside a transfer.
  if (ended_) return;
  if (!ok) {
    Unload();
    return;
  }

  state_ = UpdaterState::kFinishing;
  system_.EndProgramCopies("kamplayer.exe");
  if (!system_.StartProgram(installer)) {
    system_.ReportError("update: cannot start the installer " + PathUtf8(installer));
    ended_ = true;
    view_.EndProgram(1);
    return;
  }
  system_.WriteSkinConfig("Version", "Version", offered_version_);
  // This ends the updater itself, and any other one of this program directory.
  system_.EndProgramCopies("update.exe");
  // Reached only when this program runs under another file name: it ends all the same.
  ended_ = true;
  view_.EndProgram(0);
}

bool Updater::InstallerIsTheOneOnOffer(const std::filesystem::path& file,
                                       const std::string& sha256) {
  if (expected_sha256_.empty()) return true;
  if (DigestMatches(expected_sha256_, sha256)) return true;
  Refuse(file, "the downloaded installer does not match the published SHA-256");
  return false;
}

bool Updater::InstallerIsSigned(const std::string& url, const std::filesystem::path& file,
                                const std::string& sha256) {
  if (!checks_.HasPublisherKey()) return true;
  const std::string signature_url = url + ".sig";
  const std::filesystem::path signature_file = Utf8Path(PathUtf8(file) + ".sig");
  fetching_signature_ = true;
  signature_too_large_ = false;
  const bool fetched = download_.StartDownloading(signature_url, signature_file);
  fetching_signature_ = false;
  std::optional<std::string> text;
  if (fetched) text = ReadAtMost(signature_file, kMaxSignatureBytes);
  RemoveFile(signature_file);

  // Cancelled, closed or clicked again meanwhile: the user's choice, nothing to report.
  if (ended_ || unloaded_ || cancelled_) {
    RemoveFile(file);
    return false;
  }
  if (signature_too_large_ ||
      (text && static_cast<std::int64_t>(text->size()) > kMaxSignatureBytes)) {
    Refuse(file, "the installer's signature " + signature_url + " is longer than " +
                     std::to_string(kMaxSignatureBytes) + " bytes");
    return false;
  }
  if (!text) {
    Refuse(file, "no signature for the installer at " + signature_url);
    return false;
  }
  const SignatureVerdict verdict = checks_.CheckSignature(offered_version_, sha256, *text);
  if (verdict == SignatureVerdict::kGood) return true;
  Refuse(file, "the installer's signature " + signature_url +
                   " is refused: " + std::string(SignatureVerdictName(verdict)));
  return false;
}

void Updater::Refuse(const std::filesystem::path& file, const std::string& why) {
  // An installer that failed its checks must never run, not even by hand.
  RemoveFile(file);
  system_.ReportError("update: " + why + "; the installer is not run");
}

void Updater::OnCancelClicked() {
  cancelled_ = true;
  download_.AbortDownloading();
}

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
  if (fetching_signature_) {
    if (event.progress > kMaxSignatureBytes || event.max_progress > kMaxSignatureBytes) {
      signature_too_large_ = true;
      download_.AbortDownloading();
    }
    return;
  }
  auto display = DisplayForProgress(event.progress, event.max_progress, view_.DecimalPoint());
  if (!display) return;
  view_.SetBarValue(display->percent);
  view_.SetText(Control::kLabel5, display->label);
}

}  // namespace kam::update
