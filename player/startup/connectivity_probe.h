// Whether the network is there at all: a TCP connection to the host and port of a fixed
// address, opened and closed again, with a short timeout. Nothing is sent over it.
#pragma once

#include <chrono>
#include <string>

namespace kam {

// True when a connection to the host and port of url (http:// or https://; port 80 or 443 when
// none is given) was made within timeout. Other schemes give false. An https address also
// completes the TLS handshake. No proxy is used: the question is whether the host is reachable.
bool ProbeConnection(const std::string& url,
                     std::chrono::milliseconds timeout = std::chrono::milliseconds(3000));

}  // namespace kam
