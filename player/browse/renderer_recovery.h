// What a pane does when the process that renders its page ends abnormally (a crash, the system's
// out-of-memory killer): it loads its last address again after a short pause, so the page comes
// back by itself. A page that keeps ending its renderer is not retried for ever: the third
// abnormal end within a minute shows the error page instead, and the pane tries again only once
// it navigates anew.
#pragma once

#include <chrono>
#include <deque>
#include <functional>

namespace kam {

class RendererRecovery {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;
  enum class Step {
    kNothing,    // a normal end (the pane is going), or the pane has given up
    kReload,     // load the last address again after kReloadDelay
    kShowError,  // show the error page; no more reloads until the next navigation
  };

  static constexpr std::chrono::milliseconds kReloadDelay{500};
  static constexpr std::chrono::seconds kWindow{60};
  static constexpr int kEndsBeforeGivingUp = 3;

  explicit RendererRecovery(Clock now) : now_(std::move(now)) {}

  // The renderer ended; abnormal is every end but the normal one.
  Step RendererEnded(bool abnormal);
  // The pane starts a navigation of its own (not the reload this class asked for): after giving
  // up, the pane tries again from the start.
  void NewNavigation();

  bool gave_up() const { return gave_up_; }

 private:
  Clock now_;
  // Times of the abnormal ends within the last kWindow, oldest first; never more than
  // kEndsBeforeGivingUp.
  std::deque<std::chrono::steady_clock::time_point> ends_;
  bool gave_up_ = false;
};

}  // namespace kam
