#include "update/verify/signature_check.h"

#include <openssl/evp.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <vector>

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

// Opens a regular file only: a folder opens too, but fails on its first read.
std::optional<std::ifstream> OpenFile(const std::filesystem::path& file) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec)) return std::nullopt;
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  return in;
}

// Ed25519 takes the message whole.
std::optional<std::string> ReadWholeFile(const std::filesystem::path& file) {
  auto in = OpenFile(file);
  if (!in) return std::nullopt;
  std::string bytes;
  std::vector<char> buffer(1 << 16);
  while (*in) {
    in->read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    bytes.append(buffer.data(), static_cast<std::size_t>(in->gcount()));
  }
  if (in->bad()) return std::nullopt;
  return bytes;
}

}  // namespace

std::optional<std::string> FileSha256Hex(const std::filesystem::path& file) {
  auto opened = OpenFile(file);
  if (!opened) return std::nullopt;
  std::ifstream& in = *opened;
  std::unique_ptr<EVP_MD_CTX, MdCtxFree> ctx(EVP_MD_CTX_new());
  if (!ctx || EVP_DigestInit_ex(ctx.get(), EVP_sha256(), nullptr) != 1) return std::nullopt;
  std::vector<char> buffer(1 << 16);
  while (in) {
    in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    const auto got = static_cast<std::size_t>(in.gcount());
    if (got > 0 && EVP_DigestUpdate(ctx.get(), buffer.data(), got) != 1) return std::nullopt;
  }
  if (in.bad()) return std::nullopt;
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int size = 0;
  if (EVP_DigestFinal_ex(ctx.get(), digest, &size) != 1) return std::nullopt;
  std::string hex;
  for (unsigned int i = 0; i < size; ++i) {
    hex += "0123456789abcdef"[digest[i] >> 4];
    hex += "0123456789abcdef"[digest[i] & 15];
  }
  return hex;
}

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

LibcryptoInstallerChecks::LibcryptoInstallerChecks(std::string_view key_hex)
    : has_key_(!key_hex.empty()), key_(ParsePublisherKey(key_hex)) {}

std::optional<std::string> LibcryptoInstallerChecks::Sha256Hex(const std::filesystem::path& file) {
  return FileSha256Hex(file);
}

SignatureVerdict LibcryptoInstallerChecks::CheckSignature(const std::filesystem::path& file,
                                                          std::string_view signature_text) {
  if (!key_) return SignatureVerdict::kBadKey;
  if (!DecodeSignatureText(signature_text)) return SignatureVerdict::kMalformed;
  const std::optional<std::string> bytes = ReadWholeFile(file);
  if (!bytes) return SignatureVerdict::kUnreadable;
  return CheckEd25519(*key_, *bytes, signature_text);
}

}  // namespace kam::update
