// The updater's URL-to-file transfer on the shared libcurl download core, reporting
// bind-status-like notifications: finding resource, connecting, begin, downloading (per written
// chunk and every 50 ms while the server is silent), end. Only http:// and https:// addresses are
// fetched; the target is replaced only by a complete 2xx body (the core's guarantees). A body past
// the size limit, announced or not, and a transfer past the time limit fail like any other.
#pragma once

#include <utility>

#include "update/file_download.h"

namespace kam::update {

class CurlTransport : public BindingTransport {
 public:
  // ca_file: certificates to trust instead of the system's (a test's loopback site).
  explicit CurlTransport(std::filesystem::path ca_file = {}) : ca_file_(std::move(ca_file)) {}
  bool Transfer(const std::string& url, const std::filesystem::path& destination,
                const TransferOptions& options,
                const std::function<bool(const ProgressNotification&)>& notify) override;

 private:
  std::filesystem::path ca_file_;
};

// The host part of an http(s) address ("127.0.0.1" of "http://127.0.0.1:18731/a.exe"); the
// whole text when it has no "://".
std::string HostOfUrl(const std::string& url);

}  // namespace kam::update
