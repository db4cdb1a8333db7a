#include "common/http_download.h"

#include <curl/curl.h>

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "common/ascii_text.h"
#include "common/atomic_file.h"
#include "common/http_download_options.h"
#include "common/http_download_reply.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace kam {
namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

// A file the platform would refuse to open for writing: the read-only attribute on Windows, no
// owner write permission here (checked by the bits, since root may write anything), or a folder.
bool IsWriteProtected(const fs::path& target) {
  std::error_code ec;
  const auto status = fs::status(target, ec);
  if (ec || !fs::exists(status)) return false;
  if (fs::is_directory(status)) return true;
  return (status.permissions() & fs::perms::owner_write) == fs::perms::none;
}

std::FILE* OpenForWriting(const fs::path& path) {
#ifdef _WIN32
  return _wfopen(path.c_str(), L"wb");
#else
  return std::fopen(path.c_str(), "wb");
#endif
}

class Transfer {
 public:
  Transfer(std::string_view url, const fs::path& target, const HttpDownloadOptions& options,
           const HttpDownloadCallbacks& callbacks)
      : url_(url), target_(target), options_(WithFloors(options)), callbacks_(callbacks) {}

  ~Transfer() {
    if (file_ != nullptr) std::fclose(file_);
    if (!temp_.empty() && !committed_) {
      std::error_code ec;
      fs::remove(temp_, ec);
    }
    if (multi_ != nullptr && easy_ != nullptr) curl_multi_remove_handle(multi_, easy_);
    if (easy_ != nullptr) curl_easy_cleanup(easy_);
    if (multi_ != nullptr) curl_multi_cleanup(multi_);
  }

  Transfer(const Transfer&) = delete;
  Transfer& operator=(const Transfer&) = delete;

  HttpDownloadResult Run() {
    if (!IsHttpAddress(url_)) return HttpDownloadResult::kBadUrl;
    EnsureCurlInitialized();
    easy_ = curl_easy_init();
    multi_ = curl_multi_init();
    if (easy_ == nullptr || multi_ == nullptr) return HttpDownloadResult::kTransferFailed;
    if (!Configure()) return HttpDownloadResult::kBadUrl;
    if (curl_multi_add_handle(multi_, easy_) != CURLM_OK) {
      return HttpDownloadResult::kTransferFailed;
    }
    return Finish(Drive());
  }

