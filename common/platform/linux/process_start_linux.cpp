// Double fork: the intermediate child starts a new session, forks the program and ends at once;
// the caller reaps it right away, and the program, now an orphan, is reaped by init. Between
// fork and exec only async-signal-safe calls are made, since the caller may have threads.
// A pipe closed on exec tells the caller whether exec succeeded: it sees end-of-file when the
// program started, or the errno of the failed exec.
#include <fcntl.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "common/process_start.h"

#ifndef CLOSE_RANGE_CLOEXEC
#define CLOSE_RANGE_CLOEXEC (1U << 2)
#endif

namespace kam {
namespace {

[[noreturn]] void ExecProgram(const char* path, char* const* argv, int report_fd) {
  // Fresh signal state: the caller may block or ignore signals (SIGPIPE) the program expects.
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
  struct sigaction dfl {};
  dfl.sa_handler = SIG_DFL;
  for (int sig = 1; sig < NSIG; ++sig) sigaction(sig, &dfl, nullptr);
#ifdef SYS_close_range
  // Every descriptor beyond the standard ones closes on exec, whether or not its owner asked
  // for that (lock files, sockets of libraries).
  syscall(SYS_close_range, 3u, ~0u, CLOSE_RANGE_CLOEXEC);
#endif
  execv(path, argv);
  const int error = errno;
  ssize_t ignored = write(report_fd, &error, sizeof error);
  (void)ignored;
  _exit(127);
}

}  // namespace

bool StartProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments) {
  // Everything the children need is built before forking.
  const std::string path = program.string();
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(path.c_str()));
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);

  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) return false;

  const pid_t middle = fork();
  if (middle < 0) {
    close(report[0]);
    close(report[1]);
    return false;
  }
  if (middle == 0) {
    close(report[0]);
    setsid();
    const pid_t child = fork();
    if (child < 0) {
      const int error = errno;
      ssize_t ignored = write(report[1], &error, sizeof error);
      (void)ignored;
      _exit(1);
    }
    if (child == 0) ExecProgram(argv[0], argv.data(), report[1]);
    _exit(0);
  }

  close(report[1]);
  int status = 0;
  while (waitpid(middle, &status, 0) < 0 && errno == EINTR) {
  }
  // The write end is open in the program until its exec succeeds or fails.
  int error = 0;
  ssize_t got;
  do {
    got = read(report[0], &error, sizeof error);
  } while (got < 0 && errno == EINTR);
  close(report[0]);
  return got == 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace kam
