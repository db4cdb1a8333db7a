#include "player/browse/user_activation.h"

#include <gtest/gtest.h>

namespace kam {
namespace {

class FakeClock : public ClockPort {
 public:
  std::int64_t NowMs() override { return now; }
  std::int64_t now = 1'000'000;
};

struct Step {
  std::int64_t advance_ms;
  enum { kPress, kShortcut, kPopup } what;
  bool granted = false;  // for the two uses
  bool asked = true;     // the press asked for the use
};

struct ActivationCase {
  const char* name;
  std::vector<Step> steps;
};

void PrintTo(const ActivationCase& c, std::ostream* os) { *os << c.name; }

class ActivationRule : public ::testing::TestWithParam<ActivationCase> {};

TEST_P(ActivationRule, GrantsOneUseForEachFreshPress) {
  FakeClock clock;
  UserActivation activation(clock);
  int i = 0;
  for (const Step& s : GetParam().steps) {
    clock.now += s.advance_ms;
    if (s.what == Step::kPress) {
      activation.Pressed();
    } else {
      const UserActionUse use =
          s.what == Step::kShortcut ? UserActionUse::kShortcut : UserActionUse::kPopup;
      EXPECT_EQ(activation.Consume(use, s.asked), s.granted) << "step " << i;
    }
    ++i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Presses, ActivationRule,
    ::testing::Values(
        ActivationCase{"NoPressNoGrant", {{0, Step::kShortcut, false}, {0, Step::kPopup, false}}},
        ActivationCase{"FreshPress", {{0, Step::kPress}, {100, Step::kShortcut, true}}},
        ActivationCase{"AtTheEdgeOfTheWindow", {{0, Step::kPress}, {2000, Step::kShortcut, true}}},
        ActivationCase{"JustPastTheWindow", {{0, Step::kPress}, {2001, Step::kShortcut, false}}},
        ActivationCase{"OncePerPress",
                       {{0, Step::kPress},
                        {10, Step::kShortcut, true},
                        {10, Step::kShortcut, false},
                        {10, Step::kPopup, false}}},
        ActivationCase{"PopUpSpendsThePressForAShortcutToo",
                       {{0, Step::kPress}, {10, Step::kPopup, true}, {10, Step::kShortcut, false}}},
        ActivationCase{"NewPressGrantsAgain",
                       {{0, Step::kPress},
                        {10, Step::kPopup, true},
                        {500, Step::kPress},
                        {10, Step::kPopup, true}}},
        ActivationCase{"LaterPressRestartsTheWindow",
                       {{0, Step::kPress}, {1900, Step::kPress}, {1900, Step::kShortcut, true}}},
        ActivationCase{"ClockGoingBackGrantsNothing",
                       {{0, Step::kPress}, {-1, Step::kShortcut, false}}},
        // A page's own requests right after the press are refused and do not spend it.
        ActivationCase{"RequestThePressDidNotAskForLeavesItUnspent",
                       {{0, Step::kPress},
                        {10, Step::kShortcut, false, false},
                        {10, Step::kPopup, false, false},
                        {10, Step::kPopup, true},
                        {10, Step::kShortcut, false}}},
        ActivationCase{"AskedForWithoutAPress", {{0, Step::kPopup, false, true}}}));

}  // namespace
}  // namespace kam
