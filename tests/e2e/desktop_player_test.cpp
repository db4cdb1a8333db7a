// The player on a desktop, each run on a private session bus with a stand-in screen-saver
// service and an X screen saver that blanks after 3 idle seconds: the screen stays awake while
// the clip plays and blanks after a pause; one media player on the bus, named and steered as the
// desktop's media controls do it (properties, Raise out of the tray, Next, PlayPause); and a
// session bus that is missing or says nothing costs the start nothing.
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

#include "tests/e2e/browse_fixture.h"
#include "tests/support/session_bus.h"
#include "tests/support/x_screen_saver.h"

namespace kam::testing {
namespace {

constexpr char kMpris[] = "org.mpris.MediaPlayer2.kamplayer";
constexpr char kPath[] = "/org/mpris/MediaPlayer2";
constexpr char kRoot[] = "org.mpris.MediaPlayer2";
constexpr char kPlayer[] = "org.mpris.MediaPlayer2.Player";
constexpr char kPlaying[] =
    "(function(){var v=document.querySelector('video');"
    "return !!v && !v.paused && v.readyState >= 2 && v.currentTime > 0.2;})()";
constexpr char kPaused[] = "document.querySelector('video').paused";
// What the player asks of the screen-saver service, as the stand-in records it (cookie cut).
constexpr char kOurInhibit[] = " kamplayer 正在播放视频";

class DesktopE2E : public BrowseE2E {
 protected:
  // The player with bus_env in place of the test's own bus.
  std::unique_ptr<ProgramRun> StartOnBus(const std::string& bus_env) {
    std::vector<std::string> env = Env();
    env.push_back(bus_env);
    return std::make_unique<ProgramRun>(prog_.path() / "kamplayer", std::vector<std::string>{}, env,
                                        TestOutputDir() / "kamplayer.log");
  }

  // The player on the private bus with the demo site, its main window and catalogue.
  void StartPlayer() {
    ASSERT_TRUE(bus_.ok()) << "no dbus-daemon";
    UseSettings("2", "0");
    ASSERT_TRUE(StartServerPatiently());
    player_ = StartOnBus(bus_.Env());
    window_ = MainWindow(player_->pid());
    ASSERT_FALSE(window_.empty());
    listweb_ = Catalogue();
    ASSERT_TRUE(listweb_) << "the catalogue never loaded";
  }

  bool MainWindowShown() {
    for (const std::string& w : VisibleWindowsOf(player_->pid())) {
      if (WindowGeometry(w).width >= 1000) return true;
    }
    return false;
  }

  // Episode n of 西游记's first source, clicked in the catalogue; its page in W3, playing (in a
  // loop, so that it never ends while a test looks).
  std::unique_ptr<DevToolsSession> PlayEpisode(int n) {
    // On a loaded machine the catalogue may miss a click or take long over a page: the way is
    // taken again (three times at most) before the episode counts as never opened.
    for (int attempt = 1; attempt <= 3; ++attempt) {
      if (listweb_->EvaluateString("location.pathname") != "/title/xiyouji.html") {
        listweb_->ClickElement("a.card-cover[href='/title/xiyouji.html']");
        if (!WaitForScript(*listweb_,
                           "location.pathname === '/title/xiyouji.html' && "
                           "document.readyState === 'complete'",
                           seconds(30))) {
          continue;
        }
      }
      if (!listweb_->ClickElement("#source-1 li:nth-child(" + std::to_string(n) + ") a")) continue;
      auto w3 = EpisodePane(n);
      if (!w3) continue;
      EXPECT_TRUE(WaitForScript(*w3, kPlaying, seconds(30)));
      w3->Evaluate("document.querySelector('video').loop = true");
      return w3;
    }
    ADD_FAILURE() << "episode " << n << " never opened in the player pane";
    return nullptr;
  }
  // The player pane once it shows episode n, with time for a loaded machine.
  std::unique_ptr<DevToolsSession> EpisodePaneAfterCommand(int n) {
    return Pane(Base() + "/play/xiyouji-" + std::to_string(n) + ".html", seconds(60));
  }

