#include "player/startup/qt/system_services.h"

#include <QLoggingCategory>

#include "common/end_processes.h"
#include "common/process_start.h"
#include "common/settings_files.h"
#include "common/single_instance.h"
#include "player/startup/connectivity_probe.h"
#include "player/startup/qt/hand_over_channel.h"

namespace kam {
namespace {
Q_LOGGING_CATEGORY(lcStart, "kam.startup", QtWarningMsg)
}  // namespace

SystemServices::SystemServices(std::filesystem::path program_dir, std::string command_line,
                               MessagePump pump)
    : program_dir_(std::move(program_dir)),
      command_line_(std::move(command_line)),
      pump_(std::move(pump)) {}

bool SystemServices::AnotherInstanceRunning() {
  return !AcquireSingleInstance(program_dir_, "kamplayer");
}

void SystemServices::HandOverToRunning(const std::string& command_line) {
  SendHandOver(program_dir_, command_line, kHandOverPatience);
}

bool SystemServices::ConnectionAvailable(const std::string& probe_url) {
  const bool ok = ProbeConnection(probe_url);
  qCDebug(lcStart) << "probe" << probe_url.c_str() << ok;
  return ok;
}

bool SystemServices::DownloadFile(const std::string& url, const std::filesystem::path& target,
                                  std::chrono::milliseconds time_limit) {
  CYFDownLoadFile download(pump_);
  download.SetTotalTimeout(time_limit);
  const bool ok = download.DownLoadFile(url, target, false, false);
  qCDebug(lcStart) << "download" << url.c_str()
                   << HttpDownloadResultName(download.last_result()).data();
  return ok;
}

std::string SystemServices::ReadSetting(const std::string& section, const std::string& key) {
  return kam::ReadSetting(program_dir_, section, key);
}

std::string SystemServices::ReadSkinConfig(const std::string& section, const std::string& key,
                                           const std::string& default_value) {
  return kam::ReadSkinConfig(program_dir_, section, key, default_value);
}

bool SystemServices::FileExists(const std::filesystem::path& file) {
  std::error_code ec;
  return std::filesystem::is_regular_file(file, ec);
}

void SystemServices::StartDetached(const std::filesystem::path& program,
                                   const std::string& argument) {
  const bool ok = StartProgram(program, {argument});
  qCDebug(lcStart) << "start" << program.c_str() << argument.c_str() << ok;
}

void SystemServices::EndProcessesByName(const std::string& name) {
  if (!end_self_) {
    kam::EndProcessesByName(name);
    return;
  }
  if (EndOtherProcessesByName(name)) end_self_();
}

void SystemServices::EndProgramCopies(const std::string& file_name) {
  if (!EndOtherCopiesOfProgram(program_dir_, file_name)) return;
  if (end_self_) {
    end_self_();
  } else {
    EndThisProcess();
  }
}

}  // namespace kam
