// Direct hold of a request's TCP connection, for the faults a well-behaved HTTP library will not
// produce: a reset, a malformed header. POSIX only; the demo server runs on Linux.
#pragma once

#include <string>
#include <string_view>

namespace kam::demo {

// The server-side socket of the connection from remote_addr:remote_port, or -1.
int FindConnectionSocket(const std::string& remote_addr, int remote_port);

// Resets the connection (TCP RST). The descriptor number stays valid but now refers to
// /dev/null, so the HTTP library's own writes and its final close touch nothing else.
bool ResetConnection(int socket_fd);

// Sends bytes as they are, then closes the connection in an orderly way (FIN), with the same
// descriptor swap as ResetConnection.
bool WriteRawAndClose(int socket_fd, std::string_view bytes);

}  // namespace kam::demo
