#include "update/verify/update_message.h"

#include <algorithm>

namespace kam::update {

bool IsSignableVersion(std::string_view version) {
  return version.find_first_of(std::string_view("\n\r\0", 3)) == std::string_view::npos;
}

std::optional<std::string> UpdateMessage(std::string_view version, std::string_view sha256_hex) {
  if (!IsSignableVersion(version)) return std::nullopt;
  const auto lower_hex = [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); };
  if (sha256_hex.size() != 64 || !std::all_of(sha256_hex.begin(), sha256_hex.end(), lower_hex)) {
    return std::nullopt;
  }
  std::string message = kUpdateMessageHeader;
  message += "\nversion=";
  message += version;
  message += "\nsha256=";
  message += sha256_hex;
  message += "\n";
  return message;
}

}  // namespace kam::update
