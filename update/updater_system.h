// The updater's ports on the real system: the settings files, the instance lock, processes,
// the tick count.
#pragma once

#include <filesystem>

#include "update/file_download.h"
#include "update/updater_ports.h"

namespace kam::update {

class SystemUpdaterPorts : public UpdaterSystem {
 public:
  explicit SystemUpdaterPorts(std::filesystem::path program_dir);
  std::string ReadSetting(std::string_view section, std::string_view key) override;
  bool AnotherInstanceRunning() override;
  void EndProgramCopies(const std::string& file_name) override;
  bool StartProgram(const std::filesystem::path& program) override;
  bool WriteSkinConfig(std::string_view section, std::string_view key,
                       std::string_view value) override;
  void ReportError(const std::string& message) override;

 private:
  std::filesystem::path program_dir_;
};

// Milliseconds since the system started (the monotonic clock), wrapping at 2^32.
class SystemTickClock : public TickClock {
 public:
  std::uint32_t TickCount() override;
};

}  // namespace kam::update
