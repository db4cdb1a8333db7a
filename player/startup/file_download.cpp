#include "player/startup/file_download.h"

#include <utility>

namespace kam {

namespace {
constexpr std::size_t kChunkBytes = 8192;
}

CYFDownLoadFile::CYFDownLoadFile(MessagePump pump) : pump_(std::move(pump)) {}

void CYFDownLoadFile::SetTimeouts(std::chrono::milliseconds connect,
                                  std::chrono::milliseconds stall) {
  connect_timeout_ = connect;
  stall_timeout_ = stall;
}

void CYFDownLoadFile::Pump() const {
  if (pump_) pump_();
}

bool CYFDownLoadFile::DownLoadFile(const std::string& strURLFile,
                                   const std::filesystem::path& strSaveFile, bool bHidden,
                                   bool bRaiseEvent) {
  HttpDownloadOptions options;
  options.require_content_length = true;
  options.hidden = bHidden;
  options.chunk_size = kChunkBytes;
  options.connect_timeout = connect_timeout_;
  options.stall_timeout = stall_timeout_;
  options.total_timeout = total_timeout_;
  options.max_body_bytes = kMaxSettingsTextBytes;

  // The events are copied for this call: a handler that runs inside the pump may replace them
  // or start another download on this object without disturbing this one.
  const auto query_file_info = bRaiseEvent ? QueryFileInfo : nullptr;
  const auto loading = bRaiseEvent ? Loading : nullptr;
  const auto complete = bRaiseEvent ? Complete : nullptr;

  HttpDownloadCallbacks callbacks;
  callbacks.on_headers = [&](long, std::int64_t content_length) {
    if (query_file_info) query_file_info(content_length);
    return true;
  };
  callbacks.on_chunk = [&](std::int64_t received) {
    if (loading) loading(received);
    Pump();
    return true;
  };
  callbacks.on_progress = [&](std::int64_t, std::int64_t) {
    Pump();
    return true;
  };

  const HttpDownloadResult result = HttpDownloadToFile(strURLFile, strSaveFile, options, callbacks);
  last_result_ = result;
  if (complete) complete();
  return result == HttpDownloadResult::kOk;
}

}  // namespace kam
