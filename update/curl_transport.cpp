#include "update/curl_transport.h"

#include "common/http_download.h"

namespace kam::update {

std::string HostOfUrl(const std::string& url) {
  std::size_t scheme_end = url.find("://");
  if (scheme_end == std::string::npos) return url;
  std::size_t start = scheme_end + 3;
  std::size_t end = url.find_first_of("/?#", start);
  std::string authority = url.substr(start, end == std::string::npos ? end : end - start);
  std::size_t at = authority.rfind('@');
  if (at != std::string::npos) authority.erase(0, at + 1);
  if (!authority.empty() && authority.front() == '[') {
    std::size_t close = authority.find(']');
    return authority.substr(1, close == std::string::npos ? close : close - 1);
  }
  return authority.substr(0, authority.find(':'));
}

bool CurlTransport::Transfer(const std::string& url, const std::filesystem::path& destination,
                             const TransferOptions& transfer,
                             const std::function<bool(const ProgressNotification&)>& notify) {
  const std::string host = HostOfUrl(url);
  bool found = false;
  bool headers = false;
  std::int64_t total = 0;
  std::int64_t received = 0;

  auto send = [&](BindStatus status, const std::string& text) {
    return notify(ProgressNotification{received, total, status, text});
  };
  // Until the reply's headers arrive: finding the resource once, then connecting.
  auto before_headers = [&] {
    if (!found) {
      found = true;
      return send(BindStatus::kFindingResource, host);
    }
    return send(BindStatus::kConnecting, host);
  };

  const auto too_large = [&](std::int64_t bytes) {
    return transfer.max_bytes > 0 && bytes > transfer.max_bytes;
  };
  std::int64_t body_bytes = 0;

  HttpDownloadCallbacks callbacks;
  callbacks.on_headers = [&](long, std::int64_t content_length) {
    // Refused before a file is made for it.
    if (too_large(content_length)) return false;
    if (!found && !before_headers()) return false;
    headers = true;
    total = content_length > 0 ? content_length : 0;
    return send(BindStatus::kBeginDownloadData, url);
  };
  callbacks.on_chunk = [&](std::int64_t now) {
    received = now;
    return send(BindStatus::kDownloadingData, url);
  };
  callbacks.on_progress = [&](std::int64_t now, std::int64_t) {
    if (!headers) return before_headers();
    received = now;
    return send(BindStatus::kDownloadingData, url);
  };

  // A body longer than it said, or than it may be, is cut off before the piece too many is
  // written.
  callbacks.on_body = [&](std::string_view bytes) {
    body_bytes += static_cast<std::int64_t>(bytes.size());
    if (too_large(body_bytes)) return false;
    if (transfer.on_body) transfer.on_body(bytes);
    return true;
  };

  HttpDownloadOptions options;
  // The window gets its turn from these notifications: well within 100 ms even while the
  // server is silent.
  options.progress_interval = std::chrono::milliseconds(50);
  options.ca_file = ca_file_;
  options.total_timeout = transfer.time_limit;
  HttpDownloadResult result = HttpDownloadToFile(url, destination, options, callbacks);
  if (result != HttpDownloadResult::kOk) return false;
  if (total == 0) total = received;
  return send(BindStatus::kEndDownloadData, url);
}

}  // namespace kam::update
