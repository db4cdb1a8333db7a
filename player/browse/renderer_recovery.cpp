#include "player/browse/renderer_recovery.h"

namespace kam {

RendererRecovery::Step RendererRecovery::RendererEnded(bool abnormal) {
  if (!abnormal || gave_up_) return Step::kNothing;
  const auto now = now_();
  while (!ends_.empty() && now - ends_.front() >= kWindow) ends_.pop_front();
  ends_.push_back(now);
  if (static_cast<int>(ends_.size()) < kEndsBeforeGivingUp) return Step::kReload;
  ends_.clear();
  gave_up_ = true;
  return Step::kShowError;
}

void RendererRecovery::NewNavigation() {
  if (!gave_up_) return;
  gave_up_ = false;
  ends_.clear();
}

}  // namespace kam
