#include "common/http_download_options.h"

#include <algorithm>
#include <chrono>

#include "common/ascii_text.h"

namespace kam {

bool IsHttpAddress(std::string_view url) {
  return StartsWithIgnoringAsciiCase(url, "http://") ||
         StartsWithIgnoringAsciiCase(url, "https://");
}

HttpDownloadOptions WithFloors(HttpDownloadOptions options) {
  options.chunk_size = std::max<std::size_t>(options.chunk_size, 1);
  options.progress_interval = std::max(options.progress_interval, std::chrono::milliseconds(1));
  return options;
}

bool ApplyDownloadOptions(CURL* easy, const std::string& url, const HttpDownloadOptions& options) {
  if (curl_easy_setopt(easy, CURLOPT_URL, url.c_str()) != CURLE_OK) return false;
  // An https start may only be redirected to https; a plain start may go on to either, and
  // the transfer's request hook keeps it from falling back once it went over https.
  const bool secure = StartsWithIgnoringAsciiCase(url, "https://");
#if LIBCURL_VERSION_NUM >= 0x075500
  curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, secure ? "https" : "http,https");
#else
  curl_easy_setopt(easy, CURLOPT_PROTOCOLS, CURLPROTO_HTTP | CURLPROTO_HTTPS);
  curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS,
                   secure ? CURLPROTO_HTTPS : CURLPROTO_HTTP | CURLPROTO_HTTPS);
#endif
  if (!options.ca_file.empty()) {
    curl_easy_setopt(easy, CURLOPT_CAINFO, options.ca_file.string().c_str());
  }
  curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
  curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(easy, CURLOPT_MAXREDIRS, options.max_redirects);
  auto connect_timeout = options.connect_timeout;
  if (options.total_timeout.count() > 0) {
    connect_timeout = std::min(connect_timeout, options.total_timeout);
  }
  curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(connect_timeout.count()));
  // Reading in larger pieces than the chunks keeps the system calls few on fast links; the
  // callbacks still see every chunk boundary.
  curl_easy_setopt(
      easy, CURLOPT_BUFFERSIZE,
      static_cast<long>(std::clamp<std::size_t>(options.chunk_size, 65536, CURL_MAX_READ_SIZE)));
  return true;
}

}  // namespace kam
