#include "demo/installer_source.h"

#include <openssl/evp.h>

#include <array>
#include <utility>

#include "common/atomic_file.h"
#include "common/private_profile.h"

namespace kam::demo {
namespace {

namespace fs = std::filesystem;

bool IsFile(const fs::path& file) {
  std::error_code ec;
  return !file.empty() && fs::is_regular_file(file, ec);
}

}  // namespace

InstallerSource::InstallerSource(fs::path built, fs::path site_root)
    : built_(std::move(built)), stand_in_(std::move(site_root) / (kInstallerPath + 1)) {}

std::optional<fs::path> InstallerSource::File() const {
  if (IsFile(built_)) return built_;
  if (IsFile(stand_in_)) return stand_in_;
  return std::nullopt;
}

std::optional<std::string> InstallerSource::Bytes() const {
  const auto file = File();
  if (!file) return std::nullopt;
  return ReadFileBytes(*file);
}

std::optional<std::string> InstallerSource::BuiltDigest() const {
  if (!IsFile(built_)) return std::nullopt;
  const auto bytes = ReadFileBytes(built_);
  if (!bytes) return std::nullopt;
  return Sha256Hex(*bytes);
}

bool IsSettingsText(std::string_view path) {
  return path == "/upload/my2.txt" || path == "/kam/kam.txt";
}

std::string SettingsWithDigest(std::string_view text, std::string_view digest) {
  if (!ReadProfileValue(text, "ver", "sha256", "", 256).empty()) return std::string(text);
  return ProfileWithValue(text, "ver", "sha256", digest).value_or(std::string(text));
}

std::optional<std::string> AnnouncedVersion(const fs::path& site_root) {
  for (const char* text : {"kam/kam.txt", "upload/my2.txt"}) {
    const auto bytes = ReadFileBytes(site_root / text);
    if (!bytes) continue;
    const std::string version = ReadProfileValue(*bytes, "ver", "ver", "", 256);
    if (!version.empty()) return version;
  }
  return std::nullopt;
}

std::string Sha256Hex(std::string_view bytes) {
  std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
  unsigned int size = 0;
  EVP_Digest(bytes.data(), bytes.size(), digest.data(), &size, EVP_sha256(), nullptr);
  static constexpr char kHex[] = "0123456789abcdef";
  std::string hex;
  for (unsigned int i = 0; i < size; ++i) {
    hex.push_back(kHex[digest[i] >> 4]);
    hex.push_back(kHex[digest[i] & 0xF]);
  }
  return hex;
}

}  // namespace kam::demo
