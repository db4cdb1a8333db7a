// Whether the user's own hand is behind what a page asks for. A page may hand an address to
// another program (a desktop shortcut, the user's browser) only right after the user pressed a
// mouse button or a key on its pane, only for what the press asked for (press_trace.h), and only
// once per press, as browsers ask before they let a page open a window or start an external
// protocol.
#pragma once

#include <cstdint>
#include <optional>

namespace kam {

// A monotonic clock in milliseconds.
class ClockPort {
 public:
  virtual ~ClockPort() = default;
  virtual std::int64_t NowMs() = 0;
};

// The system's monotonic clock.
class SteadyClock : public ClockPort {
 public:
  std::int64_t NowMs() override;
};

// How long a press counts as the user's consent.
inline constexpr std::int64_t kUserActionWindowMs = 2000;

// What a press may be spent on. One press hands one address to another program: a click on a
// pop-up link is no consent to a shortcut the page asks for next.
enum class UserActionUse { kShortcut, kPopup, kLeaveSite };

// The presses of one pane (its frames included).
class UserActivation {
 public:
  explicit UserActivation(ClockPort& clock) : clock_(clock) {}

  // A mouse button or a key went down on the pane (a held key's auto-repeat is no press).
  void Pressed();
  // True when the press asked for the use (asked_by_press), the last press is at most
  // kUserActionWindowMs old and was not yet spent; it is spent then. A request the press did
  // not ask for is refused and leaves the press for what it did ask for.
  bool Consume(UserActionUse use, bool asked_by_press);

 private:
  ClockPort& clock_;
  std::optional<std::int64_t> pressed_at_;
  std::uint64_t press_ = 0;  // presses so far
  std::uint64_t spent_ = 0;  // the press last granted
};

}  // namespace kam
