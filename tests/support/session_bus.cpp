#include "tests/support/session_bus.h"

#ifndef _WIN32

#include <fstream>
#include <sstream>

#include "tests/support/x_window.h"

namespace kam::testing {
namespace {

constexpr char kConfig[] =
    R"(<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:tmpdir=/tmp</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
)";

}  // namespace

PrivateSessionBus::PrivateSessionBus() {
  const auto config = dir_.Write("session.conf", kConfig);
  daemon_ = std::make_unique<ChildProcess>(
      "/usr/bin/dbus-daemon",
      std::vector<std::string>{"--config-file=" + config.string(), "--nofork", "--print-address"});
  if (!daemon_->started()) return;
  if (auto line = daemon_->ReadLine(std::chrono::seconds(20))) address_ = *line;
}

PrivateSessionBus::~PrivateSessionBus() = default;

std::optional<std::string> PrivateSessionBus::Call(const std::string& dest, const std::string& path,
                                                   const std::string& method,
                                                   const std::vector<std::string>& args) const {
  std::string cmd = "timeout 10 gdbus call --address " + ShellQuote(address_) + " --dest " +
                    ShellQuote(dest) + " --object-path " + ShellQuote(path) + " --method " +
                    ShellQuote(method);
  for (const std::string& a : args) cmd += " " + ShellQuote(a);
  cmd += " 2>/dev/null; echo \"rc=$?\"";
  std::string out = ShellOutput(cmd);
  const std::size_t rc = out.rfind("rc=");
  if (rc == std::string::npos || out.substr(rc) != "rc=0\n") return std::nullopt;
  out.resize(rc);
  while (!out.empty() && out.back() == '\n') out.pop_back();
  return out;
}

std::vector<std::string> PrivateSessionBus::Names() const {
  std::vector<std::string> names;
  const auto reply =
      Call("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus.ListNames");
  if (!reply) return names;
  // (['org.freedesktop.DBus', ':1.0', ...],)
  std::size_t at = 0;
  for (;;) {
    const std::size_t open = reply->find('\'', at);
    if (open == std::string::npos) break;
    const std::size_t close = reply->find('\'', open + 1);
    if (close == std::string::npos) break;
    names.push_back(reply->substr(open + 1, close - open - 1));
    at = close + 1;
  }
  return names;
}

std::optional<std::string> PrivateSessionBus::Property(const std::string& dest,
                                                       const std::string& path,
                                                       const std::string& interface,
                                                       const std::string& name) const {
  auto reply = Call(dest, path, "org.freedesktop.DBus.Properties.Get", {interface, name});
  // (<value>,)
  if (!reply || reply->size() < 5 || reply->compare(0, 2, "(<") != 0 ||
      reply->compare(reply->size() - 3, 3, ">,)") != 0) {
    return std::nullopt;
  }
  return reply->substr(2, reply->size() - 5);
}

FakeScreenSaver::FakeScreenSaver(const PrivateSessionBus& bus) {
#ifdef KAM_FAKE_SCREEN_SAVER_BIN
  if (!bus.ok()) return;
  run_ = std::make_unique<ChildProcess>(KAM_FAKE_SCREEN_SAVER_BIN,
                                        std::vector<std::string>{bus.address()});
#else
  // A build without the Qt programs has no stand-in.
  (void)bus;
  return;
#endif
  if (!run_->started()) return;
  const auto line = run_->ReadLine(std::chrono::seconds(20));
  ok_ = line && *line == "ready";
}

const std::vector<std::string>& FakeScreenSaver::Calls(std::chrono::milliseconds wait_for_more) {
  if (!run_) return calls_;
  const auto deadline = std::chrono::steady_clock::now() + wait_for_more;
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    auto line = run_->ReadLine(std::max(left, std::chrono::milliseconds(10)));
    if (!line) break;
    calls_.push_back(*line);
  }
  return calls_;
}

}  // namespace kam::testing

#endif  // _WIN32
