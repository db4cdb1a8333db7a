// The signed update message and its check, on any offered version, installer and signature text:
// the message reads back as exactly the version and digest it was built from (or is refused for a
// version that would make it ambiguous), a signature holds for its own version and installer and
// for no other, the bytes alone are never enough, and a signature text passes only when it is,
// whitespace aside, the publisher's one signature of that message.
#include <fuzzer/FuzzedDataProvider.h>
#include <openssl/evp.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "update/installer_checks.h"
#include "update/verify/signature_check.h"
#include "update/verify/update_message.h"

namespace {

using kam::update::SignatureVerdict;

void Check(bool ok) {
  if (!ok) std::abort();
}

// A fixed key, so that every run of an input checks the same thing.
struct Publisher {
  Publisher() {
    unsigned char seed[32];
    for (int i = 0; i < 32; ++i) seed[i] = static_cast<unsigned char>(i * 7 + 1);
    key = EVP_PKEY_new_raw_private_key(EVP_PKEY_ED25519, nullptr, seed, sizeof seed);
    std::size_t size = public_key.size();
    Check(key != nullptr && EVP_PKEY_get_raw_public_key(key, public_key.data(), &size) == 1);
  }

  // The base64 text of the signature of message, with a line end, as the signing command writes
  // it; raw gets the 64 bytes.
  std::string Sign(std::string_view message, kam::update::Signature* raw = nullptr) const {
    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> ctx(EVP_MD_CTX_new(), EVP_MD_CTX_free);
    kam::update::Signature signature{};
    std::size_t size = signature.size();
    Check(ctx && EVP_DigestSignInit(ctx.get(), nullptr, nullptr, nullptr, key) == 1 &&
          EVP_DigestSign(ctx.get(), signature.data(), &size,
                         reinterpret_cast<const unsigned char*>(message.data()),
                         message.size()) == 1);
    if (raw != nullptr) *raw = signature;
    unsigned char text[89];
    const int length = EVP_EncodeBlock(text, signature.data(), static_cast<int>(size));
    return std::string(reinterpret_cast<const char*>(text), static_cast<std::size_t>(length)) +
           "\n";
  }

  EVP_PKEY* key = nullptr;
  kam::update::PublisherKey public_key{};
};

std::string DigestInPieces(std::string_view bytes, std::size_t piece) {
  auto digest = kam::update::NewLibcryptoSha256();
  for (std::size_t at = 0; at < bytes.size(); at += piece) digest->Update(bytes.substr(at, piece));
  return digest->HexDigest();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const Publisher publisher;
  const auto& key = publisher.public_key;
  FuzzedDataProvider in(data, size);
  const std::string version = in.ConsumeRandomLengthString(64);
  const std::string other_version = in.ConsumeRandomLengthString(64);
  const std::size_t piece = in.ConsumeIntegralInRange<std::size_t>(1, 64);
  const std::string installer = in.ConsumeRandomLengthString(512);
  const std::string signature_text = in.ConsumeRemainingBytesAsString();

  // However the download is cut into pieces, its digest is the same 64 lower-case hex digits.
  const std::string sha256 = DigestInPieces(installer, piece);
  Check(sha256 == DigestInPieces(installer, installer.size() + 1));
  Check(sha256.size() == 64 && sha256.find_first_not_of("0123456789abcdef") == std::string::npos);

  const bool signable = version.find_first_of(std::string_view("\n\r\0", 3)) == std::string::npos;
  Check(kam::update::IsSignableVersion(version) == signable);
  const std::optional<std::string> message = kam::update::UpdateMessage(version, sha256);
  Check(message.has_value() == signable);
  if (!signable) {
    Check(kam::update::CheckUpdateSignature(key, version, sha256, signature_text) ==
          SignatureVerdict::kBadVersion);
    return 0;
  }

  // Three lines that give back the version and the digest, and nothing else.
  const std::string header = std::string(kam::update::kUpdateMessageHeader) + "\nversion=";
  Check(message->starts_with(header) && message->ends_with("\n"));
  const std::size_t version_end = message->find('\n', header.size());
  Check(message->substr(header.size(), version_end - header.size()) == version);
  Check(message->substr(version_end) == "\nsha256=" + sha256 + "\n");

  kam::update::Signature good_raw{};
  const std::string good = publisher.Sign(*message, &good_raw);
  Check(kam::update::CheckUpdateSignature(key, version, sha256, good) == SignatureVerdict::kGood);
  Check(kam::update::CheckUpdateSignature(key, version, sha256, " \r\n\t" + good + "\n ") ==
        SignatureVerdict::kGood);
  // Another version, another installer, or the installer's bytes alone: never good.
  if (other_version != version) {
    Check(kam::update::CheckUpdateSignature(key, other_version, sha256, good) !=
          SignatureVerdict::kGood);
  }
  const std::string other_sha256 = DigestInPieces(installer + "x", piece);
  Check(kam::update::CheckUpdateSignature(key, version, other_sha256, good) ==
        SignatureVerdict::kWrong);
  Check(kam::update::CheckUpdateSignature(key, version, sha256, publisher.Sign(installer)) ==
        SignatureVerdict::kWrong);

  // Any text: malformed exactly when it is not the base64 of 64 bytes, and good only as the
  // one signature Ed25519 gives this key and message.
  const SignatureVerdict verdict =
      kam::update::CheckUpdateSignature(key, version, sha256, signature_text);
  const auto decoded = kam::update::DecodeSignatureText(signature_text);
  Check((verdict == SignatureVerdict::kMalformed) == !decoded.has_value());
  Check(verdict == SignatureVerdict::kGood || verdict == SignatureVerdict::kWrong ||
        verdict == SignatureVerdict::kMalformed);
  if (verdict == SignatureVerdict::kGood) Check(*decoded == good_raw);
  return 0;
}
