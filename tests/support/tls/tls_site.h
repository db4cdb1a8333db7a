// An https site on 127.0.0.1 inside the test's process, with a certificate made at build time
// for loopback: files from a folder, and redirects the test sets. Clients trust it through
// TlsSite::CaFile().
//
//   kam::testing::TlsSite site(folder);
//   site.Redirect("/a.exe", "http://127.0.0.1:PORT/a.exe");
//   ... site.Url("/a.exe") ...
#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

namespace kam::testing {

class TlsSite {
 public:
  explicit TlsSite(std::filesystem::path root);
  ~TlsSite();
  TlsSite(const TlsSite&) = delete;
  TlsSite& operator=(const TlsSite&) = delete;

  bool ok() const { return port_ > 0; }
  int port() const { return port_; }
  // "https://127.0.0.1:PORT" followed by path.
  std::string Url(std::string_view path) const;
  // From now on path answers 302 to to.
  void Redirect(const std::string& path, const std::string& to);

  // The site's certificate, to trust as the only authority.
  static std::filesystem::path CaFile();

 private:
  class Server;
  std::unique_ptr<Server> server_;
  std::mutex mutex_;
  std::map<std::string, std::string> redirects_;
  int port_ = -1;
  std::thread thread_;
};

}  // namespace kam::testing
