// A small client of the browser engine's DevTools endpoint (QTWEBENGINE_REMOTE_DEBUGGING), for
// whole-program tests: lists the engine's pages and drives one of them over a WebSocket
// (Runtime.evaluate, Input.dispatchMouseEvent). Loopback only, blocking, every wait bounded.
#pragma once

#ifndef _WIN32

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tests/support/json.h"

namespace kam::testing {

struct DevToolsTarget {
  std::string id;
  std::string type;
  std::string url;
  std::string title;
};

// The page targets of the engine listening on 127.0.0.1:port; empty when it does not answer.
std::vector<DevToolsTarget> DevToolsTargets(int port);

class DevToolsSession {
 public:
  // A session with the first page target that satisfies match, polling until timeout.
  static std::unique_ptr<DevToolsSession> Open(
      int port, const std::function<bool(const DevToolsTarget&)>& match,
      std::chrono::milliseconds timeout);
  ~DevToolsSession();
  DevToolsSession(const DevToolsSession&) = delete;
  DevToolsSession& operator=(const DevToolsSession&) = delete;

  const DevToolsTarget& target() const { return target_; }

  // Sends a command and waits for its reply's "result"; nothing on error or timeout.
  std::optional<Json> Call(std::string_view method, std::string_view params_json = "{}",
                           std::chrono::milliseconds timeout = std::chrono::seconds(10));
  // The value of a script expression (by value); nothing when it threw or the page is gone.
  std::optional<Json> Evaluate(std::string_view expression);
  std::optional<std::string> EvaluateString(std::string_view expression);
  // Centre of the first element matching a CSS selector, after scrolling it into view.
  std::optional<std::pair<double, double>> CentreOf(std::string_view selector);
  // Real input through the engine: pointer moves and clicks at page coordinates.
  bool MouseMove(double x, double y);
  bool MouseClick(double x, double y, std::string_view button = "left");
  bool ClickElement(std::string_view selector, std::string_view button = "left");
  bool HoverElement(std::string_view selector);

 private:
  DevToolsSession(int fd, DevToolsTarget target) : fd_(fd), target_(std::move(target)) {}
  bool SendText(std::string_view text);
  std::optional<std::string> ReceiveText(std::chrono::steady_clock::time_point deadline);

  int fd_;
  DevToolsTarget target_;
  int next_id_ = 1;
};

}  // namespace kam::testing

#endif  // _WIN32
