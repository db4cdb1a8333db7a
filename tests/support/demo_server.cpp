#include "tests/support/demo_server.h"

#include <curl/curl.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

#include "build_config.h"
#include "common/http_download.h"

extern char** environ;

namespace kam::testing {
namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kStartLimit = std::chrono::seconds(10);

std::size_t AppendBody(char* data, std::size_t size, std::size_t count, void* out) {
  static_cast<std::string*>(out)->append(data, size * count);
  return size * count;
}

// Reads the server's first stdout line ("... on http://127.0.0.1:PORT/") within the deadline.
std::optional<std::string> ReadFirstLine(int fd, Clock::time_point deadline) {
  std::string line;
  while (Clock::now() < deadline) {
    pollfd ready{fd, POLLIN, 0};
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (poll(&ready, 1, static_cast<int>(std::max<long long>(left, 1))) <= 0) continue;
    char c = 0;
    const ssize_t got = read(fd, &c, 1);
    if (got <= 0) return std::nullopt;  // the server ended before it said where it listens
    if (c == '\n') return line;
    line.push_back(c);
  }
  return std::nullopt;
}

int PortOf(const std::string& line) {
  const std::string marker = "http://127.0.0.1:";
  const auto at = line.find(marker);
  if (at == std::string::npos) return -1;
  int port = 0;
  for (std::size_t i = at + marker.size(); i < line.size() && line[i] >= '0' && line[i] <= '9';
       ++i) {
    port = port * 10 + (line[i] - '0');
  }
  return port > 0 ? port : -1;
}

std::string EscapeQuery(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : text) {
    if (std::isalnum(c) || c == '/' || c == '-' || c == '_' || c == '.' || c == '~') {
      out.push_back(static_cast<char>(c));
    } else {
      out.push_back('%');
      out.push_back(kHex[c >> 4]);
      out.push_back(kHex[c & 15]);
    }
  }
  return out;
}

}  // namespace

std::optional<HttpReply> HttpGet(const std::string& url, long timeout_ms) {
  kam::EnsureCurlInitialized();
  CURL* curl = curl_easy_init();
  if (curl == nullptr) return std::nullopt;
  HttpReply reply;
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, timeout_ms);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &AppendBody);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &reply.body);
  const CURLcode code = curl_easy_perform(curl);
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &reply.status);
  const char* content_type = nullptr;
  curl_easy_getinfo(curl, CURLINFO_CONTENT_TYPE, &content_type);
  if (content_type != nullptr) reply.content_type = content_type;
  curl_easy_cleanup(curl);
  if (code != CURLE_OK) return std::nullopt;
  return reply;
}

DemoServer::DemoServer(int port, std::filesystem::path root, std::vector<std::string> extra_args)
    : root_(std::move(root)) {
  Start(port < 0 ? kam::build::kDemoPort : port, std::move(extra_args));
  if (!ok()) Stop();
}

DemoServer::~DemoServer() { Stop(); }

void DemoServer::Start(int port, std::vector<std::string> extra_args) {
  int pipe_fds[2];
  if (pipe2(pipe_fds, O_CLOEXEC) != 0) {
    error_ = "pipe failed";
    return;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipe_fds[1], STDOUT_FILENO);

  const std::string binary = KAM_DEMO_SERVER_BIN;
  std::vector<std::string> args = {binary, "--port", std::to_string(port), "--root",
                                   root_.string()};
  args.insert(args.end(), extra_args.begin(), extra_args.end());
  // Tests get the site's stand-in installer, and settings texts as their files hold them, unless
  // they ask for an installer.
  if (std::find(extra_args.begin(), extra_args.end(), "--installer") == extra_args.end()) {
    args.insert(args.end(), {"--installer", "none"});
  }
  std::vector<char*> argv;
  for (auto& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  const int spawned = posix_spawn(&pid_, binary.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(pipe_fds[1]);
  if (spawned != 0) {
    pid_ = -1;
    close(pipe_fds[0]);
    error_ = "cannot start " + binary;
    return;
  }

  const auto deadline = Clock::now() + kStartLimit;
  const auto line = ReadFirstLine(pipe_fds[0], deadline);
  close(pipe_fds[0]);
  const int bound = line ? PortOf(*line) : -1;
  if (bound <= 0) {
    error_ = "the server did not start on port " + std::to_string(port);
    return;
  }
  // It listens once it has printed its address; wait until requests are really served.
  const std::string probe = "http://127.0.0.1:" + std::to_string(bound) + "/__control";
  while (Clock::now() < deadline) {
    if (HttpGet(probe, 1000)) {
      port_ = bound;
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  error_ = "the server on port " + std::to_string(bound) + " does not answer";
}

std::optional<int> DemoServer::Stop() {
  if (pid_ <= 0) return std::nullopt;
  kill(pid_, SIGTERM);
  const auto deadline = Clock::now() + std::chrono::seconds(5);
  int status = 0;
  std::optional<int> result;
  while (true) {
    const pid_t done = waitpid(pid_, &status, WNOHANG);
    if (done == pid_) {
      if (WIFEXITED(status)) result = WEXITSTATUS(status);
      break;
    }
    if (done < 0) break;
    if (Clock::now() >= deadline) {
      kill(pid_, SIGKILL);
      waitpid(pid_, &status, 0);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  pid_ = -1;
  port_ = -1;
  return result;
}

std::string DemoServer::BaseUrl() const { return "http://127.0.0.1:" + std::to_string(port_); }

std::string DemoServer::Url(std::string_view path) const { return BaseUrl() + std::string(path); }

bool DemoServer::Misbehave(std::string_view path, std::string_view mode, std::string_view params) {
  std::string url = Url("/__control?path=") + EscapeQuery(path) + "&mode=" + EscapeQuery(mode);
  if (!params.empty()) url += "&" + std::string(params);
  const auto reply = HttpGet(url);
  return reply && reply->status == 200;
}

bool DemoServer::Behave(std::string_view path) { return Misbehave(path, "normal"); }

bool DemoServer::BehaveAll() {
  const auto reply = HttpGet(Url("/__control?clear=all"));
  return reply && reply->status == 200;
}

std::filesystem::path DemoServer::DefaultSiteRoot() {
  return std::filesystem::path(kam::build::kSourceDir) / "demo" / "site";
}

bool DemoServer::CopyDefaultSite(const std::filesystem::path& folder) {
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  std::filesystem::copy(
      DefaultSiteRoot(), folder,
      std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing,
      ec);
  return !ec;
}

}  // namespace kam::testing
