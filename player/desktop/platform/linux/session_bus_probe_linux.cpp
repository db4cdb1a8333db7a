// The first look at the session bus: a connection to its socket and the greeting of the D-Bus
// protocol (a NUL byte, then AUTH EXTERNAL with our user id), every step bounded by one deadline.
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "player/desktop/session_bus_address.h"

namespace kam::desktop {
namespace {

using Clock = std::chrono::steady_clock;

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v != nullptr ? v : "";
}

int MsLeft(Clock::time_point deadline) {
  const auto left =
      std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left > 0 ? static_cast<int>(left) : 0;
}

// Waits for events on fd until the deadline; false when the time ran out or the socket failed.
bool WaitFor(int fd, short events, Clock::time_point deadline) {
  for (;;) {
    pollfd p{fd, events, 0};
    const int n = poll(&p, 1, MsLeft(deadline));
    if (n > 0) return (p.revents & events) != 0;
    if (n == 0) return false;
    if (errno != EINTR) return false;
  }
}

// Whether something listens at the address, and answers.
BusProbe Look(const BusAddress& address, Clock::time_point deadline) {
  sockaddr_un sa{};
  sa.sun_family = AF_UNIX;
  socklen_t len = 0;
  const bool abstract = address.kind == BusAddress::Kind::kUnixAbstract;
  // A file name needs its NUL, an abstract name its leading NUL.
  const std::size_t room = sizeof(sa.sun_path) - 1;
  if (address.path.size() > room) return BusProbe::kMissing;
  if (abstract) {
    std::memcpy(sa.sun_path + 1, address.path.data(), address.path.size());
    len = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + address.path.size());
  } else {
    std::memcpy(sa.sun_path, address.path.data(), address.path.size());
    len = static_cast<socklen_t>(sizeof(sa));
  }
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return BusProbe::kMissing;
  BusProbe result = BusProbe::kSilent;
  if (connect(fd, reinterpret_cast<const sockaddr*>(&sa), len) != 0) {
    if (errno != EINPROGRESS && errno != EAGAIN) {
      close(fd);
      return BusProbe::kMissing;
    }
    if (!WaitFor(fd, POLLOUT, deadline)) {
      close(fd);
      return BusProbe::kSilent;
    }
  }
  // AUTH EXTERNAL with the user id as hexadecimal ASCII digits.
  std::string hello("\0AUTH EXTERNAL ", 15);
  for (char c : std::to_string(getuid())) {
    char hex[3];
    std::snprintf(hex, sizeof(hex), "%02x", static_cast<unsigned char>(c));
    hello += hex;
  }
  hello += "\r\n";
  std::size_t sent = 0;
  while (sent < hello.size()) {
    const ssize_t n = send(fd, hello.data() + sent, hello.size() - sent, MSG_NOSIGNAL);
    if (n > 0) {
      sent += static_cast<std::size_t>(n);
    } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
      if (!WaitFor(fd, POLLOUT, deadline)) break;
    } else {
      result = BusProbe::kMissing;
      break;
    }
  }
  std::string answer;
  while (sent == hello.size() && answer.find("\r\n") == std::string::npos && answer.size() < 512) {
    if (!WaitFor(fd, POLLIN, deadline)) break;
    char buf[256];
    const ssize_t n = recv(fd, buf, sizeof(buf), 0);
    if (n > 0) {
      answer.append(buf, static_cast<std::size_t>(n));
    } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
      break;
    }
  }
  // Any line is an answer (OK, or REJECTED with the ways it does accept): the bus is alive.
  if (answer.find("\r\n") != std::string::npos) result = BusProbe::kAnswers;
  close(fd);
  return result;
}

}  // namespace

BusProbe ProbeSessionBus(int budget_ms) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(budget_ms);
  const std::string runtime_dir = Env("XDG_RUNTIME_DIR");
  const char* given = std::getenv("DBUS_SESSION_BUS_ADDRESS");
  const std::vector<BusAddress> addresses =
      given != nullptr ? ParseBusAddresses(given, runtime_dir) : DefaultBusAddresses(runtime_dir);
  BusProbe outcome = BusProbe::kMissing;
  for (const BusAddress& a : addresses) {
    if (a.kind == BusAddress::Kind::kOther) return BusProbe::kUnknown;
    const BusProbe p = Look(a, deadline);
    if (p == BusProbe::kAnswers) return p;
    if (p == BusProbe::kSilent) outcome = p;
  }
  return outcome;
}

}  // namespace kam::desktop
