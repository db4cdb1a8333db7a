// CFileDownload: fetches one URL into one file, blocking, while raising OnProgress with a
// transfer rate for every progress notification and letting the window handle its pending
// messages in between, so the user can still click (cancel, close, even start again) during the
// transfer. The transfer itself is a port (the platform's URL-to-file service).
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace kam::update {

// Status codes of progress notifications, numbered like the platform's bind-status codes.
enum class BindStatus : std::int32_t {
  kFindingResource = 1,    // text: the host name
  kConnecting = 2,         // text: the host being connected to
  kBeginDownloadData = 4,  // text: the URL; the reply's headers have arrived
  kDownloadingData = 5,    // text: the URL; body bytes are arriving
  kEndDownloadData = 6,    // text: the URL; the file is complete
};

// One notification of the transfer service.
struct ProgressNotification {
  std::int64_t progress = 0;      // body bytes so far
  std::int64_t max_progress = 0;  // announced total, 0 when not announced
  BindStatus status = BindStatus::kDownloadingData;
  std::string text;
};

// What a transfer is held to, and who sees its bytes as they arrive.
struct TransferOptions {
  // A body announced or grown past this many bytes fails the transfer; 0: no limit.
  std::int64_t max_bytes = 0;
  // The whole transfer, connecting included, fails once it took longer; 0: no limit.
  std::chrono::milliseconds time_limit{0};
  // Each piece of the body, in order, as it arrives: joined, exactly the bytes the destination
  // gets when the transfer succeeds.
  std::function<void(std::string_view bytes)> on_body;
};

// The platform's blocking URL-to-file transfer.
class BindingTransport {
 public:
  virtual ~BindingTransport() = default;
  // Transfers url into destination, calling notify for each notification on this thread;
  // notify returning false aborts the transfer. True only when destination now holds the body.
  // A failed transfer leaves the former destination as it was.
  virtual bool Transfer(const std::string& url, const std::filesystem::path& destination,
                        const TransferOptions& options,
                        const std::function<bool(const ProgressNotification&)>& notify) = 0;
};

// Milliseconds since the system started, wrapping at 2^32 like the platform's tick count.
class TickClock {
 public:
  virtual ~TickClock() = default;
  virtual std::uint32_t TickCount() = 0;
};

// Lets the window handle everything pending (clicks, paints) and returns.
class MessagePump {
 public:
  virtual ~MessagePump() = default;
  virtual void ProcessPendingMessages() = 0;
};

// What OnProgress carries. 32-bit like the event's parameters: larger values saturate.
struct ProgressEvent {
  std::int32_t progress = 0;      // lProgress
  std::int32_t max_progress = 0;  // lMaxProgress, 0 when the size is not announced
  std::int32_t speed = 0;         // lSpeed, KiB per second since the previous notification
  std::int32_t status_code = 0;   // lStatusCode
  std::string status_text;        // sStatusText
};

// KiB per second for delta bytes in elapsed milliseconds: rounded to two decimals, to single
// precision, then to the nearest whole number (halves to even). 0 when no time passed or when
// the figure does not fit 32 bits.
std::int32_t TransferRate(std::int64_t delta_bytes, std::int64_t elapsed_ms);

class CFileDownload {
 public:
  CFileDownload(BindingTransport& transport, TickClock& clock, MessagePump& pump);
  ~CFileDownload();
  CFileDownload(const CFileDownload&) = delete;
  CFileDownload& operator=(const CFileDownload&) = delete;

  // The window's subscription to OnProgress.
  void SetOnProgress(std::function<void(const ProgressEvent&)> handler);

  // Downloads url into destination; returns when the transfer has ended. False at once, doing
  // nothing, while a transfer is running; false for any failure and for an abort.
  bool StartDownloading(const std::string& url, const std::filesystem::path& destination,
                        const TransferOptions& options = {});

  // Stops the running transfer, if any. Never fails; downloading is false afterwards at once.
  void AbortDownloading();

  // Binding from the start of a transfer until it stops or is aborted; Idle otherwise.
  enum class State { kIdle, kBinding };
  State state() const { return downloading_ ? State::kBinding : State::kIdle; }
  bool downloading() const { return downloading_; }
  bool binding_held() const { return binding_held_ == 1; }

 private:
  struct Binding {
    bool aborted = false;
  };

  void OnStartBinding(std::shared_ptr<Binding> binding);
  bool OnProgress(const Binding& binding, const ProgressNotification& notification);
  void OnStopBinding();

  BindingTransport& transport_;
  TickClock& clock_;
  MessagePump& pump_;
  std::function<void(const ProgressEvent&)> on_progress_;

  std::shared_ptr<Binding> binding_;
  bool downloading_ = false;
  int binding_held_ = 0;
  // Kept across transfers: a new transfer's first rate is measured from the last one's end.
  std::uint32_t last_tick_ = 0;
  std::int32_t last_progress_ = 0;
};

}  // namespace kam::update
