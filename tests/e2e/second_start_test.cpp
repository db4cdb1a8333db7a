// A second start of the player as a user meets it: double-clicking a title's desktop entry while
// the player runs hidden in the tray brings the player back and opens the title there; a plain
// second start brings it back. The second process ends with status 0 either way. A flood of
// second starts and of messages on the hand-over socket leaves the player responsive, with one
// window and bounded memory.
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <fstream>

#include "player/startup/hand_over.h"
#include "player/startup/hand_over_place.h"
#include "player/startup/launch_args.h"
#include "tests/e2e/browse_fixture.h"

namespace kam::testing {
namespace {

class SecondStartE2E : public BrowseE2E {
 protected:
  // The player on the demo site, its catalogue loaded, then hidden into the tray.
  void StartPlayerThenHideIt() {
    UseSettings("2", "0");
    ASSERT_TRUE(StartServerPatiently());
    first_ = Start("first.log");
    ASSERT_TRUE(WaitUntil([] { return !VisibleWindowsNamed(kCaption).empty(); }, seconds(60)));
    listweb_ = Catalogue();
    ASSERT_TRUE(listweb_) << "the catalogue never loaded";
    const auto icon = WaitForTrayIcon(first_->pid());
    ASSERT_TRUE(icon) << "no tray icon";
    ClickWindow(*icon, 1);
    ASSERT_TRUE(WaitUntil([] { return VisibleWindowsNamed(kCaption).empty(); }, seconds(10)))
        << "the tray click did not hide the window";
  }

  std::unique_ptr<ProgramRun> SecondStart(const std::vector<std::string>& arguments,
                                          std::string_view log) {
    return std::make_unique<ProgramRun>(prog_.path() / "kamplayer", arguments, Env(),
                                        TestOutputDir() / std::string(log));
  }

  static void ExpectEndsWithZero(ProgramRun& second) {
    const auto status = second.Wait(seconds(30));
    ASSERT_TRUE(status) << "the second start kept running";
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << "wait status " << *status;
  }

  // The player's resident memory in KiB; 0 when it cannot be read.
  static long ResidentKiB(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
      if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    }
    return 0;
  }

  // Writes bytes to the running player's hand-over socket as a second start would; the player's
  // one-byte answer, or 0 when it closed the connection without one.
  char SendRaw(const std::string& bytes) {
    std::string why;
    const auto place = HandOverSocketPlace(prog_.path(), why);
    if (!place) {
      ADD_FAILURE() << why;
      return 0;
    }
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return 0;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, place->c_str(), sizeof address.sun_path - 1);
    timeval limit{5, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
    char answer = 0;
    if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
      std::size_t sent = 0;
      while (sent < bytes.size()) {
        const ssize_t n = send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) break;
        sent += static_cast<std::size_t>(n);
      }
      if (recv(fd, &answer, 1, 0) != 1) answer = 0;
    }
    close(fd);
    return answer;
  }

  std::unique_ptr<ProgramRun> first_;
  std::unique_ptr<DevToolsSession> listweb_;
};

TEST_F(SecondStartE2E, ShortcutArgumentShowsTheHiddenPlayerAndOpensTheTitle) {
  ASSERT_NO_FATAL_FAILURE(StartPlayerThenHideIt());
  const std::string address = server_->Url("/title/xiyouji.html");
  // As the desktop entry passes it: the encoded argument, split at its blank.
  const std::string encoded = EncodeLaunchArgs("西游 记#@@" + address);
  const auto blank = encoded.find(' ');
  ASSERT_NE(blank, std::string::npos);
  auto second = SecondStart({encoded.substr(0, blank), encoded.substr(blank + 1)}, "second.log");
  ASSERT_NO_FATAL_FAILURE(ExpectEndsWithZero(*second));
  EXPECT_TRUE(WaitUntil([] { return VisibleWindowsNamed(kCaption).size() == 1; }, seconds(10)))
      << "the first player did not show";
  EXPECT_TRUE(WaitForScript(*listweb_,
                            "location.pathname === '/title/xiyouji.html' && "
                            "document.readyState === 'complete'",
                            seconds(30)))
      << "listweb did not open the shortcut's address";
  EXPECT_TRUE(SaveScreenshot("handed-over"));
  EXPECT_TRUE(first_->Running());
}

