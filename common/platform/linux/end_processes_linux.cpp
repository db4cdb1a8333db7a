// The process table is /proc. A process is known here by its executable's full path
// (/proc/PID/exe, without the " (deleted)" the kernel adds once the file has been replaced or
// removed, as an installer does to a running player), its owner (the owner of /proc/PID, its
// effective user) and up to three names:
//  - the file name of its executable;
//  - its command name (/proc/PID/comm). For a script run through its "#!" line the executable is
//    the interpreter and argv[0] is the interpreter's path, but the kernel names the process
//    after the script file, so a program that is a script is found by this name. It also names a
//    process started through a symbolic link after the link. The kernel cuts the name to 15
//    bytes, so a 15-byte name may be the beginning of a longer one and is not compared;
//  - the file name of argv[0] (/proc/PID/cmdline), the name it was started under.
// Links that cannot be read (another user's process) leave those facts empty.
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <thread>
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

ProcessFacts FactsOf(const std::string& proc_dir) {
  ProcessFacts facts;
  struct stat info {};
  facts.same_user = stat(proc_dir.c_str(), &info) == 0 && info.st_uid == geteuid();

  char target[4096];
  const ssize_t n = readlink((proc_dir + "/exe").c_str(), target, sizeof target);
  if (n > 0 && static_cast<size_t>(n) < sizeof target) {
    std::string_view exe(target, static_cast<size_t>(n));
    constexpr std::string_view kDeleted = " (deleted)";
    if (exe.ends_with(kDeleted)) exe.remove_suffix(kDeleted.size());
    facts.executable = exe;
    facts.names.emplace_back(BaseName(exe));
  }

  std::string comm = ReadProcFile(proc_dir + "/comm", 64);
  if (!comm.empty() && comm.back() == '\n') comm.pop_back();
  if (!comm.empty() && comm.size() < kCommMax) facts.names.push_back(comm);

  const std::string cmdline = ReadProcFile(proc_dir + "/cmdline", 4096);
  const std::string_view argv0(cmdline.c_str());  // up to the first NUL
  if (!argv0.empty()) facts.names.emplace_back(BaseName(argv0));
  return facts;
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
  errno = ENOSYS;
  return -1;
#endif
}

class LinuxProcessTable : public ProcessTable {
 public:
  ~LinuxProcessTable() override { Release(); }

  void Select(const ProcessSelector& select) override {
    Release();
    const pid_t self = getpid();
    DIR* proc = opendir("/proc");
    if (proc == nullptr) return;
    while (const dirent* entry = readdir(proc)) {
      pid_t pid = 0;
      if (!ParsePid(entry->d_name, &pid)) continue;
      int pidfd = -1;
      if (pid != self) {
        pidfd = OpenPidfd(pid);
        if (pidfd < 0 && errno == ESRCH) continue;  // gone already
      }
      ProcessFacts facts = FactsOf(std::string("/proc/") + entry->d_name);
      facts.self = pid == self;
      if (select(facts)) {
        held_.push_back({pid, pidfd});
      } else if (pidfd >= 0) {
        close(pidfd);
      }
    }
    closedir(proc);
  }

  void AskToEnd() override {
    for (const Held& process : held_) Signal(process, SIGTERM);
  }

  bool AllEnded() override {
    for (const Held& process : held_) {
      if (!Ended(process)) return false;
    }
    return true;
  }

  void ForceEnd() override {
    for (const Held& process : held_) {
      if (!Ended(process)) Signal(process, SIGKILL);
    }
  }

  void Sleep(std::chrono::milliseconds duration) override { std::this_thread::sleep_for(duration); }

 private:
  struct Held {
    pid_t pid;
    int pidfd;  // -1 without pidfd support
  };

  static void Signal(const Held& process, int signal) {
#ifdef SYS_pidfd_send_signal
    if (process.pidfd >= 0) {
      syscall(SYS_pidfd_send_signal, process.pidfd, signal, nullptr, 0);
      return;
    }
#endif
    kill(process.pid, signal);
  }

  // A process that has ended but was not yet reaped by its parent counts as ended.
  static bool Ended(const Held& process) {
    if (process.pidfd >= 0) {
      pollfd p{process.pidfd, POLLIN, 0};
      return poll(&p, 1, 0) > 0;
    }
    if (kill(process.pid, 0) != 0 && errno == ESRCH) return true;
    const std::string stat = ReadProcFile("/proc/" + std::to_string(process.pid) + "/stat", 512);
    const size_t close_paren = stat.rfind(')');
    return close_paren == std::string::npos ||
           (close_paren + 2 < stat.size() && stat[close_paren + 2] == 'Z');
  }

  void Release() {
    for (const Held& process : held_) {
      if (process.pidfd >= 0) close(process.pidfd);
    }
    held_.clear();
  }

  std::vector<Held> held_;
};

}  // namespace

std::unique_ptr<ProcessTable> SystemProcessTable() { return std::make_unique<LinuxProcessTable>(); }

void EndThisProcess() { _exit(0); }

}  // namespace kam
