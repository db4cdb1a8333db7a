#include "update/updater_system.h"

#include <chrono>
#include <iostream>
#include <system_error>
#include <utility>

#include "common/end_processes.h"
#include "common/process_start.h"
#include "common/settings_files.h"
#include "common/single_instance.h"

namespace kam::update {

SystemUpdaterPorts::SystemUpdaterPorts(std::filesystem::path program_dir)
    : program_dir_(std::move(program_dir)) {}

std::string SystemUpdaterPorts::ReadSetting(std::string_view section, std::string_view key) {
  return kam::ReadSetting(program_dir_, section, key);
}

bool SystemUpdaterPorts::AnotherInstanceRunning() {
  return !AcquireSingleInstance(program_dir_, "update");
}

void SystemUpdaterPorts::EndProgramCopies(const std::string& file_name) {
  EndCopiesOfProgram(program_dir_, file_name);
}

bool SystemUpdaterPorts::StartProgram(const std::filesystem::path& program) {
  // A downloaded file carries no execute permission.
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::permissions(program, fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec,
                  fs::perm_options::add, ec);
  return kam::StartProgram(program);
}

bool SystemUpdaterPorts::WriteSkinConfig(std::string_view section, std::string_view key,
                                         std::string_view value) {
  return kam::WriteSkinConfig(program_dir_, section, key, value);
}

void SystemUpdaterPorts::ReportError(const std::string& message) {
  std::cerr << message << std::endl;
}

std::uint32_t SystemTickClock::TickCount() {
  auto since_start = std::chrono::steady_clock::now().time_since_epoch();
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(since_start).count();
  return static_cast<std::uint32_t>(static_cast<std::uint64_t>(ms));
}

}  // namespace kam::update