  std::optional<std::string> PlayerProperty(const std::string& name) {
    return bus_.Property(kMpris, kPath, kPlayer, name);
  }
  bool WaitForProperty(const std::string& name, const std::string& value,
                       milliseconds timeout = seconds(10)) {
    return WaitUntil([&] { return PlayerProperty(name) == value; }, timeout);
  }
  bool WaitForTitle(const std::string& title) {
    const std::string item = "'xesam:title': <'" + title + "'>";
    const bool seen = WaitUntil(
        [&] {
          const auto m = PlayerProperty("Metadata");
          return m && m->find(item) != std::string::npos;
        },
        seconds(10));
    if (!seen)
      ADD_FAILURE() << "no title " << title << " in " << PlayerProperty("Metadata").value_or("?");
    return seen;
  }
  // Names of media players on the bus.
  std::vector<std::string> MediaPlayers() {
    std::vector<std::string> players;
    for (const std::string& n : bus_.Names()) {
      if (n.rfind("org.mpris.MediaPlayer2.", 0) == 0) players.push_back(n);
    }
    return players;
  }
  bool PlayerOnBus() {
    return WaitUntil(
        [&] {
          const auto names = bus_.Names();
          return std::find(names.begin(), names.end(), kMpris) != names.end();
        },
        seconds(20));
  }

  // The stand-in's calls of the player's own kind: Inhibits with our name and reason, and the
  // UnInhibits of their cookies.
  std::vector<std::string> OurCalls(FakeScreenSaver& saver, milliseconds wait = milliseconds(0)) {
    std::vector<std::string> ours;
    std::vector<std::string> cookies;
    for (const std::string& c : saver.Calls(wait)) {
      std::istringstream in(c);
      std::string verb, cookie;
      in >> verb >> cookie;
      if (verb == "Inhibit" && c.size() > verb.size() + 1 + cookie.size() &&
          c.substr(verb.size() + 1 + cookie.size()) == kOurInhibit) {
        cookies.push_back(cookie);
        ours.push_back("Inhibit " + cookie);
      } else if (verb == "UnInhibit" &&
                 std::find(cookies.begin(), cookies.end(), cookie) != cookies.end()) {
        ours.push_back("UnInhibit " + cookie);
      }
    }
    return ours;
  }

  std::unique_ptr<ProgramRun> player_;
  std::string window_;
  std::unique_ptr<DevToolsSession> listweb_;
};

TEST_F(DesktopE2E, ScreenStaysAwakeWhileTheClipPlaysAndBlanksAfterAPause) {
  XScreenSaver x;
  if (!x.ok()) GTEST_SKIP() << "the test display has no X screen-saver extension";
  FakeScreenSaver saver(bus_);
  ASSERT_TRUE(saver.ok()) << "the stand-in screen-saver service did not start";
  x.SetTimeout(0);
  ASSERT_NO_FATAL_FAILURE(StartPlayer());
  auto w3 = PlayEpisode(1);
  ASSERT_TRUE(w3);
  // The display has been idle for longer than this since it started: without the player's hold
  // the saver would come on at once.
  x.SetTimeout(3);
  // No input from here on: only the player keeps the saver off, for well over its timeout.
  const auto watch_until = std::chrono::steady_clock::now() + seconds(8);
  int looks = 0, on = 0;
  while (std::chrono::steady_clock::now() < watch_until) {
    if (x.On() == true) ++on;
    ++looks;
    std::this_thread::sleep_for(milliseconds(250));
  }
  EXPECT_EQ(on, 0) << "the saver came on in " << on << " of " << looks << " looks while playing";
  EXPECT_GT(x.IdleMs().value_or(0), 3000u) << "input reached the display: the look proves nothing";
  EXPECT_EQ(w3->EvaluateString("String(document.querySelector('video').paused)"), "false");
  std::vector<std::string> calls = OurCalls(saver);
  ASSERT_EQ(calls.size(), 1u) << "the inhibit was not taken once";
  EXPECT_EQ(calls[0].rfind("Inhibit ", 0), 0u);

  ASSERT_TRUE(w3->Evaluate("document.querySelector('video').pause(), 1"));
  const auto paused = std::chrono::steady_clock::now();
  EXPECT_TRUE(WaitUntil([&] { return OurCalls(saver).size() == 2; }, seconds(5)));
  const double released =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - paused).count();
  std::printf("[ measure ] inhibit released %.2f s after the pause\n", released);
  calls = OurCalls(saver);
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[1], "Un" + calls[0]);
  EXPECT_LT(released, 3.5);
  EXPECT_TRUE(WaitUntil([&] { return x.On() == true; }, seconds(10)))
      << "the saver stayed off after the pause";
  std::printf("[ measure ] X saver on %.2f s after the pause\n",
              std::chrono::duration<double>(std::chrono::steady_clock::now() - paused).count());
  EXPECT_TRUE(player_->Running());
}

