// The installer checks on OpenSSL's libcrypto: SHA-256 of the download as it arrives, and the
// publisher's Ed25519 signature, given as base64 text, of the update message (update_message.h)
// for the offered version and that digest.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "update/installer_checks.h"

namespace kam::update {

using PublisherKey = std::array<std::uint8_t, 32>;
using Signature = std::array<std::uint8_t, 64>;

// A SHA-256 on libcrypto.
std::unique_ptr<Sha256Stream> NewLibcryptoSha256();

// The 64 bytes of a signature file's text: standard base64 ("+", "/", "=" padding) of exactly
// 64 bytes, with any whitespace around it; nothing for anything else.
std::optional<Signature> DecodeSignatureText(std::string_view text);

// Whether signature_text is key's Ed25519 signature of message.
SignatureVerdict CheckEd25519(const PublisherKey& key, std::string_view message,
                              std::string_view signature_text);

// Whether signature_text is key's signature of the update message for version and sha256_hex.
SignatureVerdict CheckUpdateSignature(const PublisherKey& key, std::string_view version,
                                      std::string_view sha256_hex, std::string_view signature_text);

class LibcryptoInstallerChecks : public InstallerChecks {
 public:
  // key_hex: the build's key option, 64 hex digits; empty for none. A key text that does not
  // parse still counts as a key, and then no installer passes.
  explicit LibcryptoInstallerChecks(std::string_view key_hex);

  bool HasPublisherKey() const override { return has_key_; }
  std::unique_ptr<Sha256Stream> NewSha256() override { return NewLibcryptoSha256(); }
  SignatureVerdict CheckSignature(std::string_view version, std::string_view sha256_hex,
                                  std::string_view signature_text) override;

 private:
  bool has_key_ = false;
  std::optional<PublisherKey> key_;
};

}  // namespace kam::update
