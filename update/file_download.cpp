#include "update/file_download.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <utility>

namespace kam::update {
namespace {

constexpr std::int64_t kInt32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();

bool FitsInt32(std::int64_t value) { return value >= kInt32Min && value <= kInt32Max; }

std::int32_t Saturate32(std::int64_t value) {
  if (value > kInt32Max) return static_cast<std::int32_t>(kInt32Max);
  if (value < kInt32Min) return static_cast<std::int32_t>(kInt32Min);
  return static_cast<std::int32_t>(value);
}

}  // namespace

std::int32_t TransferRate(std::int64_t delta_bytes, std::int64_t elapsed_ms) {
  if (elapsed_ms == 0) return 0;
  double rate =
      static_cast<double>(delta_bytes) * 1000.0 / static_cast<double>(elapsed_ms) / 1024.0;
  // Two decimals first, then single precision, then the nearest whole number.
  char text[64];
  std::snprintf(text, sizeof text, "%.2f", rate);
  float two_decimals = std::strtof(text, nullptr);
  if (!std::isfinite(two_decimals)) return 0;
  double whole = std::nearbyint(static_cast<double>(two_decimals));  // halves to even
  if (whole < static_cast<double>(kInt32Min) || whole > static_cast<double>(kInt32Max)) return 0;
  return static_cast<std::int32_t>(whole);
}

CFileDownload::CFileDownload(BindingTransport& transport, TickClock& clock, MessagePump& pump)
    : transport_(transport), clock_(clock), pump_(pump) {}

CFileDownload::~CFileDownload() {
  binding_held_ = 0;
  downloading_ = false;
}

void CFileDownload::SetOnProgress(std::function<void(const ProgressEvent&)> handler) {
  on_progress_ = std::move(handler);
}

bool CFileDownload::StartDownloading(const std::string& url,
                                     const std::filesystem::path& destination,
                                     const TransferOptions& options) {
  if (downloading_) return false;
  auto binding = std::make_shared<Binding>();
  OnStartBinding(binding);
  bool ok = transport_.Transfer(
      url, destination, options,
      [this, binding](const ProgressNotification& n) { return OnProgress(*binding, n); });
  OnStopBinding();
  return ok && !binding->aborted;
}

void CFileDownload::AbortDownloading() {
  if (binding_held_ == 1 && binding_) binding_->aborted = true;
  downloading_ = false;
}

void CFileDownload::OnStartBinding(std::shared_ptr<Binding> binding) {
  downloading_ = true;
  binding_ = std::move(binding);
  binding_held_ = 1;
}

void CFileDownload::OnStopBinding() {
  downloading_ = false;
  binding_held_ = 0;
}

bool CFileDownload::OnProgress(const Binding& binding, const ProgressNotification& notification) {
  // Each step stands alone: one that cannot be computed leaves its value at 0 and the rest run.
  std::int32_t progress = Saturate32(notification.progress);
  std::int64_t elapsed = static_cast<std::int64_t>(static_cast<std::int32_t>(clock_.TickCount())) -
                         static_cast<std::int32_t>(last_tick_);
  if (!FitsInt32(elapsed)) elapsed = 0;
  std::int64_t delta = static_cast<std::int64_t>(progress) - last_progress_;
  if (!FitsInt32(delta)) delta = 0;

  ProgressEvent event;
  event.progress = progress;
  event.max_progress = Saturate32(notification.max_progress);
  event.speed = TransferRate(delta, elapsed);
  event.status_code = static_cast<std::int32_t>(notification.status);
  event.status_text = notification.text;
  if (on_progress_) on_progress_(event);

  last_tick_ = clock_.TickCount();
  last_progress_ = progress;
  pump_.ProcessPendingMessages();
  return !binding.aborted;
}

}  // namespace kam::update
