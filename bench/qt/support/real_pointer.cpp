#include "bench/qt/support/real_pointer.h"

#include <chrono>
#include <thread>

#include "tests/support/program_dir_fixture.h"
#include "tests/support/x_window.h"

namespace kam::bench {

namespace {

using std::chrono::milliseconds;

void MoveTo(ScreenPoint p) {
  testing::Xdo("mousemove " + std::to_string(p.x) + " " + std::to_string(p.y));
}

// Keeps the page point of the latest pointer move in window.kamBenchPointer (null until one).
void HookPointer(testing::DevToolsSession& page) {
  page.Evaluate(
      "window.kamBenchPointer = null; if (!window.kamBenchPointerHooked) { "
      "window.kamBenchPointerHooked = true; window.addEventListener('mousemove', function (e) { "
      "window.kamBenchPointer = [e.clientX, e.clientY]; }, true); } 1");
}

}  // namespace

std::optional<ScreenPoint> FindViewOrigin(pid_t pid, testing::DevToolsSession& page) {
  HookPointer(page);
  // On a loaded machine a page may see a move late: the sweep repeats with longer waits.
  for (int round = 1; round <= 3; ++round) {
    for (const std::string& w : testing::VisibleWindowsOf(pid)) {
      const testing::Geometry g = testing::WindowGeometry(w);
      if (g.width < 200 || g.height < 200) continue;
      for (int i = 1; i <= 4; ++i) {
        for (int j = 1; j <= 4; ++j) {
          const ScreenPoint at{g.x + g.width * i / 5, g.y + g.height * j / 5};
          page.Evaluate("window.kamBenchPointer = null; 1");
          MoveTo(at);
          std::this_thread::sleep_for(milliseconds(120 * round));
          const auto seen = page.Evaluate("window.kamBenchPointer");
          if (seen && seen->array.size() == 2) {
            return ScreenPoint{at.x - static_cast<int>(seen->array[0].number),
                               at.y - static_cast<int>(seen->array[1].number)};
          }
        }
      }
    }
  }
  return std::nullopt;
}

std::optional<ScreenPoint> ElementCentre(testing::DevToolsSession& page,
                                         const std::string& selector) {
  const std::string find = "document.querySelector(" + testing::JsonQuote(selector) + ")";
  const auto scrolled = page.Evaluate(
      "(function(){var e=" + find +
      ";if(!e)return false;e.scrollIntoView({block:'center',behavior:'instant'});return true;})()");
  if (!scrolled || !scrolled->boolean) return std::nullopt;
  std::this_thread::sleep_for(milliseconds(200));  // the scroll reaches the screen
  const auto v = page.Evaluate("(function(){var b=" + find +
                               ".getBoundingClientRect();return [b.left+b.width/2,"
                               "b.top+b.height/2];})()");
  if (!v || v->array.size() != 2) return std::nullopt;
  return ScreenPoint{static_cast<int>(v->array[0].number), static_cast<int>(v->array[1].number)};
}

bool PressElement(testing::DevToolsSession& page, ScreenPoint view_origin,
                  const std::string& selector, bool move_only) {
  const auto centre = ElementCentre(page, selector);
  if (!centre) return false;
  // The page must see the pointer arrive where the element is: the view is in front and the
  // origin still holds. A move from beside the point makes sure there is a move to see.
  HookPointer(page);
  const ScreenPoint at{view_origin.x + centre->x, view_origin.y + centre->y};
  MoveTo({at.x - 3, at.y - 3});
  MoveTo(at);
  const bool arrived = testing::WaitUntil(
      [&] {
        const auto seen = page.Evaluate("window.kamBenchPointer");
        return seen && seen->array.size() == 2 &&
               static_cast<int>(seen->array[0].number) == centre->x &&
               static_cast<int>(seen->array[1].number) == centre->y;
      },
      std::chrono::seconds(10));
  if (!arrived) return false;
  std::this_thread::sleep_for(milliseconds(400));  // hover effects settle
  if (!move_only) testing::Xdo("click 1");
  return true;
}

void PressAt(ScreenPoint p) {
  MoveTo(p);
  std::this_thread::sleep_for(milliseconds(150));
  testing::Xdo("click 1");
}

std::optional<WindowBox> MainWindowOf(pid_t pid) {
  std::optional<WindowBox> best;
  for (const std::string& w : testing::VisibleWindowsOf(pid)) {
    const testing::Geometry g = testing::WindowGeometry(w);
    if (g.width <= 0 || g.height <= 0) continue;
    if (!best || g.width * g.height > best->width * best->height) {
      best = WindowBox{{g.x, g.y}, g.width, g.height};
    }
  }
  return best;
}

}  // namespace kam::bench