 private:
  // The caller's options, then this transfer's own hooks into libcurl.
  bool Configure() {
    if (!ApplyDownloadOptions(easy_, url_, options_)) return false;
#if LIBCURL_VERSION_NUM >= 0x075000
    curl_easy_setopt(easy_, CURLOPT_PREREQFUNCTION, &Transfer::OnRequest);
    curl_easy_setopt(easy_, CURLOPT_PREREQDATA, this);
#endif
    curl_easy_setopt(easy_, CURLOPT_HEADERFUNCTION, &Transfer::OnHeader);
    curl_easy_setopt(easy_, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(easy_, CURLOPT_WRITEFUNCTION, &Transfer::OnBody);
    curl_easy_setopt(easy_, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(easy_, CURLOPT_ERRORBUFFER, error_text_);
    return true;
  }

  // Runs the transfer to its end, giving on_progress its turns and watching for a stall.
  CURLcode Drive() {
    const auto start = Clock::now();
    last_activity_ = start;
    last_progress_ = start;
    bool connected = false;
    while (true) {
      int running = 0;
      if (curl_multi_perform(multi_, &running) != CURLM_OK) return CURLE_FAILED_INIT;
      if (running == 0) break;
      if (failure_) return CURLE_ABORTED_BY_CALLBACK;

      const auto now = Clock::now();
      if (!connected) {
        curl_off_t connect_us = 0;
        curl_easy_getinfo(easy_, CURLINFO_CONNECT_TIME_T, &connect_us);
        // Past the connect timeout libcurl would have given up, so it is connected.
        if (connect_us > 0 || saw_bytes_ || now - start >= options_.connect_timeout) {
          connected = true;
          last_activity_ = std::max(last_activity_, now);
        }
      }
      if (connected && now - last_activity_ >= options_.stall_timeout) {
        Fail(HttpDownloadResult::kTimedOut);
        return CURLE_OPERATION_TIMEDOUT;
      }
      const bool limited = options_.total_timeout.count() > 0;
      if (limited && now - start >= options_.total_timeout) {
        Fail(HttpDownloadResult::kTimedOut);
        return CURLE_OPERATION_TIMEDOUT;
      }
      if (now - last_progress_ >= options_.progress_interval) {
        if (!Progress()) return CURLE_ABORTED_BY_CALLBACK;
      }

      auto wait = options_.progress_interval - (Clock::now() - last_progress_);
      if (connected) wait = std::min(wait, options_.stall_timeout - (now - last_activity_));
      if (limited) wait = std::min(wait, options_.total_timeout - (now - start));
      const auto wait_ms = std::chrono::duration_cast<std::chrono::milliseconds>(wait).count();
      curl_multi_poll(multi_, nullptr, 0, static_cast<int>(std::clamp<long long>(wait_ms, 1, 1000)),
                      nullptr);
    }
    int queued = 0;
    while (CURLMsg* msg = curl_multi_info_read(multi_, &queued)) {
      if (msg->msg == CURLMSG_DONE && msg->easy_handle == easy_) return msg->data.result;
    }
    return CURLE_FAILED_INIT;
  }

  HttpDownloadResult Finish(CURLcode code) {
    if (failure_) return *failure_;
    // libcurl refuses a Content-Length that is not a number itself, before our header callback
    // sees the line; its message is the only trace of which header it was.
    if (code == CURLE_WEIRD_SERVER_REPLY && !accepted_ &&
        std::string_view(error_text_).find("Content-Length") != std::string_view::npos) {
      return HttpDownloadResult::kBadContentLength;
    }
    if (code == CURLE_UNSUPPORTED_PROTOCOL && went_secure_ && RedirectGoesToHttp()) {
      return HttpDownloadResult::kInsecureRedirect;
    }
    if (code != CURLE_OK) return MapCurlError(code);
    if (!accepted_) {
      // A reply with no header block at all (HTTP/0.9 style) never reached the header checks.
      curl_easy_getinfo(easy_, CURLINFO_RESPONSE_CODE, &status_);
      if (!AcceptFinalReply()) return *failure_;
    }
    if (received_ > reported_ && !ReportChunk(received_)) return *failure_;
    if (length_ >= 0 && received_ != length_) return HttpDownloadResult::kIncomplete;
    if (!Progress()) return *failure_;

    const bool closed_ok = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!closed_ok) return HttpDownloadResult::kCannotWrite;
    // Flushed and renamed so that a power cut leaves the former file or the whole new one.
    if (!CommitTemporaryFile(temp_, target_)) return HttpDownloadResult::kCannotWrite;
    committed_ = true;
#ifdef _WIN32
    if (options_.hidden) {
      const DWORD attributes = GetFileAttributesW(target_.c_str());
      if (attributes != INVALID_FILE_ATTRIBUTES) {
        SetFileAttributesW(target_.c_str(), attributes | FILE_ATTRIBUTE_HIDDEN);
      }
    }
#endif
    return HttpDownloadResult::kOk;
  }

  // libcurl refused to follow the last reply's Location itself: was it a plain http address?
  // (A relative one keeps the scheme.)
  bool RedirectGoesToHttp() const { return StartsWithIgnoringAsciiCase(location_, "http://"); }

  static HttpDownloadResult MapCurlError(CURLcode code) {
    switch (code) {
      case CURLE_UNSUPPORTED_PROTOCOL:
      case CURLE_URL_MALFORMAT:
        return HttpDownloadResult::kBadUrl;
      case CURLE_COULDNT_RESOLVE_PROXY:
      case CURLE_COULDNT_RESOLVE_HOST:
      case CURLE_COULDNT_CONNECT:
      case CURLE_OPERATION_TIMEDOUT:  // only the connect timeout is libcurl's
      case CURLE_SSL_CONNECT_ERROR:
      case CURLE_PEER_FAILED_VERIFICATION:
        return HttpDownloadResult::kConnectFailed;
      case CURLE_PARTIAL_FILE:
        return HttpDownloadResult::kIncomplete;
      case CURLE_WRITE_ERROR:
        return HttpDownloadResult::kCannotWrite;
      case CURLE_ABORTED_BY_CALLBACK:
        return HttpDownloadResult::kAborted;
      default:
        return HttpDownloadResult::kTransferFailed;
    }
  }

  bool Fail(HttpDownloadResult why) {
    if (!failure_) failure_ = why;
    return false;
  }

  bool Progress() {
    last_progress_ = Clock::now();
    if (!callbacks_.on_progress) return true;
    const std::int64_t total = accepted_ ? length_ : -1;
    if (!callbacks_.on_progress(received_, total)) return Fail(HttpDownloadResult::kAborted);
    return true;
  }

  // Before each request, redirects included, on its connection.
  static int OnRequest(void* self, char*, char*, int, int) {
    auto* transfer = static_cast<Transfer*>(self);
    return transfer->Request() ? CURL_PREREQFUNC_OK : CURL_PREREQFUNC_ABORT;
  }

  bool Request() {
    const char* url = nullptr;
    curl_easy_getinfo(easy_, CURLINFO_EFFECTIVE_URL, &url);
    const std::string_view current = url != nullptr ? url : "";
    if (StartsWithIgnoringAsciiCase(current, "https://")) {
      went_secure_ = true;
    } else if (went_secure_) {
      return Fail(HttpDownloadResult::kInsecureRedirect);
    }
    return true;
  }

  static std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* self) {
    auto* transfer = static_cast<Transfer*>(self);
    const std::size_t bytes = size * count;
    return transfer->HeaderLine(std::string_view(data, bytes)) ? bytes : 0;
  }

