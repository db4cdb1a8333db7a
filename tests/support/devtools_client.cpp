#ifndef _WIN32

#include "tests/support/devtools_client.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <random>
#include <thread>

namespace kam::testing {
namespace {

using Clock = std::chrono::steady_clock;

// --- sockets ---

int ConnectLoopback(int port) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(static_cast<std::uint16_t>(port));
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

bool SendAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// Reads exactly n bytes, or fails at the deadline.
bool ReadExactly(int fd, char* out, std::size_t n, Clock::time_point deadline) {
  while (n > 0) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) return false;
    pollfd p{fd, POLLIN, 0};
    const int r = poll(&p, 1, static_cast<int>(left.count()));
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) return false;
    const ssize_t got = recv(fd, out, n, 0);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    out += got;
    n -= static_cast<std::size_t>(got);
  }
  return true;
}

// The head and body of a plain HTTP GET on loopback (Connection: close).
std::optional<std::string> HttpGetBody(int port, std::string_view path) {
  const int fd = ConnectLoopback(port);
  if (fd < 0) return std::nullopt;
  const std::string request = "GET " + std::string(path) +
                              " HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(port) +
                              "\r\nConnection: close\r\n\r\n";
  std::string reply;
  if (SendAll(fd, request)) {
    const auto deadline = Clock::now() + std::chrono::seconds(3);
    char buf[4096];
    for (;;) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
      if (left.count() <= 0) break;
      pollfd p{fd, POLLIN, 0};
      if (poll(&p, 1, static_cast<int>(left.count())) <= 0) break;
      const ssize_t n = recv(fd, buf, sizeof buf, 0);
      if (n <= 0) break;
      reply.append(buf, static_cast<std::size_t>(n));
    }
  }
  close(fd);
  const std::size_t body = reply.find("\r\n\r\n");
  if (reply.rfind("HTTP/1.1 200", 0) != 0 || body == std::string::npos) return std::nullopt;
  return reply.substr(body + 4);
}

}  // namespace

std::vector<DevToolsTarget> DevToolsTargets(int port) {
  std::vector<DevToolsTarget> targets;
  const auto body = HttpGetBody(port, "/json/list");
  if (!body) return targets;
  const auto list = Json::Parse(*body);
  if (!list) return targets;
  for (const Json& t : list->array) {
    if (t["type"].string != "page") continue;
    targets.push_back({t["id"].string, t["type"].string, t["url"].string, t["title"].string});
  }
  return targets;
}

std::unique_ptr<DevToolsSession> DevToolsSession::Open(
    int port, const std::function<bool(const DevToolsTarget&)>& match,
    std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    for (const DevToolsTarget& t : DevToolsTargets(port)) {
      if (!match(t)) continue;
      const int fd = ConnectLoopback(port);
      if (fd < 0) continue;
      std::mt19937 rng(std::random_device{}());
      static const char kB64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
      std::string key;
      for (int i = 0; i < 21; ++i) key.push_back(kB64[rng() % 64]);
      key += "A==";
      const std::string handshake = "GET /devtools/page/" + t.id +
                                    " HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(port) +
                                    "\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
                                    "Sec-WebSocket-Key: " +
                                    key + "\r\nSec-WebSocket-Version: 13\r\n\r\n";
      std::string head;
      bool ok = SendAll(fd, handshake);
      const auto hs_deadline = Clock::now() + std::chrono::seconds(3);
      while (ok && head.find("\r\n\r\n") == std::string::npos) {
        char c;
        ok = ReadExactly(fd, &c, 1, hs_deadline);
        head.push_back(c);
      }
      if (ok && head.rfind("HTTP/1.1 101", 0) == 0) {
        return std::unique_ptr<DevToolsSession>(new DevToolsSession(fd, t));
      }
      close(fd);
    }
    if (Clock::now() >= deadline) return nullptr;
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }
}

DevToolsSession::~DevToolsSession() {
  if (fd_ >= 0) close(fd_);
}

bool DevToolsSession::SendText(std::string_view text) {
  std::string frame;
  frame.push_back(static_cast<char>(0x81));  // FIN, text
  if (text.size() < 126) {
    frame.push_back(static_cast<char>(0x80 | text.size()));
  } else if (text.size() < 65536) {
    frame.push_back(static_cast<char>(0x80 | 126));
    frame.push_back(static_cast<char>(text.size() >> 8));
    frame.push_back(static_cast<char>(text.size() & 0xFF));
  } else {
    frame.push_back(static_cast<char>(0x80 | 127));
    for (int shift = 56; shift >= 0; shift -= 8) {
      frame.push_back(static_cast<char>((static_cast<std::uint64_t>(text.size()) >> shift) & 0xFF));
    }
  }
  std::mt19937 rng(std::random_device{}());
  char mask[4];
  for (char& m : mask) m = static_cast<char>(rng() & 0xFF);
  frame.append(mask, 4);
  for (std::size_t i = 0; i < text.size(); ++i) frame.push_back(text[i] ^ mask[i % 4]);
  return SendAll(fd_, frame);
}

