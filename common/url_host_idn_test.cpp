// International host names as browsers read them (UTS #46, non-transitional). Needs libidn2: a
// build without it refuses these hosts and leaves this file out.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "common/url_host.h"

namespace kam {
namespace {

TEST(InternationalHost, MapsAndEncodesAsBrowsersDo) {
  const struct {
    const char* name;
    std::string host;
    std::optional<std::string> canonical;
  } cases[] = {
      {"FullWidthLettersAreAscii", "\xEF\xBD\x85xample.com", "example.com"},
      {"IdeographicFullStopIsADot",
       "example\xE3\x80\x82"
       "com",
       "example.com"},
      {"FullWidthFullStopIsADot",
       "example\xEF\xBC\x8E"
       "com",
       "example.com"},
      {"FullWidthDigitsMakeAnAddress", "\xEF\xBC\x91\x32\x37.0.0.1", "127.0.0.1"},
      {"IdnLabelAsPunycode", "\xE4\xBE\x8B\xE5\xAD\x90.\xE6\xB5\x8B\xE8\xAF\x95",
       "xn--fsqu00a.xn--0zwm56d"},
      {"IdnMixedLabel",
       "b\xC3\xBC"
       "cher.example",
       "xn--bcher-kva.example"},
      {"IdnUpperCaseFolds",
       "B\xC3\x9C"
       "CHER.example",
       "xn--bcher-kva.example"},
      {"PercentEncodedIdn", "b%C3%BCcher.example", "xn--bcher-kva.example"},
      {"PunycodeAsWritten", "XN--FSQU00A.example", "xn--fsqu00a.example"},
      {"TrailingDotKept",
       "b\xC3\xBC"
       "cher.example.",
       "xn--bcher-kva.example."},
      // Non-transitional: the sharp s stays itself, as in current browsers, not "ss".
      {"SharpSIsItsOwnLetter", "fa\xC3\x9F.de", "xn--fa-hia.de"},
      {"KelvinSignIsK", "\xE2\x84\xAA.example", "k.example"},
      {"SoftHyphenMappedAway",
       "\xC2\xAD"
       "ab.example",
       "ab.example"},
      {"DecomposedInputNormalised",
       "bu\xCC\x88"
       "cher.example",
       "xn--bcher-kva.example"},
      {"BrokenPunycodeRefused", "xn--zz.example", std::nullopt},
      {"EmptyPunycodeRefused", "xn--.example", std::nullopt},
      {"JoinerOutOfPlaceRefused",
       "a\xE2\x80\x8D"
       "b.example",
       std::nullopt},
      {"FullWidthPercentRefused",
       "\xEF\xBC\x85"
       "41.example",
       std::nullopt},
      {"FullWidthSolidusRefused",
       "a\xEF\xBC\x8F"
       "b.example",
       std::nullopt},
      {"InvalidUtf8Refused",
       "b\xC3"
       "cher.example",
       std::nullopt},
      {"ReplacementCharacterRefused", "\xEF\xBF\xBD.example", std::nullopt},
      {"NulRefused",
       std::string("b\xC3\xBC"
                   "ch\0er.example",
                   16),
       std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CanonicalHost(c.host), c.canonical) << c.name;
  }
}

// The RFC 3492 samples, now read through the library.
TEST(InternationalHost, LabelsMatchTheStandardsSamples) {
  EXPECT_EQ(CanonicalHost("m\xC3\xBCnchen"), "xn--mnchen-3ya");
  EXPECT_EQ(CanonicalHost("\xE4\xBE\x8B\xE5\xAD\x90"), "xn--fsqu00a");
  // RFC 3492 7.1 (B), Chinese (simplified).
  EXPECT_EQ(CanonicalHost("\xE4\xBB\x96\xE4\xBB\xAC\xE4\xB8\xBA\xE4\xBB\x80\xE4\xB9\x88\xE4\xB8\x8D"
                          "\xE8\xAF\xB4\xE4\xB8\xAD\xE6\x96\x87"),
            "xn--ihqwcrb4cv8a8dqg056pqjye");
  // RFC 3492 7.1 (L), mixed with ASCII; the upper-case B is folded first, which leaves the
  // encoded part as it is.
  EXPECT_EQ(CanonicalHost("3\xE5\xB9\xB4"
                          "B\xE7\xB5\x84\xE9\x87\x91\xE5\x85\xAB\xE5\x85\x88\xE7\x94\x9F"),
            "xn--3b-ww4c5e180e575a65lsy2b");
}

TEST(InternationalHost, CanonicalTextReadsBackTheSame) {
  for (const char* host : {"b\xC3\xBC"
                           "cher.example",
                           "\xE4\xBE\x8B\xE5\xAD\x90.\xE6\xB5\x8B", "\xEF\xBD\x85xample.com"}) {
    const auto once = CanonicalHost(host);
    ASSERT_TRUE(once) << host;
    EXPECT_EQ(CanonicalHost(*once), once) << host;
  }
}

}  // namespace
}  // namespace kam
