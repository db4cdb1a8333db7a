#include "update/installer_checks.h"

#include <gtest/gtest.h>

#include <string>

namespace kam::update {
namespace {

const std::string kDigest = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";

struct DigestCase {
  std::string expected;
  bool matches;
};

TEST(DigestMatches, IsStrictAboutForm) {
  std::string bad_letter = kDigest;
  bad_letter[10] = 'g';
  const DigestCase cases[] = {
      {kDigest, true},
      {"  BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD\t", true},
      {kDigest.substr(0, 63), false},
      {kDigest + "0", false},
      {"ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ae", false},
      {bad_letter, false},
      {"", false},
      {"ba7816bf8f01cfea414140de5dae2223 b00361a396177a9cb410ff61f20015ad", false},
  };
  for (const DigestCase& c : cases) {
    EXPECT_EQ(DigestMatches(c.expected, kDigest), c.matches) << "[" << c.expected << "]";
  }
}

struct KeyCase {
  std::string text;
  bool parses;
};

TEST(ParsePublisherKey, TakesExactly64HexDigits) {
  const std::string key = "04dfc56a1e59182e75f541f6e40880095d1057a1c64e8cb64e799f032fd3c837";
  std::string upper = key;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  const KeyCase cases[] = {
      {key, true},
      {upper, true},
      {" \t" + key + "\r\n", true},
      {"", false},
      {"   ", false},
      {key.substr(0, 63), false},
      {key + "0", false},
      {key.substr(0, 62) + "zz", false},
      {key.substr(0, 32) + " " + key.substr(32, 31), false},
      {"0x" + key.substr(2), false},
      {std::string(64, '-'), false},
  };
  for (const KeyCase& c : cases) {
    EXPECT_EQ(ParsePublisherKey(c.text).has_value(), c.parses) << "[" << c.text << "]";
  }
  const auto bytes = ParsePublisherKey(upper);
  ASSERT_TRUE(bytes.has_value());
  EXPECT_EQ((*bytes)[0], 0x04);
  EXPECT_EQ((*bytes)[1], 0xdf);
  EXPECT_EQ((*bytes)[31], 0x37);
}

}  // namespace
}  // namespace kam::update
