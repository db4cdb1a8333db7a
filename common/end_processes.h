// Ending other processes. Both programs use it: the updater ends the player and itself, the player
// ends its own copies, and the player's exit ends an outside video player's components.
//
// Two rules choose the processes:
//  - a program of ours is found by its executable's full path: that program file in the given
//    program directory, never a program of the same name in another folder;
//  - the outside player's components are found by name, among the user's own processes only.
// Programs of ours are asked to end first (so that they write out what they hold) and forced
// after a grace period; the outside player's components are ended at once.
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kam {

// What is known of one running process. Fields that cannot be read (another user's process,
// one that just ended) stay empty.
struct ProcessFacts {
  // Full path of its executable, UTF-8, with the system's separators. On Linux also when the
  // file has since been replaced or removed (as an installer does to a running player).
  std::string executable;
  // Names it is known by: its executable's file name, and on Linux its command name (a script
  // started through its "#!" line has the script's name there) and the file name of argv[0].
  std::vector<std::string> names;
  bool same_user = false;  // runs under the caller's user
  bool self = false;       // is the caller
};

// Whether one name a process is known by matches a target name: equal when ASCII letters are
// lower-cased, whole name only ("kamplayer.exe" never matches "xkamplayer"). On Linux, where
// executables have no extension, also equal to the target without a trailing ".exe".
bool ProcessNameMatches(std::string_view process_name, std::string_view target);

// The rule for programs of ours: the executable is the file file_name (matched as
// ProcessNameMatches does) directly in program_dir. The folder is compared exactly, on Windows
// with ASCII letter case ignored.
bool IsProgramOf(const ProcessFacts& process, const std::filesystem::path& program_dir,
                 std::string_view file_name);

// The rule for an outside program's components: one of the process's names matches name, and
// the process is the user's own.
bool IsUsersProcessNamed(const ProcessFacts& process, std::string_view name);

using ProcessSelector = std::function<bool(const ProcessFacts&)>;

// The system's process table as ending needs it (one implementation per system).
class ProcessTable {
 public:
  virtual ~ProcessTable() = default;
  // Looks at every process and keeps hold of those select accepts, in place of any earlier
  // selection. A process held stays that process: a new one that gets its number after it ended
  // is never touched.
  virtual void Select(const ProcessSelector& select) = 0;
  // Asks the held processes to end in order: SIGTERM on Linux; on Windows the close message to
  // their top-level windows.
  virtual void AskToEnd() = 0;
  // Whether every held process has ended.
  virtual bool AllEnded() = 0;
  // Ends the held processes that still run at once: SIGKILL, or TerminateProcess with exit code 0.
  virtual void ForceEnd() = 0;
  virtual void Sleep(std::chrono::milliseconds duration) = 0;
};

// The table of this system.
std::unique_ptr<ProcessTable> SystemProcessTable();

enum class Ending {
  kAskFirst,  // ask, force only what still runs after the grace period
  kAtOnce,    // force at once
};

// How long a program of ours is given to end in order before it is forced.
inline constexpr std::chrono::milliseconds kEndGrace{5000};

// Ends every process select accepts except the caller, and returns whether select accepted the
// caller too (which the caller then ends its own way). With kAskFirst it returns as soon as every
// one has ended, at the latest after grace and the forced end.
bool EndSelectedProcesses(ProcessTable& table, const ProcessSelector& select, Ending ending,
                          std::chrono::milliseconds grace = kEndGrace);

// Ends the other processes of the program file file_name in program_dir (asked first, forced
// after kEndGrace). True when the caller is that program too: it is left running for the caller
// to end in its own order (the player first lets its browser write out what it holds).
bool EndOtherCopiesOfProgram(const std::filesystem::path& program_dir, std::string_view file_name);

// As EndOtherCopiesOfProgram; then, when the caller is that program, it ends with exit status 0
// and the call does not return: nothing after it runs, no destructor or atexit handler, and
// buffered stdio output is dropped, as for a process terminated from outside. (Flushing could
// block for good on a full pipe, and then the program would never end.)
void EndCopiesOfProgram(const std::filesystem::path& program_dir, std::string_view file_name);

// Ends at once every process of the user's that IsUsersProcessNamed finds by name. When the
// caller's own process matches, it ends last, as EndCopiesOfProgram ends it.
void EndProcessesByName(std::string_view name);

// The same, but the caller's own process is never ended: true when it matches.
bool EndOtherProcessesByName(std::string_view name);

// Ends the caller at once with exit status 0, as described at EndCopiesOfProgram.
[[noreturn]] void EndThisProcess();

}  // namespace kam
