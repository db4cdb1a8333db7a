// The process table is /proc. A process is known here by up to three names, and it matches
// when any of them does:
//  - the file name of its executable (/proc/PID/exe), without the " (deleted)" the kernel adds
//    once the file has been replaced or removed, as an installer does to a running player;
//  - its command name (/proc/PID/comm). For a script run through its "#!" line the executable is
//    the interpreter and argv[0] is the interpreter's path, but the kernel names the process
//    after the script file, so a program that is a script is found by this name. It also names a
//    process started through a symbolic link after the link. The kernel cuts the name to 15
//    bytes, so a 15-byte name may be the beginning of a longer one and is not compared;
//  - the file name of argv[0] (/proc/PID/cmdline), the name it was started under.
// A process whose links cannot be read (another user's) simply has fewer names; it could not
// be ended anyway.
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "common/end_processes.h"

namespace kam {
namespace {

constexpr size_t kCommMax = 15;  // TASK_COMM_LEN - 1

std::string_view BaseName(std::string_view path) {
  const size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// Up to limit bytes of a /proc file; empty when it cannot be read.
std::string ReadProcFile(const std::string& path, size_t limit) {
  std::string bytes;
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return bytes;
  bytes.resize(limit);
  size_t got = 0;
  while (got < limit) {
    const ssize_t n = read(fd, bytes.data() + got, limit - got);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += static_cast<size_t>(n);
  }
  close(fd);
  bytes.resize(got);
  return bytes;
}

std::vector<std::string> NamesOf(const std::string& proc_dir) {
  std::vector<std::string> names;

  char target[4096];
  const ssize_t n = readlink((proc_dir + "/exe").c_str(), target, sizeof target);
  if (n > 0) {
    std::string_view exe(target, static_cast<size_t>(n));
    constexpr std::string_view kDeleted = " (deleted)";
    if (exe.ends_with(kDeleted)) exe.remove_suffix(kDeleted.size());
    names.emplace_back(BaseName(exe));
  }

  std::string comm = ReadProcFile(proc_dir + "/comm", 64);
  if (!comm.empty() && comm.back() == '\n') comm.pop_back();
  if (!comm.empty() && comm.size() < kCommMax) names.push_back(comm);

  const std::string cmdline = ReadProcFile(proc_dir + "/cmdline", 4096);
  const std::string_view argv0(cmdline.c_str());  // up to the first NUL
  if (!argv0.empty()) names.emplace_back(BaseName(argv0));
  return names;
}

bool AnyNameMatches(const std::string& proc_dir, std::string_view target) {
  for (const std::string& name : NamesOf(proc_dir)) {
    if (ProcessNameMatches(name, target)) return true;
  }
  return false;
}

bool ParsePid(const char* text, pid_t* pid) {
  if (*text == '\0') return false;
  long value = 0;
  for (const char* p = text; *p; ++p) {
    if (*p < '0' || *p > '9') return false;
    value = value * 10 + (*p - '0');
    if (value > 0x3fffffff) return false;
  }
  *pid = static_cast<pid_t>(value);
  return value > 0;
}

// A descriptor that keeps naming this process even if it ends and its number is reused, so the
// process that was looked at is the one that gets the signal. -1 on kernels without it.
int OpenPidfd(pid_t pid) {
#ifdef SYS_pidfd_open
  return static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
#else
  (void)pid;
  return -1;
#endif
}

void Kill(pid_t pid, int pidfd) {
#ifdef SYS_pidfd_send_signal
  if (pidfd >= 0) {
    syscall(SYS_pidfd_send_signal, pidfd, SIGKILL, nullptr, 0);
    return;
  }
#endif
  (void)pidfd;
  kill(pid, SIGKILL);
}

}  // namespace

bool EndOtherProcessesByName(std::string_view name) {
  const pid_t self = getpid();
  bool end_self = false;
  if (DIR* proc = opendir("/proc")) {
    while (const dirent* entry = readdir(proc)) {
      pid_t pid = 0;
      if (!ParsePid(entry->d_name, &pid)) continue;
      const std::string proc_dir = std::string("/proc/") + entry->d_name;
      if (pid == self) {
        // Ending ourselves now would leave later copies running; do it after the walk.
        end_self = end_self || AnyNameMatches(proc_dir, name);
        continue;
      }
      const int pidfd = OpenPidfd(pid);
      if (pidfd < 0 && errno == ESRCH) continue;  // gone already
      if (AnyNameMatches(proc_dir, name)) Kill(pid, pidfd);
      if (pidfd >= 0) close(pidfd);
    }
    closedir(proc);
  }
  return end_self;
}

void EndProcessesByName(std::string_view name) {
  if (EndOtherProcessesByName(name)) _exit(0);
}

}  // namespace kam
