// The session bus's address as D-Bus states it (DBUS_SESSION_BUS_ADDRESS): addresses separated by
// ";", each a transport, ":" and key=value pairs separated by ",", values percent-encoded. Only
// what a connection to a local socket needs is read; anything else is named kOther, for the
// D-Bus library to try on its own.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kam::desktop {

struct BusAddress {
  enum class Kind { kUnixPath, kUnixAbstract, kOther };
  Kind kind = Kind::kOther;
  std::string path;  // the socket's file name, or its abstract name (without the leading NUL)
  friend bool operator==(const BusAddress&, const BusAddress&) = default;
};

// The addresses in their order. An empty text gives none; unix:runtime=yes is the socket "bus"
// in runtime_dir (none without one); an entry that cannot be read is skipped.
std::vector<BusAddress> ParseBusAddresses(std::string_view text, std::string_view runtime_dir);

// Where the session bus is when no address is given: the socket "bus" in the user's runtime
// folder, if the folder is known.
std::vector<BusAddress> DefaultBusAddresses(std::string_view runtime_dir);

// How the session bus answered a first look.
enum class BusProbe {
  kAnswers,  // it took a connection and answered the greeting
  kMissing,  // no address, or nothing listens at any of them
  kSilent,   // it took a connection and said nothing within the time given
  kUnknown,  // its transport is not a local socket: let the D-Bus library find out
};

// The first look at the session bus of this process's environment, within budget. It never
// waits longer, so a program may ask it on start-up's way without hanging on a dead bus.
BusProbe ProbeSessionBus(int budget_ms);

// The first look of this process, made once (with budget_ms, by whoever asks first) and then
// remembered: the start asks before the bus's users exist, and they hear the same answer.
BusProbe FirstLookAtSessionBus(int budget_ms);

}  // namespace kam::desktop
