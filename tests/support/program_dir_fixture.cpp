#ifndef _WIN32

#include "tests/support/program_dir_fixture.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

#include "build_config.h"
#include "common/atomic_file.h"
#include "common/code_page.h"
#include "common/program_dir.h"
#include "tests/support/demo_server.h"
#include "tests/support/json.h"
#include "tests/support/x_window.h"

extern char** environ;

namespace kam::testing {
namespace {

using Clock = std::chrono::steady_clock;

// The output of a short command (bounded by `timeout` in the command itself).
std::string Capture(const std::string& command) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return out;
  char buf[512];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, pipe)) > 0) out.append(buf, n);
  pclose(pipe);
  return out;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty()) lines.push_back(line);
  }
  return lines;
}

}  // namespace

ProgramDirCopy::ProgramDirCopy() {
  std::error_code ec;
  std::filesystem::copy(
      kam::build::kProgDir, dir_.path(),
      std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing,
      ec);
  ok_ = !ec && std::filesystem::exists(dir_.path() / "kamplayer");
}

std::filesystem::path ProgramDirCopy::File(std::string_view backslash_name) const {
  return ProgramFile(dir_.path(), backslash_name);
}

std::filesystem::path ProgramDirCopy::Write(std::string_view backslash_name,
                                            std::string_view bytes) const {
  const auto file = File(backslash_name);
  std::filesystem::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
  return file;
}

std::filesystem::path ProgramDirCopy::WriteScript(std::string_view backslash_name,
                                                  std::string_view body) const {
  const auto file = Write(backslash_name, body);
  std::filesystem::permissions(file, std::filesystem::perms::owner_all |
                                         std::filesystem::perms::group_read |
                                         std::filesystem::perms::group_exec);
  return file;
}

std::optional<std::string> ProgramDirCopy::Read(std::string_view backslash_name) const {
  return ReadFileBytes(File(backslash_name));
}

void ProgramDirCopy::Remove(std::string_view backslash_name) const {
  std::error_code ec;
  std::filesystem::remove(File(backslash_name), ec);
}

ProgramRun::ProgramRun(const std::filesystem::path& program,
                       const std::vector<std::string>& arguments,
                       const std::vector<std::string>& env, const std::filesystem::path& log) {
  std::map<std::string, std::string> vars;
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string entry(*e);
    vars[entry.substr(0, entry.find('='))] = entry;
  }
  for (const std::string& entry : env) vars[entry.substr(0, entry.find('='))] = entry;
  std::vector<std::string> env_entries;
  for (auto& [name, entry] : vars) env_entries.push_back(entry);
  std::vector<char*> envp;
  for (std::string& entry : env_entries) envp.push_back(entry.data());
  envp.push_back(nullptr);

  const std::string path = program.string();
  std::vector<std::string> args = {path};
  args.insert(args.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);

  const std::string log_path = log.empty() ? "/dev/null" : log.string();
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, log_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  // A group of its own, so that the engine's helper processes end with it.
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP);
  posix_spawnattr_setpgroup(&attr, 0);
  pid_t pid = -1;
  if (posix_spawn(&pid, path.c_str(), &actions, &attr, argv.data(), envp.data()) == 0) pid_ = pid;
  posix_spawnattr_destroy(&attr);
  posix_spawn_file_actions_destroy(&actions);
}

ProgramRun::~ProgramRun() {
  if (pid_ <= 0) return;
  kill(-pid_, SIGKILL);
  if (!status_) {
    int status;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
  }
}

std::optional<int> ProgramRun::Wait(std::chrono::milliseconds timeout) {
  if (status_ || pid_ <= 0) return status_;
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    int status = 0;
    const pid_t done = waitpid(pid_, &status, WNOHANG);
    if (done == pid_) {
      status_ = status;
      return status_;
    }
    if (done < 0 && errno != EINTR) return std::nullopt;
    if (Clock::now() >= deadline) return std::nullopt;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

bool ProgramRun::Running() { return started() && !Wait(std::chrono::milliseconds(0)); }

void ProgramRun::Stop(std::chrono::milliseconds grace) {
  if (pid_ <= 0 || status_) return;
  kill(-pid_, SIGTERM);
  if (Wait(grace)) return;
  kill(-pid_, SIGKILL);
  Wait(std::chrono::milliseconds(5000));
}

std::vector<PageTarget> DevToolsPages(int port) {
  std::vector<PageTarget> pages;
  const auto reply = HttpGet("http://127.0.0.1:" + std::to_string(port) + "/json/list", 2000);
  if (!reply || reply->status != 200) return pages;
  const auto list = Json::Parse(reply->body);
  if (!list) return pages;
  for (const Json& o : list->array) {
    if (o.type != Json::Type::kObject) continue;
    pages.push_back(PageTarget{o["type"].string, o["url"].string, o["title"].string});
  }
  return pages;
}

std::optional<PageTarget> WaitForPage(int port, const std::function<bool(const PageTarget&)>& match,
                                      std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    for (const PageTarget& p : DevToolsPages(port)) {
      if (match(p)) return p;
    }
    if (Clock::now() >= deadline) return std::nullopt;
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }
}

int FreeLoopbackPort() {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0) return -1;
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = 0;
  socklen_t len = sizeof addr;
  int port = -1;
  if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
      getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) == 0) {
    port = ntohs(addr.sin_port);
  }
  close(fd);
  return port;
}

std::string RemoteDebuggingEnv(int port) {
  return "QTWEBENGINE_REMOTE_DEBUGGING=127.0.0.1:" + std::to_string(port);
}

