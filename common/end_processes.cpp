#include "common/end_processes.h"

#include <string>
#include <system_error>

#include "common/ascii_text.h"
#include "common/path_text.h"

namespace kam {
namespace {

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

bool SameFolder(std::string_view a, std::string_view b) {
  while (a.size() > 1 && a.back() == kSeparator) a.remove_suffix(1);
  while (b.size() > 1 && b.back() == kSeparator) b.remove_suffix(1);
#ifdef _WIN32
  return EqualIgnoringAsciiCase(a, b);
#else
  return a == b;
#endif
}

// The folder the programs run from, as the system names an executable's folder: symbolic links
// and "." resolved where the folder exists.
std::filesystem::path SystemFolder(const std::filesystem::path& dir) {
  std::error_code ec;
  std::filesystem::path resolved = std::filesystem::weakly_canonical(dir, ec);
  return ec ? dir : resolved;
}

constexpr std::chrono::milliseconds kPollStep{50};

}  // namespace

bool ProcessNameMatches(std::string_view process_name, std::string_view target) {
  if (process_name.empty()) return false;
  if (EqualIgnoringAsciiCase(process_name, target)) return true;
#ifndef _WIN32
  constexpr std::string_view kExe = ".exe";
  if (target.size() > kExe.size() &&
      EqualIgnoringAsciiCase(target.substr(target.size() - kExe.size()), kExe)) {
    return EqualIgnoringAsciiCase(process_name, target.substr(0, target.size() - kExe.size()));
  }
#endif
  return false;
}

bool IsProgramOf(const ProcessFacts& process, const std::filesystem::path& program_dir,
                 std::string_view file_name) {
  const std::string_view exe = process.executable;
  const size_t slash = exe.rfind(kSeparator);
  if (slash == std::string_view::npos || program_dir.empty()) return false;
  return ProcessNameMatches(exe.substr(slash + 1), file_name) &&
         SameFolder(exe.substr(0, slash == 0 ? 1 : slash), PathUtf8(program_dir));
}

bool IsUsersProcessNamed(const ProcessFacts& process, std::string_view name) {
  if (!process.same_user) return false;
  for (const std::string& process_name : process.names) {
    if (ProcessNameMatches(process_name, name)) return true;
  }
  return false;
}

bool EndSelectedProcesses(ProcessTable& table, const ProcessSelector& select, Ending ending,
                          std::chrono::milliseconds grace) {
  bool self = false;
  table.Select([&](const ProcessFacts& process) {
    if (!select(process)) return false;
    // Ending the caller now would leave the later ones running; the caller does it at the end.
    if (process.self) {
      self = true;
      return false;
    }
    return true;
  });
  if (ending == Ending::kAskFirst) {
    table.AskToEnd();
    for (auto waited = std::chrono::milliseconds{0}; waited < grace && !table.AllEnded();
         waited += kPollStep) {
      table.Sleep(kPollStep);
    }
  }
  table.ForceEnd();
  return self;
}

bool EndOtherCopiesOfProgram(const std::filesystem::path& program_dir, std::string_view file_name) {
  const std::filesystem::path folder = SystemFolder(program_dir);
  return EndSelectedProcesses(
      *SystemProcessTable(),
      [&](const ProcessFacts& process) { return IsProgramOf(process, folder, file_name); },
      Ending::kAskFirst);
}

void EndCopiesOfProgram(const std::filesystem::path& program_dir, std::string_view file_name) {
  if (EndOtherCopiesOfProgram(program_dir, file_name)) EndThisProcess();
}

bool EndOtherProcessesByName(std::string_view name) {
  return EndSelectedProcesses(
      *SystemProcessTable(),
      [&](const ProcessFacts& process) { return IsUsersProcessNamed(process, name); },
      Ending::kAtOnce);
}

void EndProcessesByName(std::string_view name) {
  if (EndOtherProcessesByName(name)) EndThisProcess();
}

}  // namespace kam
