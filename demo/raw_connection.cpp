#include "demo/raw_connection.h"

#include <arpa/inet.h>
#include <dirent.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace kam::demo {
namespace {

bool PeerIs(int fd, const std::string& addr, int port) {
  sockaddr_storage peer{};
  socklen_t size = sizeof(peer);
  if (getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &size) != 0) return false;
  char text[INET6_ADDRSTRLEN] = {};
  int peer_port = -1;
  if (peer.ss_family == AF_INET) {
    const auto* v4 = reinterpret_cast<const sockaddr_in*>(&peer);
    inet_ntop(AF_INET, &v4->sin_addr, text, sizeof(text));
    peer_port = ntohs(v4->sin_port);
  } else if (peer.ss_family == AF_INET6) {
    const auto* v6 = reinterpret_cast<const sockaddr_in6*>(&peer);
    inet_ntop(AF_INET6, &v6->sin6_addr, text, sizeof(text));
    peer_port = ntohs(v6->sin6_port);
  } else {
    return false;
  }
  return peer_port == port && addr == text;
}

// Replaces the socket behind fd with /dev/null; closing the last reference to the socket is
// what ends the connection.
bool SwapForDevNull(int fd) {
  const int null_fd = open("/dev/null", O_RDWR | O_CLOEXEC);
  if (null_fd < 0) return false;
  const bool swapped = dup2(null_fd, fd) >= 0;
  close(null_fd);
  return swapped;
}

}  // namespace

int FindConnectionSocket(const std::string& remote_addr, int remote_port) {
  DIR* dir = opendir("/proc/self/fd");
  if (dir == nullptr) return -1;
  int found = -1;
  while (dirent* entry = readdir(dir)) {
    char* end = nullptr;
    const long fd = std::strtol(entry->d_name, &end, 10);
    if (end == entry->d_name || *end != '\0' || fd == dirfd(dir)) continue;
    if (PeerIs(static_cast<int>(fd), remote_addr, remote_port)) {
      found = static_cast<int>(fd);
      break;
    }
  }
  closedir(dir);
  return found;
}

bool ResetConnection(int socket_fd) {
  if (socket_fd < 0) return false;
  const linger abortive{1, 0};
  setsockopt(socket_fd, SOL_SOCKET, SO_LINGER, &abortive, sizeof(abortive));
  return SwapForDevNull(socket_fd);
}

bool WriteRawAndClose(int socket_fd, std::string_view bytes) {
  if (socket_fd < 0) return false;
  while (!bytes.empty()) {
    const ssize_t sent = send(socket_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent < 0 && errno == EINTR) continue;
    if (sent <= 0) break;
    bytes.remove_prefix(static_cast<std::size_t>(sent));
  }
  shutdown(socket_fd, SHUT_WR);
  return SwapForDevNull(socket_fd) && bytes.empty();
}

}  // namespace kam::demo
