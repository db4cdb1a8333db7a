#include "player/browse/user_activation.h"

#include <chrono>

namespace kam {

std::int64_t SteadyClock::NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void UserActivation::Pressed() {
  pressed_at_ = clock_.NowMs();
  ++press_;
}

bool UserActivation::Consume(UserActionUse use, bool asked_by_press) {
  if (!asked_by_press || !pressed_at_) return false;
  const std::int64_t age = clock_.NowMs() - *pressed_at_;
  if (age < 0 || age > kUserActionWindowMs) return false;
  static_cast<void>(use);
  if (spent_ == press_) return false;
  spent_ = press_;
  return true;
}

}  // namespace kam
