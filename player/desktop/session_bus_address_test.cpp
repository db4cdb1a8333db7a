#include "player/desktop/session_bus_address.h"

#include <gtest/gtest.h>

namespace kam::desktop {
namespace {

using K = BusAddress::Kind;

TEST(SessionBusAddressTest, ReadsTheAddressesALocalConnectionNeeds) {
  struct Case {
    const char* text;
    std::vector<BusAddress> want;
  };
  const Case cases[] = {
      {"unix:path=/run/user/1000/bus", {{K::kUnixPath, "/run/user/1000/bus"}}},
      {"unix:abstract=/tmp/dbus-Ab12,guid=0123abcd", {{K::kUnixAbstract, "/tmp/dbus-Ab12"}}},
      {"unix:guid=77,path=/tmp/a%20b", {{K::kUnixPath, "/tmp/a b"}}},
      {"unix:runtime=yes", {{K::kUnixPath, "/run/user/7/bus"}}},
      {"tcp:host=localhost,port=1234", {{K::kOther, ""}}},
      {"unix:path=/a;tcp:host=h,port=1;unix:abstract=b",
       {{K::kUnixPath, "/a"}, {K::kOther, ""}, {K::kUnixAbstract, "b"}}},
      // Listening forms, empty and unreadable entries lead nowhere.
      {"unix:tmpdir=/tmp", {}},
      {"unix:path=", {}},
      {"", {}},
      {";;", {}},
      {"nocolon", {}},
      {":path=/x", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ParseBusAddresses(c.text, "/run/user/7"), c.want);
  }
  EXPECT_TRUE(ParseBusAddresses("unix:runtime=yes", "").empty());
}

TEST(SessionBusAddressTest, WithoutAnAddressTheBusIsInTheRuntimeFolder) {
  EXPECT_EQ(DefaultBusAddresses("/run/user/7"),
            (std::vector<BusAddress>{{K::kUnixPath, "/run/user/7/bus"}}));
  EXPECT_TRUE(DefaultBusAddresses("").empty());
}

}  // namespace
}  // namespace kam::desktop