TEST_F(DesktopE2E, AWindowInTheTrayLetsTheScreenGoAndShownAgainHoldsIt) {
  FakeScreenSaver saver(bus_);
  ASSERT_TRUE(saver.ok()) << "the stand-in screen-saver service did not start";
  ASSERT_NO_FATAL_FAILURE(StartPlayer());
  auto w3 = PlayEpisode(1);
  ASSERT_TRUE(w3);
  EXPECT_TRUE(WaitUntil([&] { return OurCalls(saver).size() == 1; }, seconds(5)));
  const auto icon = WaitForTrayIcon(player_->pid());
  ASSERT_TRUE(icon) << "no tray icon";
  ClickWindow(*icon, 1);
  ASSERT_TRUE(WaitUntil([&] { return !MainWindowShown(); }, seconds(10)));
  const auto hidden = std::chrono::steady_clock::now();
  EXPECT_TRUE(WaitUntil([&] { return OurCalls(saver).size() == 2; }, seconds(5)))
      << "the inhibit stayed while the window was in the tray";
  std::printf("[ measure ] inhibit released %.2f s after the window went to the tray\n",
              std::chrono::duration<double>(std::chrono::steady_clock::now() - hidden).count());
  EXPECT_EQ(w3->EvaluateString("String(document.querySelector('video').paused)"), "false");
  ClickWindow(*icon, 1);
  ASSERT_TRUE(WaitUntil([&] { return MainWindowShown(); }, seconds(10)));
  EXPECT_TRUE(WaitUntil([&] { return OurCalls(saver).size() == 3; }, seconds(5)))
      << "shown again, the playing video did not hold the screen";
  const auto calls = OurCalls(saver);
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[1], "Un" + calls[0]);
  EXPECT_EQ(calls[2].rfind("Inhibit ", 0), 0u);
}

TEST_F(DesktopE2E, OneMediaPlayerOnTheBusFollowsTheVideoAndItsControlsSteerIt) {
  ASSERT_NO_FATAL_FAILURE(StartPlayer());
  ASSERT_TRUE(PlayerOnBus()) << "no " << kMpris << " on the bus";
  EXPECT_EQ(bus_.Property(kMpris, kPath, kRoot, "Identity"), "'看吧影院'");
  EXPECT_EQ(bus_.Property(kMpris, kPath, kRoot, "DesktopEntry"), "'kamplayer'");
  EXPECT_EQ(bus_.Property(kMpris, kPath, kRoot, "CanRaise"), "true");
  EXPECT_EQ(bus_.Property(kMpris, kPath, kRoot, "CanQuit"), "true");
  EXPECT_EQ(PlayerProperty("PlaybackStatus"), "'Stopped'");

  // The desktop hears of every change as it happens.
  ChildProcess monitor("/usr/bin/gdbus",
                       {"monitor", "--address", bus_.address(), "--dest", kMpris});
  ASSERT_TRUE(monitor.started());

  // The list of 西游记's first source: 立即播放 (episode 1), then 第01集 to 第08集.
  auto w3 = PlayEpisode(7);
  ASSERT_TRUE(w3);
  EXPECT_TRUE(WaitForProperty("PlaybackStatus", "'Playing'"));
  EXPECT_TRUE(WaitForTitle("第07集"));
  EXPECT_EQ(PlayerProperty("CanGoPrevious"), "true");
  EXPECT_EQ(PlayerProperty("CanGoNext"), "true");
  // Playing and the new title reached the desktop as signals.
  bool status_heard = false;
  for (int i = 0; i < 200 && !status_heard; ++i) {
    const auto line = monitor.ReadLine(milliseconds(100));
    if (line && line->find("PropertiesChanged") != std::string::npos &&
        line->find("'PlaybackStatus': <'Playing'>") != std::string::npos) {
      status_heard = true;
    }
  }
  EXPECT_TRUE(status_heard) << "no PropertiesChanged with the playing status";
  EXPECT_EQ(MediaPlayers(), std::vector<std::string>{kMpris})
      << "the engine shows a player of its own";

  // PlayPause pauses the video itself, and plays it again.
  ASSERT_TRUE(bus_.Call(kMpris, kPath, std::string(kPlayer) + ".PlayPause"));
  EXPECT_TRUE(WaitForScript(*w3, kPaused, seconds(10)));
  EXPECT_TRUE(WaitForProperty("PlaybackStatus", "'Paused'"));
  ASSERT_TRUE(bus_.Call(kMpris, kPath, std::string(kPlayer) + ".PlayPause"));
  EXPECT_TRUE(WaitForScript(*w3, kPlaying, seconds(10)));

  // Next plays the next entry of the list, as a click on it in the list page; at the list's end
  // there is no next.
  ASSERT_TRUE(bus_.Call(kMpris, kPath, std::string(kPlayer) + ".Next"));
  auto last = EpisodePaneAfterCommand(8);
  ASSERT_TRUE(last) << "Next did not open episode 8 in the player pane";
  EXPECT_TRUE(WaitForScript(*last, kPlaying, seconds(30)));
  EXPECT_TRUE(WaitForTitle("第08集"));
  EXPECT_TRUE(WaitForProperty("CanGoNext", "false"));
  EXPECT_EQ(PlayerProperty("CanGoPrevious"), "true");
  ASSERT_TRUE(bus_.Call(kMpris, kPath, std::string(kPlayer) + ".Previous"));
  auto back = EpisodePaneAfterCommand(7);
  ASSERT_TRUE(back) << "Previous did not open episode 7 again";
  EXPECT_TRUE(WaitForTitle("第07集"));
  EXPECT_EQ(MediaPlayers(), std::vector<std::string>{kMpris});
  EXPECT_TRUE(player_->Running());
}

