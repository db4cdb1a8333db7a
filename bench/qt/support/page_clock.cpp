#include "bench/qt/support/page_clock.h"

#include <algorithm>

#include "tests/support/program_dir_fixture.h"

namespace kam::bench {

namespace {

constexpr char kPressKey[] = "kamBenchPressAt";

}  // namespace

std::unique_ptr<DevToolsSession> OpenPage(int port, const std::string& url,
                                          std::chrono::milliseconds timeout) {
  return DevToolsSession::Open(
      port, [&](const testing::DevToolsTarget& t) { return t.url == url; }, timeout);
}

bool WaitForScript(DevToolsSession& page, const std::string& condition,
                   std::chrono::milliseconds timeout) {
  return testing::WaitUntil(
      [&] {
        const auto v = page.Evaluate(condition);
        return v && v->type == testing::Json::Type::kBool && v->boolean;
      },
      timeout);
}

bool PlayingClock::Attach(int port) {
  const std::string source = testing::JsonQuote(
      "window.kamBenchMedia = []; window.kamBenchAt = {}; ['loadstart', 'loadedmetadata', "
      "'canplay', 'play', 'playing', 'pause', 'ended', 'emptied'].forEach("
      "function (type) { window.addEventListener(type, function (e) { if (!(e.target "
      "instanceof HTMLMediaElement)) return; window.kamBenchMedia.push(type); if (!(type in "
      "window.kamBenchAt)) window.kamBenchAt[type] = Date.now(); if (type === "
      "'playing' && typeof window.firstPlayingAt !== 'number') window.firstPlayingAt = "
      "Date.now(); }, true); });");
  const auto targets = testing::DevToolsTargets(port);
  for (const auto& target : targets) {
    auto page = DevToolsSession::Open(
        port, [&](const testing::DevToolsTarget& t) { return t.id == target.id; },
        std::chrono::seconds(10));
    // Without the page domain on, the engine keeps the script but never runs it.
    if (!page || !page->Call("Page.enable") ||
        !page->Call("Page.addScriptToEvaluateOnNewDocument", "{\"source\":" + source + "}")) {
      return false;
    }
    pages_.push_back(std::move(page));
  }
  return !targets.empty();
}

void PlayingClock::Drain() {
  for (auto& page : pages_) page->Call("Runtime.evaluate", "{\"expression\":\"0\"}");
}

std::optional<double> ArmPressClock(DevToolsSession& catalogue) {
  // Capture phase on the window: the time is taken before any handler of the page runs.
  const auto v = catalogue.Evaluate(
      std::string("(function(){localStorage.removeItem('") + kPressKey +
      "');window.kamBenchPressAt=null;if(!window.kamBenchArmed){window.kamBenchArmed=true;"
      "window.addEventListener('mousedown',function(){var t=Date.now();"
      "window.kamBenchPressAt=t;localStorage.setItem('" +
      kPressKey + "',String(t));},true);}return Date.now();})()");
  if (!v || v->type != testing::Json::Type::kNumber) return std::nullopt;
  return v->number;
}

std::optional<PlayTimes> ReadPlayTimes(DevToolsSession& play, DevToolsSession* catalogue,
                                       double armed_at, std::chrono::milliseconds timeout,
                                       std::string* why) {
  if (!WaitForScript(play, "typeof window.firstPlayingAt === 'number'", timeout)) {
    *why = "no \"playing\" within " + std::to_string(timeout.count() / 1000) + " s";
    // What the video was doing instead, and whether the page's player script ran at all.
    if (const auto state = play.EvaluateString(
            "(function(){var v=document.querySelector('video');return (v?'paused '+v.paused+"
            "', ready state '+v.readyState+', at '+v.currentTime.toFixed(1)+' s':'no video')+"
            "', its control bar shows '+(document.querySelector('.time-total')||{}).textContent+"
            "' in all, '+location.pathname+', first playing '+window.firstPlayingAt+"
            "', events '+window.kamBenchMedia;})()")) {
      *why += " (" + *state + ")";
    }
    return std::nullopt;
  }
  const auto v = play.Evaluate(std::string("[Number(localStorage.getItem('") + kPressKey +
                               "')), performance.timeOrigin, window.firstPlayingAt]");
  if (!v || v->array.size() != 3) {
    *why = "the play page's clocks could not be read";
    return std::nullopt;
  }
  double press = v->array[0].number;
  if (catalogue != nullptr) {
    const auto own = catalogue->Evaluate("window.kamBenchPressAt");
    if (own && own->type == testing::Json::Type::kNumber) press = own->number;
  }
  const double origin = v->array[1].number, playing = v->array[2].number;
  if (press < armed_at) {
    *why = press > 0 ? "the press read is an earlier one" : "no press recorded";
    return std::nullopt;
  }
  if (origin < press) {
    *why = "the play page began before the press";
    return std::nullopt;
  }
  PlayTimes times{origin - press, playing - origin, playing - press, {}};
  // Where the time between navigation start and "playing" went, each from navigation start.
  if (const auto stages = play.EvaluateString(
          "(function(){var n=performance.getEntriesByType('navigation')[0]||{},a=window.kamBenchAt"
          "||{},o=performance.timeOrigin,r=function(t){return t===undefined?'-':Math.round(t)};"
          "return 'response '+r(n.responseStart)+' dom '+r(n.domContentLoadedEventStart)+"
          "' loadstart '+r(a.loadstart&&a.loadstart-o)+' metadata '+r(a.loadedmetadata&&"
          "a.loadedmetadata-o)+' canplay '+r(a.canplay&&a.canplay-o)+' visible '+"
          "document.visibilityState;})()")) {
    times.stages = *stages;
  }
  return times;
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace kam::bench
