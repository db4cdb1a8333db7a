#include "player/startup/connectivity_probe.h"

#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>

#include "tests/support/demo_server.h"

namespace kam {
namespace {

using namespace std::chrono_literals;

// A listening socket on a free loopback port; closed (and so refusing) once destroyed.
class Listener {
 public:
  Listener() {
    fd_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof(addr));
    listen(fd_, 4);
    socklen_t size = sizeof(addr);
    getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &size);
    port_ = ntohs(addr.sin_port);
  }
  ~Listener() { close(fd_); }
  int port() const { return port_; }

 private:
  int fd_ = -1;
  int port_ = 0;
};

TEST(ProbeConnection, TrueWhenSomethingListens) {
  Listener listener;
  EXPECT_TRUE(ProbeConnection("http://127.0.0.1:" + std::to_string(listener.port()) + "/"));
}

TEST(ProbeConnection, TrueForTheDemoServer) {
  testing::DemoServer server(testing::DemoServer::kAnyPort);
  ASSERT_TRUE(server.ok()) << server.error();
  EXPECT_TRUE(ProbeConnection(server.BaseUrl() + "/", 3s));
}

TEST(ProbeConnection, FalseWhenThePortIsClosed) {
  int port = 0;
  {
    Listener listener;
    port = listener.port();
  }
  EXPECT_FALSE(ProbeConnection("http://127.0.0.1:" + std::to_string(port) + "/", 1s));
}

TEST(ProbeConnection, FalseForOtherSchemesAndNonsense) {
  Listener listener;
  const std::string port = std::to_string(listener.port());
  for (const std::string& url : {"ftp://127.0.0.1:" + port + "/", "127.0.0.1:" + port,
                                 std::string(), std::string("http://")}) {
    SCOPED_TRACE(url);
    EXPECT_FALSE(ProbeConnection(url, 1s));
  }
}

}  // namespace
}  // namespace kam
