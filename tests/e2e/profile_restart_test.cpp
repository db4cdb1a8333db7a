// The player's user data as a member meets it: a login the site made (a session cookie), the
// site's local storage and the pages the browser keeps in its disk cache are still there after
// the player was ended and started again.
#include <sys/wait.h>

#include <chrono>
#include <csignal>
#include <cstdio>

#include "tests/e2e/browse_fixture.h"

namespace kam::testing {
namespace {

// A same-origin request from the page, answered before the script goes on.
std::string SyncGet(const std::string& path) {
  return "(function(){var x=new XMLHttpRequest();x.open('GET','" + path +
         "',false);x.send();return x.responseText;})()";
}

class ProfileE2E : public BrowseE2E {
 protected:
  // The first answer the page gives to a request without side effects (or one repeated
  // harmlessly), asked again while an evaluation times out, for at most a minute.
  static std::optional<std::string> Answer(DevToolsSession& page, const std::string& expression) {
    std::optional<std::string> answer;
    WaitUntil(
        [&] {
          answer = page.EvaluateString(expression);
          return answer.has_value();
        },
        seconds(60));
    return answer;
  }

  // Ends the player as a user does: the tray menu's exit item.
  void ExitThroughTheTray(ProgramRun& player) {
    const auto icon = WaitForTrayIcon(player.pid());
    ASSERT_TRUE(icon) << "no tray icon";
    ClickWindow(*icon, 3);
    std::this_thread::sleep_for(milliseconds(700));
    Keys("Down Down Down Down Return");  // 退出程序, the fourth item
    const auto status = player.Wait(seconds(30));
    ASSERT_TRUE(status) << "still running after the exit item";
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0);
  }
};

TEST_F(ProfileE2E, LoginAndStorageSurviveAnExitAndAStart) {
  UseSettings("2", "0");
  ASSERT_TRUE(StartServerPatiently());
  std::string stamp;
  {
    auto player = Start("kamplayer-1.log");
    auto listweb = Catalogue();
    ASSERT_TRUE(listweb) << "the catalogue never loaded";
    // On a loaded machine one evaluation may not answer in time; these are asked again.
    EXPECT_EQ(Answer(*listweb, SyncGet("/member/whoami")), "");
    EXPECT_EQ(Answer(*listweb, SyncGet("/member/login?name=zhang3")), "welcome zhang3\n");
    listweb->Evaluate("localStorage.setItem('kam-last-title', 'xiyouji')");
    stamp = listweb->EvaluateString(SyncGet("/member/stamp")).value_or("");
    ASSERT_NE(stamp, "");
    // Within one run the cache answers already; the server would have said "stamp 2".
    EXPECT_EQ(listweb->EvaluateString(SyncGet("/member/stamp")), stamp);
    ASSERT_NO_FATAL_FAILURE(ExitThroughTheTray(*player));
  }
  // The profile lives in the user's data folder, not in the program directory.
  EXPECT_TRUE(std::filesystem::is_directory(user_data_.path() / "kamplayer"));
  EXPECT_FALSE(std::filesystem::exists(prog_.path() / "kamplayer-profile"));

  auto player = Start("kamplayer-2.log");
  auto listweb = Catalogue();
  ASSERT_TRUE(listweb) << "the catalogue never loaded after the restart";
  EXPECT_EQ(Answer(*listweb, SyncGet("/member/whoami")), "kam_member=zhang3");
  EXPECT_EQ(Answer(*listweb, "localStorage.getItem('kam-last-title')"), "xiyouji");
  EXPECT_EQ(listweb->EvaluateString(SyncGet("/member/stamp")), stamp) << "not from the disk cache";
  EXPECT_TRUE(player->Running());
}

// The updater and a session's end (SIGTERM), a terminal (SIGINT) and a closed terminal or session
// (SIGHUP) ask the player to end: it ends as its own exit does, with status 0, and the login the
// site made right before is written out.
class ProfileEndRequestE2E : public ProfileE2E, public ::testing::WithParamInterface<int> {};

TEST_P(ProfileEndRequestE2E, LoginSurvivesARequestToEnd) {
  const int signal_number = GetParam();
  UseSettings("2", "0");
  ASSERT_TRUE(StartServerPatiently());
  {
    auto player = Start("kamplayer-1.log");
    auto listweb = Catalogue();
    ASSERT_TRUE(listweb) << "the catalogue never loaded";
    // On a loaded machine one evaluation may not answer in time; logging in again is harmless.
    ASSERT_EQ(Answer(*listweb, SyncGet("/member/login?name=li4")), "welcome li4\n");
    const auto asked = std::chrono::steady_clock::now();
    ASSERT_EQ(kill(player->pid(), signal_number), 0);
    const auto status = player->Wait(seconds(30));
    ASSERT_TRUE(status) << "still running after signal " << signal_number;
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << "wait status " << *status;
    std::printf("[ measure ] signal %d: ended %lld ms after the request\n", signal_number,
                static_cast<long long>(std::chrono::duration_cast<milliseconds>(
                                           std::chrono::steady_clock::now() - asked)
                                           .count()));
  }

  auto player = Start("kamplayer-2.log");
  auto listweb = Catalogue();
  ASSERT_TRUE(listweb) << "the catalogue never loaded after the restart";
  EXPECT_EQ(Answer(*listweb, SyncGet("/member/whoami")), "kam_member=li4");
}

INSTANTIATE_TEST_SUITE_P(Signals, ProfileEndRequestE2E, ::testing::Values(SIGTERM, SIGINT, SIGHUP),
                         [](const ::testing::TestParamInfo<int>& info) {
                           switch (info.param) {
                             case SIGTERM:
                               return std::string("Sigterm");
                             case SIGINT:
                               return std::string("Sigint");
                             default:
                               return std::string("Sighup");
                           }
                         });

}  // namespace
}  // namespace kam::testing
