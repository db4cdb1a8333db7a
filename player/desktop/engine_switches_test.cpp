#include "player/desktop/engine_switches.h"

#include <gtest/gtest.h>

namespace kam::desktop {
namespace {

TEST(EngineSwitchesTest, FeaturesJoinTheOneListTheEngineReads) {
  struct Case {
    const char* flags;
    const char* want;
  };
  const Case cases[] = {
      {"", "--disable-features=A,B"},
      {"--no-sandbox --disable-gpu", "--no-sandbox --disable-gpu --disable-features=A,B"},
      {"--no-sandbox ", "--no-sandbox --disable-features=A,B"},
      {"--disable-features=X", "--disable-features=X,A,B"},
      {"--disable-features=X --no-sandbox", "--disable-features=X,A,B --no-sandbox"},
      {"--disable-features=", "--disable-features=A,B"},
      // The engine takes the last one.
      {"--disable-features=X --disable-features=Y",
       "--disable-features=X --disable-features=Y,A,B"},
      // Another switch that merely ends in the same words is not the list.
      {"--foo-disable-features=Z", "--foo-disable-features=Z --disable-features=A,B"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.flags);
    EXPECT_EQ(WithDisabledFeatures(c.flags, "A,B"), c.want);
  }
}

TEST(EngineSwitchesTest, DrawsInSoftwareOnlyForTheWholeSwitch) {
  struct Case {
    const char* flags;
    bool software;
  };
  const Case cases[] = {
      {"", false},
      {"--disable-gpu", true},
      {"--no-sandbox --disable-gpu", true},
      {"--disable-gpu --no-sandbox", true},
      {"  --disable-gpu  ", true},
      // Other switches that begin or end alike leave the GPU on.
      {"--disable-gpu-compositing", false},
      {"--disable-gpu-rasterization --no-sandbox", false},
      {"--x-disable-gpu", false},
      {"--disable-features=--disable-gpu", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.flags);
    EXPECT_EQ(EngineDrawsInSoftware(c.flags), c.software);
  }
}

}  // namespace
}  // namespace kam::desktop
