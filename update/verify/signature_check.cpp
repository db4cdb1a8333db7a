#include "update/verify/signature_check.h"

#include <openssl/evp.h>

#include <algorithm>
#include <memory>

#include "update/verify/update_message.h"

namespace kam::update {
namespace {

// 64 bytes take 22 groups of four characters; the last group holds one byte and two "=".
constexpr std::size_t kSignatureTextLength = 88;

struct PkeyFree {
  void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct MdCtxFree {
  void operator()(EVP_MD_CTX* ctx) const { EVP_MD_CTX_free(ctx); }
};

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

bool IsBase64Letter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' ||
         c == '/';
}

class LibcryptoSha256 : public Sha256Stream {
 public:
  LibcryptoSha256() : ctx_(EVP_MD_CTX_new()) {
    ok_ = ctx_ && EVP_DigestInit_ex(ctx_.get(), EVP_sha256(), nullptr) == 1;
  }

  void Update(std::string_view bytes) override {
    if (ok_ && !bytes.empty()) ok_ = EVP_DigestUpdate(ctx_.get(), bytes.data(), bytes.size()) == 1;
  }

  // A digest that failed along the way is no digest: the empty text matches nothing.
  std::string HexDigest() override {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    if (!ok_ || EVP_DigestFinal_ex(ctx_.get(), digest, &size) != 1) return {};
    ok_ = false;
    std::string hex;
    for (unsigned int i = 0; i < size; ++i) {
      hex += "0123456789abcdef"[digest[i] >> 4];
      hex += "0123456789abcdef"[digest[i] & 15];
    }
    return hex;
  }

 private:
  std::unique_ptr<EVP_MD_CTX, MdCtxFree> ctx_;
  bool ok_ = false;
};

}  // namespace

std::unique_ptr<Sha256Stream> NewLibcryptoSha256() { return std::make_unique<LibcryptoSha256>(); }

std::optional<Signature> DecodeSignatureText(std::string_view text) {
  while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsSpace(text.back())) text.remove_suffix(1);
  if (text.size() != kSignatureTextLength) return std::nullopt;
  for (std::size_t i = 0; i < kSignatureTextLength - 2; ++i) {
    if (!IsBase64Letter(text[i])) return std::nullopt;
  }
  if (text.substr(kSignatureTextLength - 2) != "==") return std::nullopt;
  // The decoder writes the padding out as zero bytes: three bytes for every group.
  unsigned char decoded[kSignatureTextLength / 4 * 3];
  const int size = EVP_DecodeBlock(decoded, reinterpret_cast<const unsigned char*>(text.data()),
                                   static_cast<int>(text.size()));
  if (size != static_cast<int>(sizeof decoded)) return std::nullopt;
  Signature signature;
  std::copy_n(decoded, signature.size(), signature.begin());
  return signature;
}

SignatureVerdict CheckEd25519(const PublisherKey& key, std::string_view message,
                              std::string_view signature_text) {
  const std::optional<Signature> signature = DecodeSignatureText(signature_text);
  if (!signature) return SignatureVerdict::kMalformed;
  std::unique_ptr<EVP_PKEY, PkeyFree> pkey(
      EVP_PKEY_new_raw_public_key(EVP_PKEY_ED25519, nullptr, key.data(), key.size()));
  if (!pkey) return SignatureVerdict::kBadKey;
  std::unique_ptr<EVP_MD_CTX, MdCtxFree> ctx(EVP_MD_CTX_new());
  // Ed25519 hashes the message itself: no digest is named, and the whole message goes in at once.
  if (!ctx || EVP_DigestVerifyInit(ctx.get(), nullptr, nullptr, nullptr, pkey.get()) != 1) {
    return SignatureVerdict::kBadKey;
  }
  const int verified =
      EVP_DigestVerify(ctx.get(), signature->data(), signature->size(),
                       reinterpret_cast<const unsigned char*>(message.data()), message.size());
  return verified == 1 ? SignatureVerdict::kGood : SignatureVerdict::kWrong;
}

SignatureVerdict CheckUpdateSignature(const PublisherKey& key, std::string_view version,
                                      std::string_view sha256_hex,
                                      std::string_view signature_text) {
  if (!IsSignableVersion(version)) return SignatureVerdict::kBadVersion;
  const std::optional<std::string> message = UpdateMessage(version, sha256_hex);
  // A digest not in its one form names no installer, so nothing can be signed for it.
  if (!message) {
    return DecodeSignatureText(signature_text) ? SignatureVerdict::kWrong
                                               : SignatureVerdict::kMalformed;
  }
  return CheckEd25519(key, *message, signature_text);
}

LibcryptoInstallerChecks::LibcryptoInstallerChecks(std::string_view key_hex)
    : has_key_(!key_hex.empty()), key_(ParsePublisherKey(key_hex)) {}

SignatureVerdict LibcryptoInstallerChecks::CheckSignature(std::string_view version,
                                                          std::string_view sha256_hex,
                                                          std::string_view signature_text) {
  if (!key_) return SignatureVerdict::kBadKey;
  return CheckUpdateSignature(*key_, version, sha256_hex, signature_text);
}

}  // namespace kam::update
