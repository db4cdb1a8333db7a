// A small program that tests of process control start as a real process, often copied under
// another file name. It reports on its standard output, one line at a time.
//
//   wait                      "ready"; answers "alive" to every input line; ends at end of
//                             input or after 60 s
//   end NAME                  EndProcessesByName(NAME), then "after" and exit status 3
//   end-on-line NAME          "ready"; on the first input line, as end
//   lock DIR NAME             "held" and as wait when the instance lock is taken, else "busy"
//                             and exit status 1
//   lock-start DIR NAME FILE  takes the lock, starts itself detached as "record FILE 20000",
//                             exits 0 (1 when the lock was busy, 2 when the start failed)
//   record FILE LINGER_MS ... writes FILE (whole, atomically), then stays LINGER_MS (at most
//                             60 s): "pid ppid sid" and the open descriptors above 2 on the first
//                             line, then every argument after LINGER_MS, each followed by a NUL
#include <dirent.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <thread>

#include "common/atomic_file.h"
#include "common/end_processes.h"
#include "common/process_start.h"
#include "common/program_dir.h"
#include "common/single_instance.h"

namespace {

constexpr int kMaxLifeMs = 60000;

void Say(const char* line) {
  std::printf("%s\n", line);
  std::fflush(stdout);
}

// Reads one line of input; false at end of input or after timeout_ms.
bool ReadLine(int timeout_ms) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  while (true) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    pollfd p{0, POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
    char c;
    if (read(0, &c, 1) != 1) return false;
    if (c == '\n') return true;
  }
}

int Wait() {
  Say("ready");
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kMaxLifeMs);
  while (std::chrono::steady_clock::now() < end) {
    if (!ReadLine(kMaxLifeMs)) return 0;
    Say("alive");
  }
  return 0;
}

int End(const char* name) {
  kam::EndProcessesByName(name);
  Say("after");
  return 3;
}

std::string OpenDescriptors() {
  std::string list;
  DIR* dir = opendir("/proc/self/fd");
  if (dir == nullptr) return list;
  const int own = dirfd(dir);
  while (const dirent* entry = readdir(dir)) {
    const int fd = std::atoi(entry->d_name);
    if (entry->d_name[0] < '0' || entry->d_name[0] > '9' || fd <= 2 || fd == own) continue;
    list += ' ';
    list += entry->d_name;
  }
  closedir(dir);
  return list;
}

int Record(int argc, char** argv) {
  if (argc < 4) return 64;
  std::string report = std::to_string(getpid()) + " " + std::to_string(getppid()) + " " +
                       std::to_string(getsid(0)) + OpenDescriptors() + "\n";
  for (int i = 4; i < argc; ++i) {
    report += argv[i];
    report += '\0';
  }
  if (!kam::WriteFileAtomically(argv[2], report)) return 65;
  const int linger = std::clamp(std::atoi(argv[3]), 0, kMaxLifeMs);
  std::this_thread::sleep_for(std::chrono::milliseconds(linger));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string_view mode = argc > 1 ? argv[1] : "wait";
  if (mode == "wait") return Wait();
  if (mode == "end" && argc > 2) return End(argv[2]);
  if (mode == "end-on-line" && argc > 2) {
    Say("ready");
    if (!ReadLine(kMaxLifeMs)) return 4;
    return End(argv[2]);
  }
  if (mode == "lock" && argc > 3) {
    if (!kam::AcquireSingleInstance(argv[2], argv[3])) {
      Say("busy");
      return 1;
    }
    Say("held");
    return Wait();
  }
  if (mode == "lock-start" && argc > 4) {
    if (!kam::AcquireSingleInstance(argv[2], argv[3])) return 1;
    return kam::StartProgram(kam::ExecutablePath(), {"record", argv[4], "20000"}) ? 0 : 2;
  }
  if (mode == "record") return Record(argc, argv);
  return 64;
}
