// The updater's flow: start-up, the offer or the current-version sentence, the upgrade (download
// the installer, end the player, start the installer, record the version, end), cancel and
// unload. Decisions only; the window and the system are ports.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>

#include "update/file_download.h"
#include "update/installer_checks.h"
#include "update/updater_ports.h"

namespace kam::update {

inline constexpr char kInstallerName[] = "sela_pid_uid.exe";

// What an installer download may take. Installers are tens of MB; a body past the size or a
// transfer past the time (a server that trickles) fails like any other failed download.
inline constexpr std::int64_t kMaxInstallerBytes = std::int64_t{1} << 30;
// The largest installer arrives within it at about 150 KB/s.
inline constexpr std::chrono::hours kInstallerTimeLimit{2};

struct InstallerLimits {
  std::int64_t max_bytes = kMaxInstallerBytes;
  std::chrono::milliseconds time_limit = kInstallerTimeLimit;
};

enum class UpdaterState {
  kStarting,
  kOffering,
  kCurrent,
  kBlank,
  kDownloading,
  kFinishing,
  kClosed
};

struct StartupResult {
  bool show = false;    // false: the updater ends without a window
  int exit_status = 0;  // when it ends
};

class Updater {
 public:
  Updater(UpdaterView& view, UpdaterSystem& system, BindingTransport& transport, TickClock& clock,
          MessagePump& pump, InstallerChecks& checks, std::filesystem::path program_dir);

  // Start-up, in order: site address, downloader, another instance, hook, icon, command line,
  // labels and button.
  StartupResult Start(std::string_view command_line);

  void OnUpgradeClicked();  // Image6
  void OnCancelClicked();   // Label4
  void OnOkClicked();       // Image3
  // The painted close button: the updater ends at once. A running transfer is stopped so that
  // it leaves nothing behind.
  void OnTitleBarClose();
  // The window closes, whatever the cause: stops a running transfer. Idempotent.
  void Unload();

  // Tests give smaller limits.
  void SetInstallerLimits(const InstallerLimits& limits) { installer_limits_ = limits; }

  UpdaterState state() const { return state_; }
  const std::string& dizhi() const { return dizhi_; }
  const std::string& offered_version() const { return offered_version_; }
  CFileDownload& download() { return download_; }
  // Where the installer is downloaded, checked and started from: one fixed path in the program
  // directory, whatever the site address holds.
  std::filesystem::path InstallerPath() const;

 private:
  void OnProgress(const ProgressEvent& event);
  // sha256: the digest of the bytes the download wrote.
  bool InstallerIsTheOneOnOffer(const std::filesystem::path& file, const std::string& sha256);
  bool InstallerIsSigned(const std::string& url, const std::filesystem::path& file,
                         const std::string& sha256);
  // Deletes an installer that must not run, and says why.
  void Refuse(const std::filesystem::path& file, const std::string& why);

  UpdaterView& view_;
  UpdaterSystem& system_;
  InstallerChecks& checks_;
  CFileDownload download_;
  std::filesystem::path program_dir_;
  InstallerLimits installer_limits_;
  UpdaterState state_ = UpdaterState::kStarting;
  bool unloaded_ = false;
  bool ended_ = false;
  bool cancelled_ = false;
  // While the signature is fetched its progress is not shown, and a file past the size limit
  // is cut off at once.
  bool fetching_signature_ = false;
  bool signature_too_large_ = false;
  std::string dizhi_;            // the site address, from "\kamplayer.db"
  std::string expected_sha256_;  // the installer's digest as the operators publish it, if any
  std::string offered_version_;
};

}  // namespace kam::update
