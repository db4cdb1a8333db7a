// Real child processes for tests of process control: started with pipes on their standard
// input and output, ended and reaped when the test lets go of them.
#pragma once

#ifndef _WIN32
#include <sys/types.h>
#endif

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kam::testing {

#ifdef _WIN32
using pid_t = unsigned long;
#endif

class ChildProcess {
 public:
  // Starts program with arguments; argv[0] is argv0, or the program path when argv0 is empty.
  ChildProcess(const std::filesystem::path& program, const std::vector<std::string>& arguments,
               std::string_view argv0 = {});
  // Kills the child if it still runs, and reaps it.
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool started() const { return pid_ > 0; }
  pid_t pid() const { return pid_; }

  // One line of the child's output without its line break; nothing when none came in time.
  std::optional<std::string> ReadLine(std::chrono::milliseconds timeout);
  // Everything the child writes until it closes its output, at most until timeout.
  std::string ReadRest(std::chrono::milliseconds timeout);
  bool WriteLine(std::string_view line);
  void CloseInput();
  // The child's wait status (Windows: its exit code) once it has ended; nothing when it still
  // runs after timeout.
  std::optional<int> Wait(std::chrono::milliseconds timeout);

 private:
#ifdef _WIN32
  pid_t pid_ = 0;
  void* process_ = nullptr;
  void* in_ = nullptr;
  void* out_ = nullptr;
#else
  pid_t pid_ = -1;
  int in_ = -1;
  int out_ = -1;
#endif
  std::string buffered_;
  std::optional<int> status_;
};

// The test helper program (tests/support/process_probe).
std::filesystem::path ProcessProbePath();

// A copy of the probe program in dir under the file name name, ready to run.
std::filesystem::path CopyProbeAs(const std::filesystem::path& dir, std::string_view name);

// A name no other program on this machine has: stem, this process's id and a random tail.
// Tests that end processes by name use such names so that they end nothing of anyone else.
std::string UniqueProcessName(std::string_view stem);

#ifndef _WIN32
// Whether the wait status says the process was killed by SIGKILL.
bool KilledBySigkill(int status);
#endif
// Whether the wait status says the process exited with the given code.
bool ExitedWith(int status, int code);

}  // namespace kam::testing
