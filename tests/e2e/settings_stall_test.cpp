// A settings server that accepts the connection and then says nothing: the start gives the
// download 5 s in all, keeps the former "\kamplayer.db" and shows the window.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "common/code_page.h"
#include "tests/support/program_dir_fixture.h"

namespace kam::testing {
namespace {

using std::chrono::seconds;

TEST_F(PlayerE2E, StalledSettingsRouteKeepsTheFormerFileAndShowsTheWindowSoon) {
  const std::string former = Settings("0.9");
  prog_.Write("\\kamplayer.db", former);
  ASSERT_TRUE(StartServer());
  ASSERT_TRUE(server_->Misbehave("/upload/my2.txt", "stall", "ms=60000"));
  const auto start = std::chrono::steady_clock::now();
  auto player = RunPlayer({});
  ASSERT_TRUE(player->started());
  // The caption comes from the former file, which the window shows once the start is done.
  ASSERT_TRUE(WaitUntil([] { return !VisibleWindowsNamed(kCaption).empty(); }, seconds(40)))
      << "no window";
  const double took =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("[ measure ] window shown %.1f s after the start, settings route stalled\n", took);
  // 5 s for the download plus the engine's own start; without the limit it would be 30 s.
  EXPECT_LT(took, 15.0);
  EXPECT_EQ(prog_.Read("\\kamplayer.db"), former);
  EXPECT_TRUE(player->Running());
}

}  // namespace
}  // namespace kam::testing