std::optional<std::string> DevToolsSession::ReceiveText(Clock::time_point deadline) {
  std::string message;
  for (;;) {
    unsigned char h[2];
    if (!ReadExactly(fd_, reinterpret_cast<char*>(h), 2, deadline)) return std::nullopt;
    const bool fin = h[0] & 0x80;
    const int opcode = h[0] & 0x0F;
    std::uint64_t len = h[1] & 0x7F;
    if (len == 126 || len == 127) {
      unsigned char ext[8];
      const int n = len == 126 ? 2 : 8;
      if (!ReadExactly(fd_, reinterpret_cast<char*>(ext), static_cast<std::size_t>(n), deadline)) {
        return std::nullopt;
      }
      len = 0;
      for (int i = 0; i < n; ++i) len = (len << 8) | ext[i];
    }
    char mask[4] = {0, 0, 0, 0};
    const bool masked = h[1] & 0x80;
    if (masked && !ReadExactly(fd_, mask, 4, deadline)) return std::nullopt;
    if (len > (64u << 20)) return std::nullopt;
    std::string payload(static_cast<std::size_t>(len), '\0');
    if (len > 0 && !ReadExactly(fd_, payload.data(), payload.size(), deadline)) {
      return std::nullopt;
    }
    if (masked) {
      for (std::size_t i = 0; i < payload.size(); ++i) payload[i] ^= mask[i % 4];
    }
    if (opcode == 0x8) return std::nullopt;        // closed
    if (opcode == 0x9 || opcode == 0xA) continue;  // ping, pong
    message += payload;
    if (fin) return message;
  }
}

std::optional<Json> DevToolsSession::Call(std::string_view method, std::string_view params_json,
                                          std::chrono::milliseconds timeout) {
  const int id = next_id_++;
  const std::string request = "{\"id\":" + std::to_string(id) + ",\"method\":" + JsonQuote(method) +
                              ",\"params\":" + std::string(params_json) + "}";
  if (!SendText(request)) return std::nullopt;
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    const auto text = ReceiveText(deadline);
    if (!text) return std::nullopt;
    auto reply = Json::Parse(*text);
    if (!reply || reply->object.count("id") == 0) continue;  // an event
    if (static_cast<int>(reply->object["id"].number) != id) continue;
    if (reply->object.count("error")) return std::nullopt;
    return reply->object["result"];
  }
}

std::optional<Json> DevToolsSession::Evaluate(std::string_view expression) {
  const auto result =
      Call("Runtime.evaluate", "{\"expression\":" + JsonQuote(expression) +
                                   ",\"returnByValue\":true,\"awaitPromise\":true}");
  if (!result || result->object.count("exceptionDetails")) return std::nullopt;
  return (*result)["result"]["value"];
}

std::optional<std::string> DevToolsSession::EvaluateString(std::string_view expression) {
  auto v = Evaluate(expression);
  if (!v || v->type != Json::Type::kString) return std::nullopt;
  return v->string;
}

std::optional<std::pair<double, double>> DevToolsSession::CentreOf(std::string_view selector) {
  const auto v = Evaluate("(function(){var e=document.querySelector(" + JsonQuote(selector) +
                          ");if(!e)return null;e.scrollIntoView({block:'center'});"
                          "var b=e.getBoundingClientRect();return [b.left+b.width/2,"
                          "b.top+b.height/2];})()");
  if (!v || v->array.size() != 2) return std::nullopt;
  return std::make_pair(v->array[0].number, v->array[1].number);
}

bool DevToolsSession::MouseMove(double x, double y) {
  return Call("Input.dispatchMouseEvent", "{\"type\":\"mouseMoved\",\"x\":" + std::to_string(x) +
                                              ",\"y\":" + std::to_string(y) + "}")
      .has_value();
}

bool DevToolsSession::MouseClick(double x, double y, std::string_view button) {
  const std::string at = ",\"x\":" + std::to_string(x) + ",\"y\":" + std::to_string(y) +
                         ",\"button\":" + JsonQuote(button) + ",\"clickCount\":1}";
  return MouseMove(x, y) && Call("Input.dispatchMouseEvent", "{\"type\":\"mousePressed\"" + at) &&
         Call("Input.dispatchMouseEvent", "{\"type\":\"mouseReleased\"" + at);
}

bool DevToolsSession::ClickElement(std::string_view selector, std::string_view button) {
  const auto at = CentreOf(selector);
  return at && MouseClick(at->first, at->second, button);
}

bool DevToolsSession::HoverElement(std::string_view selector) {
  const auto at = CentreOf(selector);
  return at && MouseMove(at->first, at->second);
}

}  // namespace kam::testing

#endif  // _WIN32
