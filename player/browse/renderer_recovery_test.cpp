#include "player/browse/renderer_recovery.h"

#include <gtest/gtest.h>

#include <vector>

namespace kam {
namespace {

using std::chrono::seconds;
using Step = RendererRecovery::Step;

class RendererRecoveryTest : public ::testing::Test {
 protected:
  std::chrono::steady_clock::time_point now_{};
  RendererRecovery recovery_{[this] { return now_; }};

  // Abnormal ends at the given seconds after the start, each one's step.
  std::vector<Step> EndsAt(const std::vector<int>& at) {
    std::vector<Step> steps;
    for (const int s : at) {
      now_ = std::chrono::steady_clock::time_point{} + seconds(s);
      steps.push_back(recovery_.RendererEnded(true));
    }
    return steps;
  }
};

TEST_F(RendererRecoveryTest, ThirdEndWithinAMinuteShowsTheErrorPage) {
  struct Case {
    const char* name;
    std::vector<int> at;
    std::vector<Step> steps;
  };
  const Case cases[] = {
      {"one end reloads", {0}, {Step::kReload}},
      {"two ends reload", {0, 5}, {Step::kReload, Step::kReload}},
      {"three in a minute give up", {0, 5, 59}, {Step::kReload, Step::kReload, Step::kShowError}},
      {"the first has aged out at 60 s", {0, 5, 60}, {Step::kReload, Step::kReload, Step::kReload}},
      {"spread over minutes never give up",
       {0, 40, 100, 160, 220},
       {Step::kReload, Step::kReload, Step::kReload, Step::kReload, Step::kReload}},
      {"after giving up nothing more",
       {0, 1, 2, 3, 200},
       {Step::kReload, Step::kReload, Step::kShowError, Step::kNothing, Step::kNothing}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RendererRecovery fresh{[this] { return now_; }};
    std::swap(recovery_, fresh);
    EXPECT_EQ(EndsAt(c.at), c.steps);
  }
}

TEST_F(RendererRecoveryTest, ANormalEndIsNoCrash) {
  EXPECT_EQ(recovery_.RendererEnded(false), Step::kNothing);
  EXPECT_EQ(EndsAt({1, 2}), (std::vector<Step>{Step::kReload, Step::kReload}));
  EXPECT_EQ(recovery_.RendererEnded(false), Step::kNothing) << "and counts for nothing";
  EXPECT_EQ(EndsAt({3}), std::vector<Step>{Step::kShowError});
}

TEST_F(RendererRecoveryTest, ANewNavigationTriesAgainFromTheStart) {
  EXPECT_EQ(EndsAt({0, 1, 2}), (std::vector<Step>{Step::kReload, Step::kReload, Step::kShowError}));
  EXPECT_TRUE(recovery_.gave_up());
  recovery_.NewNavigation();
  EXPECT_FALSE(recovery_.gave_up());
  EXPECT_EQ(EndsAt({3, 4, 5}), (std::vector<Step>{Step::kReload, Step::kReload, Step::kShowError}))
      << "the ends before the navigation no longer count";
}

TEST_F(RendererRecoveryTest, NavigatingWhileRetryingKeepsTheCount) {
  // A page that ends its renderer at every load must not be retried for ever just because each
  // attempt is a load.
  EXPECT_EQ(EndsAt({0, 1}), (std::vector<Step>{Step::kReload, Step::kReload}));
  recovery_.NewNavigation();
  EXPECT_EQ(EndsAt({2}), std::vector<Step>{Step::kShowError});
}

}  // namespace
}  // namespace kam
