// The player's downloader: one blocking call fetches one http(s) address into one file, in
// 8192-byte chunks, optionally raising events, and lets the window's pending messages run after
// every chunk (and at least every 100 ms while the server is silent).
//
// It keeps the former file unless the whole reply arrived: only a 2xx reply with a numeric,
// non-zero Content-Length whose every byte came replaces the target. Connect and stall timeouts
// keep a dead or hanging server from holding the window, and a size limit keeps a server from
// filling the disk through a settings text.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "common/http_download.h"

namespace kam {

// What the player downloads are settings texts of a few hundred bytes; a longer reply is
// refused (the former file stays).
inline constexpr std::int64_t kMaxSettingsTextBytes = 1 << 20;

// Lets pending window messages run; the Qt layer passes one that calls processEvents.
using MessagePump = std::function<void()>;

class CYFDownLoadFile {
 public:
  explicit CYFDownLoadFile(MessagePump pump = {});

  // Events; raised only when DownLoadFile is called with bRaiseEvent true.
  // Once, with the reply's content length, before the target is written.
  std::function<void(std::int64_t dwFileTotalLen)> QueryFileInfo;
  // After each chunk has been written, with the bytes received so far.
  std::function<void(std::int64_t dwRecivedLen)> Loading;
  // Once, at the very end of every call, whatever its outcome.
  std::function<void()> Complete;

  // Downloads strURLFile (an absolute http:// or https:// address) into strSaveFile. bHidden
  // gives the file the hidden attribute where the platform has one (not on Linux). True only
  // when the whole body was written and the file is in place.
  bool DownLoadFile(const std::string& strURLFile, const std::filesystem::path& strSaveFile,
                    bool bHidden, bool bRaiseEvent);

  void SetMessagePump(MessagePump pump) { pump_ = std::move(pump); }
  // Defaults: 10 s to connect, 30 s of silence. Tests shorten them.
  void SetTimeouts(std::chrono::milliseconds connect, std::chrono::milliseconds stall);
  // The longest a whole call may take, connect and transfer together; zero (the default) sets
  // no such limit.
  void SetTotalTimeout(std::chrono::milliseconds total) { total_timeout_ = total; }
  // Why the latest call (of this object) ended as it did; for diagnostics.
  HttpDownloadResult last_result() const { return last_result_; }

 private:
  void Pump() const;

  MessagePump pump_;
  std::chrono::milliseconds connect_timeout_{10000};
  std::chrono::milliseconds stall_timeout_{30000};
  std::chrono::milliseconds total_timeout_{0};
  HttpDownloadResult last_result_ = HttpDownloadResult::kOk;
};

}  // namespace kam
