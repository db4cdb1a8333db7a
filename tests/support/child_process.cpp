#ifndef _WIN32

#include "tests/support/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <random>
#include <thread>

extern char** environ;

namespace kam::testing {
namespace {

using Clock = std::chrono::steady_clock;

int RemainingMs(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

}  // namespace

ChildProcess::ChildProcess(const std::filesystem::path& program,
                           const std::vector<std::string>& arguments, std::string_view argv0) {
  int in_pipe[2];
  int out_pipe[2];
  if (pipe2(in_pipe, O_CLOEXEC) != 0) return;
  if (pipe2(out_pipe, O_CLOEXEC) != 0) {
    close(in_pipe[0]);
    close(in_pipe[1]);
    return;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in_pipe[0], 0);
  posix_spawn_file_actions_adddup2(&actions, out_pipe[1], 1);

  const std::string path = program.string();
  const std::string first = argv0.empty() ? path : std::string(argv0);
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(first.c_str()));
  for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);

  pid_t pid = -1;
  if (posix_spawn(&pid, path.c_str(), &actions, nullptr, argv.data(), environ) == 0) pid_ = pid;
  posix_spawn_file_actions_destroy(&actions);
  close(in_pipe[0]);
  close(out_pipe[1]);
  in_ = in_pipe[1];
  out_ = out_pipe[0];
}

ChildProcess::~ChildProcess() {
  if (pid_ > 0 && !status_) {
    kill(pid_, SIGKILL);
    int status;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
  }
  if (in_ >= 0) close(in_);
  if (out_ >= 0) close(out_);
}

std::optional<std::string> ChildProcess::ReadLine(std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  while (true) {
    const size_t newline = buffered_.find('\n');
    if (newline != std::string::npos) {
      std::string line = buffered_.substr(0, newline);
      buffered_.erase(0, newline + 1);
      return line;
    }
    if (out_ < 0) return std::nullopt;
    pollfd p{out_, POLLIN, 0};
    const int ready = poll(&p, 1, RemainingMs(deadline));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return std::nullopt;
    char chunk[512];
    const ssize_t n = read(out_, chunk, sizeof chunk);
    if (n <= 0) {
      close(out_);
      out_ = -1;
      continue;
    }
    buffered_.append(chunk, static_cast<size_t>(n));
  }
}

std::string ChildProcess::ReadRest(std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  while (out_ >= 0) {
    pollfd p{out_, POLLIN, 0};
    const int ready = poll(&p, 1, RemainingMs(deadline));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) break;
    char chunk[512];
    const ssize_t n = read(out_, chunk, sizeof chunk);
    if (n <= 0) {
      close(out_);
      out_ = -1;
      break;
    }
    buffered_.append(chunk, static_cast<size_t>(n));
  }
  std::string rest;
  rest.swap(buffered_);
  return rest;
}

bool ChildProcess::WriteLine(std::string_view line) {
  if (in_ < 0) return false;
  std::string text(line);
  text += '\n';
  // The child may be gone; a broken pipe must not end the test.
  struct sigaction ignore {};
  struct sigaction old {};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGPIPE, &ignore, &old);
  const ssize_t n = write(in_, text.data(), text.size());
  sigaction(SIGPIPE, &old, nullptr);
  return n == static_cast<ssize_t>(text.size());
}

void ChildProcess::CloseInput() {
  if (in_ >= 0) close(in_);
  in_ = -1;
}

std::optional<int> ChildProcess::Wait(std::chrono::milliseconds timeout) {
  if (status_ || pid_ <= 0) return status_;
  const auto deadline = Clock::now() + timeout;
  while (true) {
    int status = 0;
    const pid_t done = waitpid(pid_, &status, WNOHANG);
    if (done == pid_) {
      status_ = status;
      return status_;
    }
    if (done < 0 && errno != EINTR) return std::nullopt;
    if (Clock::now() >= deadline) return std::nullopt;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

std::filesystem::path ProcessProbePath() { return KAM_PROCESS_PROBE_BIN; }

std::filesystem::path CopyProbeAs(const std::filesystem::path& dir, std::string_view name) {
  const std::filesystem::path target = dir / std::string(name);
  std::filesystem::copy_file(ProcessProbePath(), target,
                             std::filesystem::copy_options::overwrite_existing);
  std::filesystem::permissions(target, std::filesystem::perms::owner_all);
  return target;
}

std::string UniqueProcessName(std::string_view stem) {
  static std::mt19937 random(std::random_device{}());
  static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz";
  std::string name(stem);
  name += std::to_string(getpid());
  for (int i = 0; i < 3; ++i) name += kLetters[random() % 26];
  return name;
}

bool KilledBySigkill(int status) { return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL; }

bool ExitedWith(int status, int code) { return WIFEXITED(status) && WEXITSTATUS(status) == code; }

}  // namespace kam::testing

#endif  // _WIN32
