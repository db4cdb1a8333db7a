#include "update/sha256.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/temp_dir.h"

namespace kam::update {
namespace {

struct Vector {
  std::string message;
  const char* digest;
};

// Published test vectors (FIPS 180-4 examples and the NIST short-message set), chosen to cover
// the padding boundaries: 55, 56 and 64 bytes fall on either side of the length field.
const Vector kVectors[] = {
    {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
    {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
    {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
     "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
    {"abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqr"
     "lmnopqrsmnopqrstnopqrstu",
     "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1"},
    {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    {std::string(55, 'a'), "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318"},
    {std::string(56, 'a'), "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a"},
    {std::string(64, 'a'), "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"},
};

TEST(Sha256, PublishedVectors) {
  for (const Vector& v : kVectors) {
    EXPECT_EQ(Sha256Hex(v.message), v.digest) << "message of " << v.message.size() << " bytes";
  }
}

TEST(Sha256, PiecewiseUpdatesEqualOneUpdate) {
  std::string message;
  for (int i = 0; i < 1000; ++i) message.push_back(static_cast<char>(i * 7));
  for (std::size_t step : {1u, 3u, 63u, 64u, 65u, 200u}) {
    Sha256 hash;
    for (std::size_t at = 0; at < message.size(); at += step) {
      hash.Update(std::string_view(message).substr(at, step));
    }
    auto digest = hash.Finish();
    std::string hex;
    char buf[3];
    for (auto byte : digest) {
      std::snprintf(buf, sizeof buf, "%02x", byte);
      hex += buf;
    }
    EXPECT_EQ(hex, Sha256Hex(message)) << "step " << step;
  }
}

TEST(Sha256, FileDigest) {
  kam::testing::TempDir dir;
  auto path = dir.Write("setup.exe", "abc");
  EXPECT_EQ(Sha256HexOfFile(path),
            "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_FALSE(Sha256HexOfFile(dir.path() / "missing.exe").has_value());
}

TEST(Sha256, DigestMatchesIsStrictAboutForm) {
  const std::string actual = Sha256Hex("abc");
  EXPECT_TRUE(DigestMatches(actual, actual));
  EXPECT_TRUE(
      DigestMatches("  BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD ", actual));
  EXPECT_FALSE(DigestMatches(actual.substr(0, 63), actual));
  EXPECT_FALSE(DigestMatches(actual + "0", actual));
  EXPECT_FALSE(DigestMatches(Sha256Hex("abd"), actual));
  std::string bad = actual;
  bad[10] = 'g';
  EXPECT_FALSE(DigestMatches(bad, actual));
  EXPECT_FALSE(DigestMatches("", actual));
}

}  // namespace
}  // namespace kam::update
