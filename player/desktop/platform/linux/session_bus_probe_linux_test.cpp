// The first look at a session bus against real sockets: a bus that answers, one that takes the
// connection and says nothing, and none at all.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>

#include "player/desktop/session_bus_address.h"
#include "tests/support/temp_dir.h"

namespace kam::desktop {
namespace {

using Clock = std::chrono::steady_clock;

// A listening socket at path; with answer, each connection is read up to its first line break
// and answered.
class FakeBus {
 public:
  FakeBus(const std::string& path, const char* answer) : answer_(answer) {
    fd_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un sa{};
    sa.sun_family = AF_UNIX;
    std::strncpy(sa.sun_path, path.c_str(), sizeof(sa.sun_path) - 1);
    ok_ = fd_ >= 0 && bind(fd_, reinterpret_cast<sockaddr*>(&sa), sizeof(sa)) == 0 &&
          listen(fd_, 4) == 0;
    if (ok_ && answer_ != nullptr) {
      thread_ = std::thread([this] {
        const int c = accept(fd_, nullptr, nullptr);
        if (c < 0) return;
        std::string got;
        char buf[64];
        while (got.find("\r\n") == std::string::npos) {
          const ssize_t n = recv(c, buf, sizeof(buf), 0);
          if (n <= 0) break;
          got.append(buf, static_cast<std::size_t>(n));
        }
        received_ = got;
        [[maybe_unused]] const ssize_t w = send(c, answer_, std::strlen(answer_), MSG_NOSIGNAL);
        close(c);
      });
    }
  }
  ~FakeBus() {
    shutdown(fd_, SHUT_RDWR);
    if (thread_.joinable()) thread_.join();
    close(fd_);
  }
  bool ok() const { return ok_; }
  std::string received() {
    if (thread_.joinable()) thread_.join();
    return received_;
  }

 private:
  int fd_ = -1;
  bool ok_ = false;
  const char* answer_;
  std::thread thread_;
  std::string received_;
};

class SessionBusProbeTest : public ::testing::Test {
 protected:
  void UseAddress(const std::string& address) {
    setenv("DBUS_SESSION_BUS_ADDRESS", address.c_str(), 1);
  }
  ~SessionBusProbeTest() override {
    if (saved_) {
      setenv("DBUS_SESSION_BUS_ADDRESS", saved_->c_str(), 1);
    } else {
      unsetenv("DBUS_SESSION_BUS_ADDRESS");
    }
  }
  std::string Socket() const { return (dir_.path() / "bus").string(); }

  testing::TempDir dir_;
  std::optional<std::string> saved_ = [] {
    const char* v = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    return v ? std::optional<std::string>(v) : std::nullopt;
  }();
};

TEST_F(SessionBusProbeTest, ABusThatAnswersTheGreeting) {
  FakeBus bus(Socket(), "OK 0123456789abcdef\r\n");
  ASSERT_TRUE(bus.ok());
  UseAddress("unix:path=" + Socket() + ",guid=0123456789abcdef");
  EXPECT_EQ(ProbeSessionBus(2000), BusProbe::kAnswers);
  const std::string hello = bus.received();
  ASSERT_FALSE(hello.empty());
  EXPECT_EQ(hello[0], '\0');
  EXPECT_EQ(hello.substr(1, 14), "AUTH EXTERNAL ");
}

TEST_F(SessionBusProbeTest, ASilentBusCostsNoMoreThanTheBudget) {
  FakeBus bus(Socket(), nullptr);
  ASSERT_TRUE(bus.ok());
  UseAddress("unix:path=" + Socket());
  const auto start = Clock::now();
  EXPECT_EQ(ProbeSessionBus(300), BusProbe::kSilent);
  const double took = std::chrono::duration<double>(Clock::now() - start).count();
  std::printf("[ measure ] a silent bus held the probe %.2f s (budget 0.30 s)\n", took);
  EXPECT_LT(took, 10.0) << "the probe waited far beyond its budget";
}

TEST_F(SessionBusProbeTest, NoBusWhereNothingListens) {
  UseAddress("unix:path=" + Socket());
  EXPECT_EQ(ProbeSessionBus(2000), BusProbe::kMissing);
  UseAddress("unix:abstract=kam-no-such-bus-" + std::to_string(getpid()));
  EXPECT_EQ(ProbeSessionBus(2000), BusProbe::kMissing);
  UseAddress("");
  EXPECT_EQ(ProbeSessionBus(2000), BusProbe::kMissing);
}

TEST_F(SessionBusProbeTest, OtherTransportsAreLeftToTheLibrary) {
  UseAddress("tcp:host=127.0.0.1,port=9");
  EXPECT_EQ(ProbeSessionBus(2000), BusProbe::kUnknown);
}

}  // namespace
}  // namespace kam::desktop
