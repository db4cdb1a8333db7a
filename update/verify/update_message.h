// The text a publisher signs for one installer: whose update it is, the version it is offered
// as, and its SHA-256, a line each. With the version inside the signature, an installer signed
// once cannot be offered again as another version (an old release as the newest one).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kam::update {

inline constexpr char kUpdateMessageHeader[] = "kamplayer-update-v1";

// False for a version holding a line end or a NUL: its message could be read two ways.
bool IsSignableVersion(std::string_view version);

// "kamplayer-update-v1\nversion=<version>\nsha256=<sha256_hex>\n", the version's bytes as the
// updater received them (UTF-8). Nothing for a version that is not signable or a sha256_hex that
// is not 64 lower-case hex digits.
std::optional<std::string> UpdateMessage(std::string_view version, std::string_view sha256_hex);

}  // namespace kam::update
