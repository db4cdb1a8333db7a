#include "update/verify/signature_check.h"

#include <gtest/gtest.h>

#include <cctype>
#include <random>
#include <string>

#include "demo/installer_signer.h"

namespace kam::update {
namespace {

using demo::InstallerSigner;

// An installer of several download pieces, with every byte value in it.
std::string InstallerBytes() {
  std::string bytes = "#!/bin/sh\nexit 0\n";
  std::mt19937 random(15);
  while (bytes.size() < 200000) bytes.push_back(static_cast<char>(random() & 0xff));
  return bytes;
}

std::string Base64Of(const std::string& bytes) {
  static constexpr char kLetters[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string text;
  std::size_t i = 0;
  for (; i + 2 < bytes.size(); i += 3) {
    const unsigned v = static_cast<unsigned char>(bytes[i]) << 16 |
                       static_cast<unsigned char>(bytes[i + 1]) << 8 |
                       static_cast<unsigned char>(bytes[i + 2]);
    for (int shift : {18, 12, 6, 0}) text += kLetters[(v >> shift) & 63];
  }
  if (bytes.size() - i == 1) {
    const unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
    text += std::string{kLetters[v >> 18], kLetters[(v >> 12) & 63], '=', '='};
  } else if (bytes.size() - i == 2) {
    const unsigned v =
        static_cast<unsigned char>(bytes[i]) << 16 | static_cast<unsigned char>(bytes[i + 1]) << 8;
    text += std::string{kLetters[v >> 18], kLetters[(v >> 12) & 63], kLetters[(v >> 6) & 63], '='};
  }
  return text;
}

// Digested as the updater digests a download: in pieces of uneven sizes.
std::string DigestOf(const std::string& bytes) {
  auto digest = NewLibcryptoSha256();
  std::size_t at = 0;
  for (std::size_t piece = 1; at < bytes.size(); piece = piece * 3 + 1) {
    digest->Update(std::string_view(bytes).substr(at, piece));
    at += piece;
  }
  return digest->HexDigest();
}

constexpr char kVersion[] = "2.0.1";

class SignatureCheckTest : public ::testing::Test {
 protected:
  SignatureCheckTest()
      : signer_(InstallerSigner::Generate()),
        other_signer_(InstallerSigner::Generate()),
        checks_(signer_.PublicKeyHex()),
        sha256_(DigestOf(InstallerBytes())),
        good_(signer_.UpdateSignatureText(kVersion, InstallerBytes())) {}

  // The signature text without its line end.
  std::string Good() const { return good_.substr(0, good_.size() - 1); }
  SignatureVerdict Check(std::string_view text) {
    return checks_.CheckSignature(kVersion, sha256_, text);
  }

  InstallerSigner signer_;
  InstallerSigner other_signer_;
  LibcryptoInstallerChecks checks_;
  std::string sha256_;
  std::string good_;
};

TEST_F(SignatureCheckTest, SignerWritesOneLineOfBase64Of64Bytes) {
  ASSERT_EQ(good_.size(), 89u);
  EXPECT_EQ(good_.back(), '\n');
  EXPECT_EQ(good_.substr(86, 2), "==");
}

struct VerdictCase {
  const char* what;
  std::string text;
  SignatureVerdict verdict;
};

TEST_F(SignatureCheckTest, VerdictsForEveryKindOfSignatureText) {
  std::string flipped = Good();
  flipped[10] = flipped[10] == 'A' ? 'B' : 'A';
  std::string binary(88, '\0');
  for (std::size_t i = 0; i < binary.size(); ++i) binary[i] = static_cast<char>(i * 37 + 128);
  std::string url_safe = Good();
  for (char& c : url_safe) c = c == '+' ? '-' : c == '/' ? '_' : c;
  const bool has_url_letters = url_safe != Good();
  std::string wrapped = Good();
  wrapped.insert(76, "\n");  // as base64 without -w0 would write it

  const VerdictCase cases[] = {
      {"good", Good(), SignatureVerdict::kGood},
      {"good with its line end", good_, SignatureVerdict::kGood},
      {"whitespace around", " \t\r\n" + Good() + "\r\n\n  \v\f", SignatureVerdict::kGood},
      {"another file's", signer_.UpdateSignatureText(kVersion, "another installer"),
       SignatureVerdict::kWrong},
      {"another key's", other_signer_.UpdateSignatureText(kVersion, InstallerBytes()),
       SignatureVerdict::kWrong},
      {"the bytes alone", signer_.SignatureText(InstallerBytes()), SignatureVerdict::kWrong},
      {"one letter changed", flipped, SignatureVerdict::kWrong},
      {"64 zero bytes", Base64Of(std::string(64, '\0')), SignatureVerdict::kWrong},
      {"empty", "", SignatureVerdict::kMalformed},
      {"only whitespace", " \n\t ", SignatureVerdict::kMalformed},
      {"cut short", Good().substr(0, 44), SignatureVerdict::kMalformed},
      {"cut by one letter", Good().substr(0, 87), SignatureVerdict::kMalformed},
      {"63 bytes", Base64Of(std::string(63, 'x')), SignatureVerdict::kMalformed},
      {"65 bytes", Base64Of(std::string(65, 'x')), SignatureVerdict::kMalformed},
      {"without padding", Good().substr(0, 86), SignatureVerdict::kMalformed},
      {"padding letters", Good().substr(0, 86) + "AA", SignatureVerdict::kMalformed},
      {"a letter outside base64", "*" + Good().substr(1), SignatureVerdict::kMalformed},
      {"a NUL inside", Good().substr(0, 40) + '\0' + Good().substr(41),
       SignatureVerdict::kMalformed},
      {"line break inside", wrapped, SignatureVerdict::kMalformed},
      {"twice", Good() + "\n" + Good(), SignatureVerdict::kMalformed},
      {"binary", binary, SignatureVerdict::kMalformed},
      {"huge", std::string(1 << 20, 'A'), SignatureVerdict::kMalformed},
      {"hex instead of base64", std::string(128, 'a'), SignatureVerdict::kMalformed},
  };
  for (const VerdictCase& c : cases) {
    EXPECT_EQ(Check(c.text), c.verdict) << c.what;
  }
  if (has_url_letters) {
    EXPECT_EQ(Check(url_safe), SignatureVerdict::kMalformed);
  }
}

TEST_F(SignatureCheckTest, OneByteChangedAnywhereIsAnotherInstaller) {
  for (std::size_t at :
       {std::size_t{0}, std::size_t{65535}, std::size_t{65536}, std::size_t{199999}}) {
    std::string changed = InstallerBytes();
    changed[at] = static_cast<char>(changed[at] ^ 1);
    EXPECT_EQ(checks_.CheckSignature(kVersion, DigestOf(changed), good_), SignatureVerdict::kWrong)
        << at;
  }
  EXPECT_EQ(checks_.CheckSignature(kVersion, DigestOf(InstallerBytes()), good_),
            SignatureVerdict::kGood);
}

TEST_F(SignatureCheckTest, EmptyInstallerHasASignatureToo) {
  const std::string empty_sha = DigestOf("");
  EXPECT_EQ(checks_.CheckSignature(kVersion, empty_sha, signer_.UpdateSignatureText(kVersion, "")),
            SignatureVerdict::kGood);
  EXPECT_EQ(checks_.CheckSignature(kVersion, empty_sha, good_), SignatureVerdict::kWrong);
}

// A digest that failed on the way is empty; nothing verifies for it.
TEST_F(SignatureCheckTest, DigestNotInItsOneFormPassesNothing) {
  std::string upper = sha256_;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  for (const std::string& sha : {std::string(), upper, sha256_.substr(1), sha256_ + "0"}) {
    EXPECT_EQ(checks_.CheckSignature(kVersion, sha, good_), SignatureVerdict::kWrong) << sha;
    EXPECT_EQ(checks_.CheckSignature(kVersion, sha, "x"), SignatureVerdict::kMalformed) << sha;
  }
}

TEST(LibcryptoInstallerChecks, KeyOptionDecidesWhetherSignaturesAreNeeded) {
  const InstallerSigner signer = InstallerSigner::Generate();
  const std::string sha256 = DigestOf("x");
  EXPECT_FALSE(LibcryptoInstallerChecks("").HasPublisherKey());
  EXPECT_TRUE(LibcryptoInstallerChecks(signer.PublicKeyHex()).HasPublisherKey());
  // A key text that does not parse refuses every installer rather than none.
  for (const char* bad : {"xyz", "04dfc56a", " "}) {
    LibcryptoInstallerChecks checks(bad);
    EXPECT_TRUE(checks.HasPublisherKey()) << bad;
    EXPECT_EQ(checks.CheckSignature("1.0", sha256, signer.UpdateSignatureText("1.0", "x")),
              SignatureVerdict::kBadKey)
        << bad;
  }
}

TEST(LibcryptoSha256, KnownDigestsWhateverThePieces) {
  struct Case {
    std::string bytes;
    const char* digest;
  };
  const Case cases[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {std::string(1000000, 'a'),
       "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DigestOf(c.bytes), c.digest) << c.bytes.size() << " bytes in pieces";
    auto whole = NewLibcryptoSha256();
    whole->Update(c.bytes);
    EXPECT_EQ(whole->HexDigest(), c.digest) << c.bytes.size() << " bytes at once";
  }
}

}  // namespace
}  // namespace kam::update