TEST_F(SecondStartE2E, PlainSecondStartShowsTheHiddenPlayer) {
  ASSERT_NO_FATAL_FAILURE(StartPlayerThenHideIt());
  auto second = SecondStart({}, "second.log");
  ASSERT_NO_FATAL_FAILURE(ExpectEndsWithZero(*second));
  EXPECT_TRUE(WaitUntil([] { return VisibleWindowsNamed(kCaption).size() == 1; }, seconds(10)))
      << "the first player did not show";
  // Nothing else changed: the catalogue still shows the site's home page.
  EXPECT_EQ(listweb_->EvaluateString("location.pathname"), "/");
  EXPECT_TRUE(first_->Running());
}

TEST_F(SecondStartE2E, ArgumentWithoutAddressIsDroppedAndLeavesThePlayerHidden) {
  ASSERT_NO_FATAL_FAILURE(StartPlayerThenHideIt());
  auto second = SecondStart({EncodeLaunchArgs("only-a-name")}, "second.log");
  ASSERT_NO_FATAL_FAILURE(ExpectEndsWithZero(*second));
  std::this_thread::sleep_for(seconds(2));
  EXPECT_TRUE(VisibleWindowsNamed(kCaption).empty()) << "a dropped argument showed the window";
  EXPECT_EQ(listweb_->EvaluateString("location.pathname"), "/");
  EXPECT_TRUE(first_->Running());
}

// Hundreds of messages a second, most of them no valid argument, and a crowd of second starts:
// the player answers its pages throughout, shows one window, and ends on the last address sent.
TEST_F(SecondStartE2E, FloodOfHandOversStaysBoundedAndResponsive) {
  ASSERT_NO_FATAL_FAILURE(StartPlayerThenHideIt());
  const long before = ResidentKiB(first_->pid());
  const std::string last = server_->Url("/title/xiyouji.html");
  const std::string other = server_->Url("/");
  const auto frame = [](const std::string& argument) { return *FrameHandOver(argument); };
  const std::string header_too_long = std::string(kHandOverMagic) + std::string("\x7f\xff\xff\xff");
  const auto flood_started = std::chrono::steady_clock::now();
  int answered = 0;
  constexpr int kMessages = 600;
  for (int i = 0; i < kMessages; ++i) {
    std::string bytes;
    switch (i % 5) {
      case 0:
        bytes = frame(EncodeLaunchArgs("t#@@" + other));
        break;
      case 1:
        bytes = frame(EncodeLaunchArgs("only-a-name"));
        break;
      case 2:
        bytes = "GET / HTTP/1.1\r\n\r\n";
        break;
      case 3:
        bytes = header_too_long + std::string(1000, 'x');
        break;
      default:
        bytes = frame("");
        break;
    }
    if (i == kMessages - 1) bytes = frame(EncodeLaunchArgs("西游记#@@" + last));
    if (SendRaw(bytes) == '1') ++answered;
  }
  const double flood_s =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - flood_started).count();
  // Second starts as processes, a crowd at once.
  std::vector<std::unique_ptr<ProgramRun>> crowd;
  for (int i = 0; i < 12; ++i) {
    crowd.push_back(SecondStart({}, "crowd-" + std::to_string(i) + ".log"));
  }
  for (auto& second : crowd) ASSERT_NO_FATAL_FAILURE(ExpectEndsWithZero(*second));

  // The valid frames (3 of every 5) were taken; the others were refused or dropped.
  EXPECT_GE(answered, kMessages * 3 / 5 - 10);
  EXPECT_LE(answered, kMessages * 3 / 5 + 1);
  const auto asked = std::chrono::steady_clock::now();
  EXPECT_EQ(listweb_->EvaluateString("'still here'"), "still here");
  const double answer_ms =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - asked).count();
  EXPECT_TRUE(WaitForScript(*listweb_,
                            "location.pathname === '/title/xiyouji.html' && "
                            "document.readyState === 'complete'",
                            seconds(30)))
      << "the last address sent is not the one shown";
  EXPECT_EQ(VisibleWindowsNamed(kCaption).size(), 1u);
  const long after = ResidentKiB(first_->pid());
  std::printf(
      "[ measure ] %d messages in %.2f s (%.0f a second), %d answered; a page answered %.0f ms "
      "after; player memory %ld KiB before, %ld KiB after\n",
      kMessages, flood_s, kMessages / flood_s, answered, answer_ms, before, after);
  EXPECT_TRUE(first_->Running());
}

}  // namespace
}  // namespace kam::testing