TrayHost::TrayHost() {
  run_ = std::make_unique<ProgramRun>(
      "/usr/bin/trayer",
      std::vector<std::string>{"--edge", "top", "--align", "right", "--widthtype", "pixel",
                               "--width", "120", "--heighttype", "pixel", "--height", "24",
                               "--transparent", "false", "--SetDockType", "true"});
  if (!run_->started()) return;
  // The tray exists once trayer's window is on the display.
  shown_ = WaitUntil(
      [&] {
        return !Lines(Capture("timeout 5 xdotool search --class trayer 2>/dev/null")).empty();
      },
      std::chrono::milliseconds(5000));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
}

TrayHost::~TrayHost() { run_.reset(); }

std::filesystem::path TestOutputDir() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name =
      info == nullptr ? "unknown" : std::string(info->test_suite_name()) + "." + info->name();
  for (char& c : name) {
    if (c == '/') c = '_';
  }
  const auto dir = std::filesystem::path(kam::build::kBuildDir) / "test-output" / name;
  std::filesystem::create_directories(dir);
  return dir;
}

std::optional<std::filesystem::path> SaveScreenshot(std::string_view name) {
  const auto file = TestOutputDir() / (std::string(name) + ".png");
  const std::string cmd =
      "timeout 20 import -window root " + ShellQuote(file.string()) + " >/dev/null 2>&1";
  if (std::system(cmd.c_str()) != 0 || !std::filesystem::exists(file)) return std::nullopt;
  return file;
}

std::vector<std::string> VisibleWindowsNamed(std::string_view title) {
  std::string pattern = "^";
  for (char c : title) {
    if (std::string_view(".[]()*+?^$|\\{}").find(c) != std::string_view::npos) pattern += '\\';
    pattern += c;
  }
  pattern += "$";
  return Lines(Capture("timeout 5 xdotool search --onlyvisible --name " + ShellQuote(pattern) +
                       " 2>/dev/null"));
}

std::vector<std::string> VisibleWindowsOf(pid_t pid) {
  return Lines(Capture("timeout 5 xdotool search --onlyvisible --pid " + std::to_string(pid) +
                       " 2>/dev/null"));
}

std::optional<std::pair<int, int>> WindowSize(const std::string& window) {
  const std::string out =
      Capture("timeout 5 xdotool getwindowgeometry " + ShellQuote(window) + " 2>/dev/null");
  const auto at = out.find("Geometry: ");
  int width = 0, height = 0;
  if (at == std::string::npos ||
      std::sscanf(out.c_str() + at, "Geometry: %dx%d", &width, &height) != 2) {
    return std::nullopt;
  }
  return std::make_pair(width, height);
}

std::vector<std::pair<int, int>> VisibleWindowSizesOf(pid_t pid) {
  std::vector<std::pair<int, int>> sizes;
  for (const std::string& w : VisibleWindowsOf(pid)) {
    if (const auto size = WindowSize(w)) sizes.push_back(*size);
  }
  return sizes;
}

std::optional<std::string> WaitForTrayIcon(pid_t pid, std::chrono::milliseconds timeout) {
  std::optional<std::string> found;
  WaitUntil(
      [&] {
        for (const std::string& w : VisibleWindowsOf(pid)) {
          const auto size = WindowSize(w);
          if (size && size->first <= 64 && size->second <= 64) {
            found = w;
            return true;
          }
        }
        return false;
      },
      timeout);
  return found;
}

void ClickWindow(const std::string& window, int button, int x, int y) {
  const std::string cmd = "timeout 5 xdotool mousemove --window " + ShellQuote(window) + " " +
                          std::to_string(x) + " " + std::to_string(y) + " click " +
                          std::to_string(button) + " >/dev/null 2>&1";
  [[maybe_unused]] const int rc = std::system(cmd.c_str());
}

bool WaitUntil(const std::function<bool()>& cond, std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    if (cond()) return true;
    if (Clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

PlayerE2E::PlayerE2E() {
  DemoServer::CopyDefaultSite(site_.path());
  WriteSiteSettings(Settings());
  devtools_ = FreeLoopbackPort();
}

std::string PlayerE2E::Settings(std::string_view ver) {
  const std::string text =
      "[kampeizhi]\r\nwangzhan=http://127.0.0.1:" + std::to_string(kam::build::kDemoPort) +
      "\r\nname=" + kCaption +
      "\r\n[tui]\r\ntui=2\r\n[loading]\r\nloading=1\r\nloadingtime=10\r\n"
      "[ver]\r\nver=" +
      std::string(ver) + "\r\n";
  return Utf8ToGbk(text);
}

void PlayerE2E::WriteSiteSettings(std::string_view gbk_text) {
  for (const char* rel : {"upload/my2.txt", "kam/kam.txt"}) {
    const auto file = site_.path() / rel;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary | std::ios::trunc) << gbk_text;
  }
}

bool PlayerE2E::StartServer(bool real_installer) {
  std::vector<std::string> args;
  if (real_installer) {
    args = {
        "--installer",
        (std::filesystem::path(kam::build::kBuildDir) / "installer" / "sela_pid_uid.exe").string()};
  }
  server_ = std::make_unique<DemoServer>(-1, site_.path(), args);
  if (!server_->ok()) ADD_FAILURE() << server_->error();
  return server_->ok();
}

std::unique_ptr<ProgramRun> PlayerE2E::RunPlayer(const std::vector<std::string>& arguments,
                                                 std::string_view log_name) {
  if (!tray_.ok()) ADD_FAILURE() << "no tray host: trayer showed no window on the display";
  return std::make_unique<ProgramRun>(
      prog_.path() / "kamplayer", arguments,
      std::vector<std::string>{RemoteDebuggingEnv(devtools_), UserDataEnv(), bus_.Env()},
      TestOutputDir() / std::string(log_name));
}

}  // namespace kam::testing

#endif  // _WIN32
