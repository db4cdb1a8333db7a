// What the updater checks about a downloaded installer before it may run it: the digest the
// operators publish in the settings, and the publisher's signature, fetched beside it, of the
// offered version and the installer's digest. The cryptography is a port (update/verify/ has it
// on libcrypto); the decisions are the flow's.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace kam::update {

// A signature file is the base64 text of 64 bytes (88 characters): anything past this is
// refused without being read further.
inline constexpr std::int64_t kMaxSignatureBytes = 1024;

enum class SignatureVerdict {
  kGood,
  kMalformed,   // not the base64 text of 64 bytes (empty, binary, cut short, too long)
  kWrong,       // well-formed, but not the publisher's signature of this version and digest
  kBadVersion,  // the offered version cannot be signed: it holds a line end or a NUL
  kBadKey,      // the built-in key is not a usable Ed25519 public key
};

// A short English name for the log ("good", "malformed", ...).
std::string_view SignatureVerdictName(SignatureVerdict verdict);

// SHA-256 of bytes given piece by piece, as a download arrives.
class Sha256Stream {
 public:
  virtual ~Sha256Stream() = default;
  virtual void Update(std::string_view bytes) = 0;
  // The digest of everything given, as 64 lower-case hex digits.
  virtual std::string HexDigest() = 0;
};

class InstallerChecks {
 public:
  virtual ~InstallerChecks() = default;
  // True when the build holds a publisher's key: an installer then runs only when signed.
  virtual bool HasPublisherKey() const = 0;
  // A fresh digest for one download.
  virtual std::unique_ptr<Sha256Stream> NewSha256() = 0;
  // Whether signature_text is the publisher's signature of the installer with this SHA-256
  // (64 lower-case hex digits) offered as this version: a signature of another version or
  // another installer is wrong.
  virtual SignatureVerdict CheckSignature(std::string_view version, std::string_view sha256_hex,
                                          std::string_view signature_text) = 0;
};

// True when expected (64 hexadecimal digits, either case, blanks around it ignored) names
// the digest actual_hex.
bool DigestMatches(std::string_view expected, std::string_view actual_hex);

// The key option's text as the key's 32 bytes: 64 hex digits, either case, blanks around them
// ignored. Nothing for anything else, the empty text included.
std::optional<std::array<std::uint8_t, 32>> ParsePublisherKey(std::string_view hex);

}  // namespace kam::update
