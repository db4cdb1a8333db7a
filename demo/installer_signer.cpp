#include "demo/installer_signer.h"

#include <openssl/evp.h>
#include <openssl/pem.h>

#include <cstdio>
#include <stdexcept>
#include <vector>

#include "demo/installer_source.h"
#include "update/verify/update_message.h"

namespace kam::demo {

void InstallerSigner::Free::operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }

std::optional<InstallerSigner> InstallerSigner::FromPemFile(const std::filesystem::path& pem) {
  std::FILE* file = std::fopen(pem.c_str(), "rb");
  if (file == nullptr) return std::nullopt;
  EVP_PKEY* key = PEM_read_PrivateKey(file, nullptr, nullptr, nullptr);
  std::fclose(file);
  if (key == nullptr) return std::nullopt;
  if (EVP_PKEY_get_id(key) != EVP_PKEY_ED25519) {
    EVP_PKEY_free(key);
    return std::nullopt;
  }
  return InstallerSigner(key);
}

InstallerSigner InstallerSigner::Generate() {
  EVP_PKEY* key = EVP_PKEY_Q_keygen(nullptr, nullptr, "ED25519");
  if (key == nullptr) throw std::runtime_error("Ed25519 key generation failed");
  return InstallerSigner(key);
}

std::string InstallerSigner::PublicKeyHex() const {
  unsigned char raw[32];
  std::size_t size = sizeof raw;
  if (EVP_PKEY_get_raw_public_key(key_.get(), raw, &size) != 1) return {};
  std::string hex;
  for (std::size_t i = 0; i < size; ++i) {
    hex += "0123456789abcdef"[raw[i] >> 4];
    hex += "0123456789abcdef"[raw[i] & 15];
  }
  return hex;
}

std::string InstallerSigner::SignatureText(std::string_view bytes) const {
  EVP_MD_CTX* ctx = EVP_MD_CTX_new();
  unsigned char signature[64];
  std::size_t size = sizeof signature;
  const bool signed_ok =
      ctx != nullptr && EVP_DigestSignInit(ctx, nullptr, nullptr, nullptr, key_.get()) == 1 &&
      EVP_DigestSign(ctx, signature, &size, reinterpret_cast<const unsigned char*>(bytes.data()),
                     bytes.size()) == 1;
  EVP_MD_CTX_free(ctx);
  if (!signed_ok) return {};
  unsigned char text[4 * ((sizeof signature + 2) / 3) + 1];
  const int length = EVP_EncodeBlock(text, signature, static_cast<int>(size));
  return std::string(reinterpret_cast<const char*>(text), static_cast<std::size_t>(length)) + "\n";
}

std::string InstallerSigner::UpdateSignatureText(std::string_view version,
                                                 std::string_view installer_bytes) const {
  const auto message = update::UpdateMessage(version, Sha256Hex(installer_bytes));
  return message ? SignatureText(*message) : std::string();
}

}  // namespace kam::demo