  static std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* self) {
    auto* transfer = static_cast<Transfer*>(self);
    const std::size_t bytes = size * count;
    return transfer->Body(data, bytes) ? bytes : 0;
  }

  // libcurl hands over one header line per call, for every reply on the way (1xx, redirects).
  bool HeaderLine(std::string_view line) {
    last_activity_ = Clock::now();
    saw_bytes_ = true;
    if (accepted_) return true;  // trailers of a chunked body
    const ReplyLine read = ReadReplyLine(line);
    switch (read.kind) {
      case ReplyLine::Kind::kStatus:
        status_ = read.status;
        length_ = -1;
        has_location_ = false;
        location_.clear();
        return true;
      case ReplyLine::Kind::kEnd:
        if (status_ >= 100 && status_ < 200) return true;  // an interim reply; the real one follows
        if (status_ >= 300 && status_ < 400 && has_location_) return true;  // followed by libcurl
        return AcceptFinalReply();
      case ReplyLine::Kind::kContentLength:
        length_ = read.content_length;
        return true;
      case ReplyLine::Kind::kLocation:
        location_ = read.location;
        has_location_ = !location_.empty();
        return true;
      case ReplyLine::Kind::kOther:
        return true;
    }
    return true;
  }

  // The final reply's headers are in: decide whether to take its body, then open the file.
  bool AcceptFinalReply() {
    accepted_ = true;
    if (status_ < 200 || status_ > 299) return Fail(HttpDownloadResult::kHttpError);
    if (options_.require_content_length && length_ <= 0) {
      return Fail(HttpDownloadResult::kBadContentLength);
    }
    if (TooLarge(length_)) return Fail(HttpDownloadResult::kTooLarge);
    if (callbacks_.on_headers && !callbacks_.on_headers(status_, length_)) {
      return Fail(HttpDownloadResult::kAborted);
    }
    if (IsWriteProtected(target_)) return Fail(HttpDownloadResult::kCannotWrite);
    temp_ = TemporaryPathBeside(target_);
    file_ = OpenForWriting(temp_);
    if (file_ == nullptr) {
      temp_.clear();
      return Fail(HttpDownloadResult::kCannotWrite);
    }
    // Each piece from libcurl is one write; a stream buffer would only copy it once more.
    std::setvbuf(file_, nullptr, _IONBF, 0);
    return true;
  }

  bool Body(const char* data, std::size_t bytes) {
    last_activity_ = Clock::now();
    saw_bytes_ = true;
    if (!accepted_) {
      curl_easy_getinfo(easy_, CURLINFO_RESPONSE_CODE, &status_);
      if (!AcceptFinalReply()) return false;
    }
    if (failure_) return false;
    if (TooLarge(received_ + static_cast<std::int64_t>(bytes))) {
      return Fail(HttpDownloadResult::kTooLarge);
    }
    if (callbacks_.on_body && !callbacks_.on_body(std::string_view(data, bytes))) {
      return Fail(HttpDownloadResult::kAborted);
    }
    // Whatever libcurl hands over goes to the file in one write; the chunk boundaries it
    // crossed are reported afterwards, in order.
    if (bytes > 0 && std::fwrite(data, 1, bytes, file_) != bytes) {
      return Fail(HttpDownloadResult::kCannotWrite);
    }
    received_ += static_cast<std::int64_t>(bytes);
    const auto chunk = static_cast<std::int64_t>(options_.chunk_size);
    while (received_ - reported_ >= chunk) {
      if (!ReportChunk(reported_ + chunk)) return false;
    }
    return true;
  }

  bool TooLarge(std::int64_t bytes) const {
    return options_.max_body_bytes > 0 && bytes > options_.max_body_bytes;
  }

  bool ReportChunk(std::int64_t upto) {
    reported_ = upto;
    if (callbacks_.on_chunk && !callbacks_.on_chunk(reported_)) {
      return Fail(HttpDownloadResult::kAborted);
    }
    return true;
  }

  std::string url_;
  fs::path target_;
  HttpDownloadOptions options_;
  const HttpDownloadCallbacks& callbacks_;

  CURL* easy_ = nullptr;
  CURLM* multi_ = nullptr;
  std::FILE* file_ = nullptr;
  fs::path temp_;
  bool committed_ = false;

  std::int64_t received_ = 0;  // body bytes written
  std::int64_t reported_ = 0;  // the last chunk boundary given to on_chunk

  long status_ = 0;
  std::int64_t length_ = -1;
  bool has_location_ = false;
  std::string location_;
  bool accepted_ = false;
  bool went_secure_ = false;
  std::optional<HttpDownloadResult> failure_;
  char error_text_[CURL_ERROR_SIZE] = {};

  bool saw_bytes_ = false;
  Clock::time_point last_activity_;
  Clock::time_point last_progress_;
};

}  // namespace

