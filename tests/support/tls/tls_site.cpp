#include "tests/support/tls/tls_site.h"

#include <httplib.h>

#include <chrono>
#include <utility>

namespace kam::testing {

class TlsSite::Server : public httplib::SSLServer {
 public:
  Server() : httplib::SSLServer(KAM_TEST_TLS_CERT, KAM_TEST_TLS_KEY) {}
};

TlsSite::TlsSite(std::filesystem::path root) : server_(std::make_unique<Server>()) {
  if (!server_->is_valid()) return;
  server_->set_mount_point("/", root.string());
  server_->set_pre_routing_handler([this](const httplib::Request& req, httplib::Response& res) {
    std::lock_guard lock(mutex_);
    const auto it = redirects_.find(req.path);
    if (it == redirects_.end()) return httplib::Server::HandlerResponse::Unhandled;
    res.set_redirect(it->second, 302);
    return httplib::Server::HandlerResponse::Handled;
  });
  port_ = server_->bind_to_any_port("127.0.0.1");
  if (port_ <= 0) return;
  // The socket listens already: connections wait until the thread accepts them.
  thread_ = std::thread([this] { server_->listen_after_bind(); });
}

TlsSite::~TlsSite() {
  // A stop before the accept loop runs would be missed, and the join would wait for ever.
  for (int i = 0; i < 500 && thread_.joinable() && !server_->is_running(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  server_->stop();
  if (thread_.joinable()) thread_.join();
}

std::string TlsSite::Url(std::string_view path) const {
  return "https://127.0.0.1:" + std::to_string(port_) + std::string(path);
}

void TlsSite::Redirect(const std::string& path, const std::string& to) {
  std::lock_guard lock(mutex_);
  redirects_[path] = to;
}

std::filesystem::path TlsSite::CaFile() { return KAM_TEST_TLS_CERT; }

}  // namespace kam::testing