TEST_F(DesktopE2E, RaiseBringsTheWindowBackOutOfTheTrayAndQuitEndsThePlayer) {
  ASSERT_NO_FATAL_FAILURE(StartPlayer());
  ASSERT_TRUE(PlayerOnBus());
  const auto icon = WaitForTrayIcon(player_->pid());
  ASSERT_TRUE(icon) << "no tray icon";
  ClickWindow(*icon, 1);
  ASSERT_TRUE(WaitUntil([&] { return !MainWindowShown(); }, seconds(10)))
      << "the tray click did not hide the window";
  ASSERT_TRUE(bus_.Call(kMpris, kPath, std::string(kRoot) + ".Raise"));
  EXPECT_TRUE(WaitUntil([&] { return MainWindowShown(); }, seconds(10)))
      << "Raise left the window in the tray";
  EXPECT_TRUE(SaveScreenshot("raised"));
  // Quit is the menus' exit: the exit routine ends the player (status 0).
  bus_.Call(kMpris, kPath, std::string(kRoot) + ".Quit");
  const auto status = player_->Wait(seconds(20));
  ASSERT_TRUE(status) << "Quit did not end the player";
  EXPECT_TRUE(ExitedWith(*status, 0));
  EXPECT_TRUE(MediaPlayers().empty());
}

// A listening socket that takes connections and never says a word.
class SilentBus {
 public:
  explicit SilentBus(const std::string& path) {
    fd_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un sa{};
    sa.sun_family = AF_UNIX;
    std::strncpy(sa.sun_path, path.c_str(), sizeof(sa.sun_path) - 1);
    ok_ = fd_ >= 0 && bind(fd_, reinterpret_cast<sockaddr*>(&sa), sizeof(sa)) == 0 &&
          listen(fd_, 64) == 0;
  }
  ~SilentBus() { close(fd_); }
  bool ok() const { return ok_; }

 private:
  int fd_ = -1;
  bool ok_ = false;
};

TEST_F(DesktopE2E, WithoutAnAnsweringBusThePlayerStartsAndPlays) {
  UseSettings("2", "0");
  ASSERT_TRUE(StartServerPatiently());
  SilentBus silent((home_.path() / "silent-bus").string());
  ASSERT_TRUE(silent.ok());
  struct Case {
    const char* name;
    std::string env;
    const char* line;
  };
  const Case cases[] = {
      {"missing", "DBUS_SESSION_BUS_ADDRESS=unix:path=" + (home_.path() / "no-bus").string(),
       "there is none"},
      {"silent", "DBUS_SESSION_BUS_ADDRESS=unix:path=" + (home_.path() / "silent-bus").string(),
       "it does not answer"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto start = std::chrono::steady_clock::now();
    player_ = StartOnBus(c.env);
    listweb_ = Catalogue();
    ASSERT_TRUE(listweb_) << "the catalogue never loaded";
    std::printf("[ measure ] %s bus: catalogue %.2f s after the start\n", c.name,
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    auto w3 = PlayEpisode(1);
    ASSERT_TRUE(w3);
    EXPECT_TRUE(WaitForScript(*w3, kPlaying, seconds(10)));
    player_->Stop();
    std::ifstream log(TestOutputDir() / "kamplayer.log");
    std::stringstream text;
    text << log.rdbuf();
    const std::string all = text.str();
    std::size_t lines = 0;
    for (std::size_t at = all.find("session bus: not used"); at != std::string::npos;
         at = all.find("session bus: not used", at + 1)) {
      ++lines;
    }
    EXPECT_EQ(lines, 1u) << all;
    EXPECT_NE(all.find(c.line), std::string::npos) << all;
    listweb_.reset();
    KillStrayPlayers();
  }
}

}  // namespace
}  // namespace kam::testing
