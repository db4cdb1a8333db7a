// Signs installers with an Ed25519 private key the way the operators' signing command does
// (scripts/sign-installer.sh): the signature of the update message for the version the installer
// is offered as and its SHA-256, as one line of base64. The demo site signs its installer with
// the demo key; tests sign with keys of their own.
#pragma once

#include <openssl/types.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace kam::demo {

class InstallerSigner {
 public:
  // The key of a PEM file (as "openssl genpkey -algorithm ed25519" writes it); nothing when the
  // file is missing or holds no Ed25519 private key.
  static std::optional<InstallerSigner> FromPemFile(const std::filesystem::path& pem);
  // A fresh random key.
  static InstallerSigner Generate();

  // The public half as 64 lower-case hex digits (the form of the build's key option).
  std::string PublicKeyHex() const;
  // The base64 text of the signature of bytes, with a line end.
  std::string SignatureText(std::string_view bytes) const;
  // The signature text for installer_bytes offered as version; empty for a version no message
  // can carry.
  std::string UpdateSignatureText(std::string_view version, std::string_view installer_bytes) const;

 private:
  struct Free {
    void operator()(EVP_PKEY* key) const;
  };
  explicit InstallerSigner(EVP_PKEY* key) : key_(key, Free{}) {}
  std::shared_ptr<EVP_PKEY> key_;
};

}  // namespace kam::demo
