#include "common/url_host.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace kam {
namespace {

struct HostCase {
  const char* name;
  std::string host;
  std::optional<std::string> canonical;
};

void PrintTo(const HostCase& c, std::ostream* os) { *os << c.name; }

class HostRule : public ::testing::TestWithParam<HostCase> {};

TEST_P(HostRule, ReadsTheHostAsABrowserDoes) {
  EXPECT_EQ(CanonicalHost(GetParam().host), GetParam().canonical);
}

INSTANTIATE_TEST_SUITE_P(
    Hosts, HostRule,
    ::testing::Values(
        HostCase{"PlainName", "example.com", "example.com"},
        HostCase{"UpperCaseFolds", "ExAmPle.COM", "example.com"},
        HostCase{"TrailingDotKept", "example.com.", "example.com."},
        HostCase{"PercentDecoded", "ex%41mple.com", "example.com"},
        HostCase{"EncodedSlashRefused", "site%2Fevil", std::nullopt},
        HostCase{"EncodedAtRefused", "site%40evil", std::nullopt},
        HostCase{"EncodedPercentRefused", "site%2541", std::nullopt},
        HostCase{"BackslashRefused", "site\\evil", std::nullopt},
        HostCase{"SpaceRefused", "si te", std::nullopt}, HostCase{"Empty", "", std::nullopt},
        HostCase{"HyphensAnywhereInAnAsciiName", "r3---sn-4g5e.-a-.Example",
                 "r3---sn-4g5e.-a-.example"},
        HostCase{"UnderscoreKept", "my_host.example", "my_host.example"},
        HostCase{"EmptyLabelsKept", "a..b", "a..b"},
        HostCase{"InvalidUtf8Refused",
                 "\xFF"
                 "site",
                 std::nullopt},
        HostCase{"Ipv4Dotted", "127.0.0.1", "127.0.0.1"},
        HostCase{"Ipv4Short", "127.1", "127.0.0.1"}, HostCase{"Ipv4Hex", "0x7f.0.0.1", "127.0.0.1"},
        HostCase{"Ipv4Octal", "0177.0.0.01", "127.0.0.1"},
        HostCase{"Ipv4OneNumber", "2130706433", "127.0.0.1"},
        HostCase{"Ipv4TrailingDot", "127.0.0.2.", "127.0.0.2"},
        HostCase{"Ipv4PartTooBig", "127.0.0.256", std::nullopt},
        HostCase{"Ipv4TooManyParts", "1.2.3.4.5", std::nullopt},
        HostCase{"Ipv4BadDigit", "1.2.3.09", std::nullopt},
        HostCase{"NameEndingInLettersIsNoAddress", "1.2.3.com", "1.2.3.com"},
        HostCase{"Ipv6Loopback", "[::1]", "[::1]"},
        HostCase{"Ipv6LongForm", "[0:0:0:0:0:0:0:1]", "[::1]"},
        HostCase{"Ipv6UpperCase", "[FE80::ABCD]", "[fe80::abcd]"},
        HostCase{"Ipv6FirstLongestRun", "[1:0:0:2:0:0:0:3]", "[1:0:0:2::3]"},
        HostCase{"Ipv6SingleZeroNotCompressed", "[1:0:2:3:4:5:6:7]", "[1:0:2:3:4:5:6:7]"},
        HostCase{"Ipv6WithIpv4", "[::ffff:127.0.0.1]", "[::ffff:7f00:1]"},
        HostCase{"Ipv6ZoneRefused", "[fe80::1%25eth0]", std::nullopt},
        HostCase{"Ipv6TwoCompressions", "[1::2::3]", std::nullopt},
        HostCase{"Ipv6TooLong", "[1:2:3:4:5:6:7:8:9]", std::nullopt},
        HostCase{"Ipv6Unclosed", "[::1", std::nullopt}, HostCase{"Ipv6Empty", "[]", std::nullopt}));

TEST(IpAddressHost, TellsAddressesFromDomains) {
  for (const char* host : {"127.0.0.1", "[::1]", "10.0.0.255"}) {
    EXPECT_TRUE(IsIpAddressHost(*CanonicalHost(host))) << host;
  }
  for (const char* host :
       {"example.com", "1.2.3.com", "a.b1", "localhost", "xn--fsqu00a.example"}) {
    EXPECT_FALSE(IsIpAddressHost(*CanonicalHost(host))) << host;
  }
}

}  // namespace
}  // namespace kam