std::string_view HttpDownloadResultName(HttpDownloadResult result) {
  switch (result) {
    case HttpDownloadResult::kOk:
      return "ok";
    case HttpDownloadResult::kBadUrl:
      return "bad-url";
    case HttpDownloadResult::kConnectFailed:
      return "connect-failed";
    case HttpDownloadResult::kTimedOut:
      return "timed-out";
    case HttpDownloadResult::kHttpError:
      return "http-error";
    case HttpDownloadResult::kBadContentLength:
      return "bad-content-length";
    case HttpDownloadResult::kIncomplete:
      return "incomplete";
    case HttpDownloadResult::kTransferFailed:
      return "transfer-failed";
    case HttpDownloadResult::kInsecureRedirect:
      return "insecure-redirect";
    case HttpDownloadResult::kCannotWrite:
      return "cannot-write";
    case HttpDownloadResult::kAborted:
      return "aborted";
    case HttpDownloadResult::kTooLarge:
      return "too-large";
  }
  return "unknown";
}

HttpDownloadResult HttpDownloadToFile(std::string_view url, const std::filesystem::path& target,
                                      const HttpDownloadOptions& options,
                                      const HttpDownloadCallbacks& callbacks) {
  Transfer transfer(url, target, options, callbacks);
  return transfer.Run();
}

void EnsureCurlInitialized() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

}  // namespace kam
