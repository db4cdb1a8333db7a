// The real demo server (kam_demo_server) as a child process of a test, on 127.0.0.1.
//
//   kam::testing::DemoServer server;                       // the default port, the source site
//   kam::testing::DemoServer server(DemoServer::kAnyPort);  // a free port: tests run in parallel
//   server.Misbehave("/upload/my2.txt", "stall", "ms=500");
//   ... server.Url("/upload/my2.txt") ...
//
// Tests on the default port must not run at the same time as others on it: give them a LOCK in
// kam_add_tests, which runs each in a network namespace of its own (or one at a time).
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kam::testing {

class DemoServer {
 public:
  static constexpr int kAnyPort = 0;

  // Starts the server and waits (at most about 10 s) until it answers. port -1 means the
  // build's default demo port. Check ok() before use; error() says what went wrong.
  // extra_args go to the server's command line (for example {"--misbehave", "/a=404"}). Without
  // an "--installer" among them the site serves its stand-in installer.
  explicit DemoServer(int port = -1, std::filesystem::path root = DefaultSiteRoot(),
                      std::vector<std::string> extra_args = {});
  // Stops the server (SIGTERM, then SIGKILL after a few seconds) and reaps it.
  ~DemoServer();
  DemoServer(const DemoServer&) = delete;
  DemoServer& operator=(const DemoServer&) = delete;

  bool ok() const { return port_ > 0; }
  const std::string& error() const { return error_; }
  int port() const { return port_; }
  pid_t pid() const { return pid_; }
  const std::filesystem::path& root() const { return root_; }

  // "http://127.0.0.1:PORT", without a trailing slash (the form of a site base address).
  std::string BaseUrl() const;
  // BaseUrl() + path; path starts with "/".
  std::string Url(std::string_view path) const;

  // Makes path misbehave: mode and parameters as the server's /__control takes them, for
  // example Misbehave("/a.txt", "stall", "ms=500&after=100"). True when the server agreed.
  bool Misbehave(std::string_view path, std::string_view mode, std::string_view params = {});
  bool Behave(std::string_view path);
  bool BehaveAll();

  // Ends the server now (SIGTERM) and waits for it; the exit status, or nothing when it had to
  // be killed or was not running.
  std::optional<int> Stop();

  // The demo site in the source tree.
  static std::filesystem::path DefaultSiteRoot();
  // Copies the source site into folder (created when missing), for tests that change files.
  static bool CopyDefaultSite(const std::filesystem::path& folder);

 private:
  void Start(int port, std::vector<std::string> extra_args);

  std::filesystem::path root_;
  pid_t pid_ = -1;
  int port_ = -1;
  std::string error_;
};

// A GET on loopback for test set-up and checks: the status and the body, or nothing when no
// reply came within timeout_ms.
struct HttpReply {
  long status = 0;
  std::string content_type;
  std::string body;
};
std::optional<HttpReply> HttpGet(const std::string& url, long timeout_ms = 5000);

}  // namespace kam::testing
