// The start-up logic's system port on the real system: the single-instance lock, the
// connectivity probe, the settings download, the settings files, processes.
#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "player/startup/file_download.h"
#include "player/startup/start_routine_ports.h"

namespace kam {

class SystemServices : public SystemPort {
 public:
  // pump lets the window's pending messages run during a download.
  SystemServices(std::filesystem::path program_dir, std::string command_line, MessagePump pump);

  std::filesystem::path ProgramDir() override { return program_dir_; }
  bool AnotherInstanceRunning() override;
  void HandOverToRunning(const std::string& command_line) override;
  bool ConnectionAvailable(const std::string& probe_url) override;
  bool DownloadFile(const std::string& url, const std::filesystem::path& target,
                    std::chrono::milliseconds time_limit) override;
  std::string CommandLine() override { return command_line_; }
  std::string ReadSetting(const std::string& section, const std::string& key) override;
  std::string ReadSkinConfig(const std::string& section, const std::string& key,
                             const std::string& default_value) override;
  bool FileExists(const std::filesystem::path& file) override;
  void StartDetached(const std::filesystem::path& program, const std::string& argument) override;
  // Ends every other process of that name; when this one matches too, it ends the program
  // through end_self (set by SetSelfEnd) once that is set, else at once as the platform does.
  void EndProcessesByName(const std::string& name) override;
  // The copies of this program file in the program directory; this one as above.
  void EndProgramCopies(const std::string& file_name) override;

  // How this program ends itself: the player quits its event loop, so its browser profile
  // writes out what it holds (cookies are kept in memory for up to half a minute).
  void SetSelfEnd(std::function<void()> end_self) { end_self_ = std::move(end_self); }

 private:
  std::filesystem::path program_dir_;
  std::string command_line_;
  MessagePump pump_;
  std::function<void()> end_self_;
};

}  // namespace kam
