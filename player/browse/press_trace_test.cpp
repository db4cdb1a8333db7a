#include "player/browse/press_trace.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kam {
namespace {

constexpr char kLink[] = "http://site/about.html";
constexpr char kOther[] = "http://site/ad.html?1";

// One report or request, in the order the pane hears them.
struct Step {
  enum Kind { kBegan, kRepeat, kEnded, kNavigation, kWindow } kind;
  std::string frame = {};    // for reports and navigations
  std::int64_t press = 0;    // the press number (for navigations: the one being dispatched)
  std::string address = {};  // link of a press; address of a request
  bool asked = false;        // for requests: whether the press asked for it
};

struct TraceCase {
  const char* name;
  std::vector<Step> steps;
};

void PrintTo(const TraceCase& c, std::ostream* os) { *os << c.name; }

class PressRule : public ::testing::TestWithParam<TraceCase> {};

TEST_P(PressRule, HonoursOnlyWhatThePressedElementAskedFor) {
  PressTrace trace;
  int i = 0;
  for (const Step& s : GetParam().steps) {
    switch (s.kind) {
      case Step::kBegan:
      case Step::kRepeat:
        trace.Began(s.frame, s.press, s.address, s.kind == Step::kRepeat);
        break;
      case Step::kEnded:
        trace.Ended(s.frame, s.press);
        break;
      case Step::kNavigation:
        EXPECT_EQ(trace.AskedForNavigation(s.frame, s.press, s.address), s.asked) << "step " << i;
        break;
      case Step::kWindow:
        EXPECT_EQ(trace.AskedForWindow(s.address), s.asked) << "step " << i;
        break;
    }
    ++i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Requests, PressRule,
    ::testing::Values(
        TraceCase{
            "NothingPressedNothingAsked",
            {{Step::kWindow, "", 0, kOther, false}, {Step::kNavigation, "f1", 0, kOther, false}}},
        // A link with target=_blank: its window comes after the dispatch, for its own address.
        TraceCase{"PressedLinksOwnWindow",
                  {{Step::kBegan, "f1", 1, kLink},
                   {Step::kEnded, "f1", 1},
                   {Step::kWindow, "", 0, kLink, true}}},
        TraceCase{"PressedLinksOwnNavigation",
                  {{Step::kBegan, "f1", 1, kLink},
                   {Step::kEnded, "f1", 1},
                   {Step::kNavigation, "f1", 0, kLink, true}}},
        TraceCase{"PressedLinkAsksOnce",
                  {{Step::kBegan, "f1", 1, kLink},
                   {Step::kEnded, "f1", 1},
                   {Step::kWindow, "", 0, kLink, true},
                   {Step::kWindow, "", 0, kLink, false}}},
        // A button whose handler navigates or opens a window while the press is dispatched.
        TraceCase{"HandlersNavigationDuringTheDispatch",
                  {{Step::kBegan, "f1", 4, ""},
                   {Step::kNavigation, "f1", 4, "dddisk://name@@@/t.html", true},
                   {Step::kEnded, "f1", 4}}},
        TraceCase{"HandlersWindowDuringTheDispatch",
                  {{Step::kBegan, "f1", 4, ""},
                   {Step::kWindow, "", 0, kOther, true},
                   {Step::kEnded, "f1", 4}}},
        // A page's timer asks right after the press, for anything but the pressed link.
        TraceCase{"TimersWindowAfterThePress",
                  {{Step::kBegan, "f1", 1, kLink},
                   {Step::kEnded, "f1", 1},
                   {Step::kWindow, "", 0, kOther, false},
                   {Step::kWindow, "", 0, kLink, true}}},
        TraceCase{"TimersNavigationAfterThePress",
                  {{Step::kBegan, "f1", 1, kLink},
                   {Step::kEnded, "f1", 1},
                   {Step::kNavigation, "f1", 0, "dddisk://x@@@/t.html", false},
                   {Step::kNavigation, "f1", 0, kLink, true}}},
        // What the engine dispatched before is no dispatch now.
        TraceCase{"StaleDispatchNumber",
                  {{Step::kBegan, "f1", 1, ""},
                   {Step::kEnded, "f1", 1},
                   {Step::kBegan, "f1", 2, ""},
                   {Step::kNavigation, "f1", 1, kOther, false},
                   {Step::kNavigation, "f1", 2, kOther, true}}},
        TraceCase{"AnotherFramesNavigationDuringThePress",
                  {{Step::kBegan, "f1", 1, ""},
                   {Step::kNavigation, "f2", 1, kOther, false},
                   {Step::kNavigation, "", 1, kOther, false},
                   {Step::kEnded, "f1", 1}}},
        TraceCase{"AnotherFramesEndDoesNotEndTheDispatch",
                  {{Step::kBegan, "f1", 1, ""},
                   {Step::kEnded, "f2", 1},
                   {Step::kWindow, "", 0, kOther, true}}},
        TraceCase{"AutoRepeatedKeyIsNoPress",
                  {{Step::kRepeat, "f1", 1, kLink},
                   {Step::kWindow, "", 0, kOther, false},
                   {Step::kNavigation, "f1", 1, kOther, false},
                   {Step::kWindow, "", 0, kLink, false}}},
        TraceCase{"AutoRepeatLeavesTheEarlierPressAlone",
                  {{Step::kBegan, "f1", 1, kLink},
                   {Step::kEnded, "f1", 1},
                   {Step::kRepeat, "f1", 2, ""},
                   {Step::kWindow, "", 0, kOther, false},
                   {Step::kWindow, "", 0, kLink, true}}},
        // A later press takes the place of the earlier one, link and all.
        TraceCase{"LaterPressReplacesTheLink",
                  {{Step::kBegan, "f1", 1, kLink},
                   {Step::kEnded, "f1", 1},
                   {Step::kBegan, "f1", 2, ""},
                   {Step::kEnded, "f1", 2},
                   {Step::kWindow, "", 0, kLink, false}}}));

}  // namespace
}  // namespace kam
