#include "player/startup/connectivity_probe.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <cstdint>

#include "common/http_download.h"

namespace kam {
namespace {

bool HasHttpScheme(const std::string& url) {
  std::string head = url.substr(0, 8);
  std::transform(head.begin(), head.end(), head.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return head.rfind("http://", 0) == 0 || head.rfind("https://", 0) == 0;
}

}  // namespace

bool ProbeConnection(const std::string& url, std::chrono::milliseconds timeout) {
  if (!HasHttpScheme(url)) return false;
  EnsureCurlInitialized();
  CURL* curl = curl_easy_init();
  if (curl == nullptr) return false;
  const long timeout_ms = static_cast<long>(std::max<std::int64_t>(timeout.count(), 1));
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
#if LIBCURL_VERSION_NUM >= 0x075500
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
#else
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS, CURLPROTO_HTTP | CURLPROTO_HTTPS);
#endif
  curl_easy_setopt(curl, CURLOPT_CONNECT_ONLY, 1L);
  curl_easy_setopt(curl, CURLOPT_PROXY, "");
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, timeout_ms);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, timeout_ms);
  const CURLcode code = curl_easy_perform(curl);
  curl_easy_cleanup(curl);
  return code == CURLE_OK;
}

}  // namespace kam
