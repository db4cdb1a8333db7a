// A private D-Bus session bus for one test (dbus-daemon on a configuration of our own: no
// activatable services, so nothing starts on the bus but what the test starts), and the bus
// seen from the command line (gdbus), so that a test talks to the programs as the desktop does.
#pragma once

#ifndef _WIN32

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/temp_dir.h"

namespace kam::testing {

class PrivateSessionBus {
 public:
  PrivateSessionBus();
  ~PrivateSessionBus();
  PrivateSessionBus(const PrivateSessionBus&) = delete;
  PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

  bool ok() const { return !address_.empty(); }
  const std::string& address() const { return address_; }
  // The environment entry that puts a program on this bus.
  std::string Env() const { return "DBUS_SESSION_BUS_ADDRESS=" + address_; }

  // Names on the bus now.
  std::vector<std::string> Names() const;
  // Calls method (interface.Method) of object path of dest with gdbus-style arguments; what
  // gdbus printed (the reply in GVariant text), nothing when the call failed.
  std::optional<std::string> Call(const std::string& dest, const std::string& path,
                                  const std::string& method,
                                  const std::vector<std::string>& args = {}) const;
  // A property's value in GVariant text (as gdbus prints it inside <...>).
  std::optional<std::string> Property(const std::string& dest, const std::string& path,
                                      const std::string& interface, const std::string& name) const;

 private:
  TempDir dir_;
  std::unique_ptr<ChildProcess> daemon_;
  std::string address_;
};

// The stand-in for the desktop's screen-saver service (org.freedesktop.ScreenSaver) on a bus:
// it answers Inhibit with a new cookie and records every call, in order.
class FakeScreenSaver {
 public:
  explicit FakeScreenSaver(const PrivateSessionBus& bus);
  bool ok() const { return ok_; }
  // The calls recorded so far: "Inhibit <cookie> <application> <reason>", "UnInhibit <cookie>".
  const std::vector<std::string>& Calls(
      std::chrono::milliseconds wait_for_more = std::chrono::milliseconds(0));

 private:
  std::unique_ptr<ChildProcess> run_;
  std::vector<std::string> calls_;
  bool ok_ = false;
};

}  // namespace kam::testing

#endif  // _WIN32
