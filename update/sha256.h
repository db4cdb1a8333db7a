// SHA-256 (FIPS 180-4), used to check a downloaded installer against the digest the operators
// publish in the settings file before it is run.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace kam::update {

class Sha256 {
 public:
  Sha256();
  void Update(std::string_view bytes);
  // The digest; the object must not be updated afterwards.
  std::array<std::uint8_t, 32> Finish();

 private:
  void Block(const std::uint8_t* block);

  std::array<std::uint32_t, 8> state_;
  std::array<std::uint8_t, 64> buffer_{};
  std::size_t buffered_ = 0;
  std::uint64_t length_ = 0;
};

// Lower-case hexadecimal digest of bytes.
std::string Sha256Hex(std::string_view bytes);

// Lower-case hexadecimal digest of a file's content; nothing when it cannot be read.
std::optional<std::string> Sha256HexOfFile(const std::filesystem::path& path);

// True when expected (64 hexadecimal digits, either case, blanks around it ignored) names
// the digest actual_hex.
bool DigestMatches(std::string_view expected, std::string_view actual_hex);

}  // namespace kam::update
