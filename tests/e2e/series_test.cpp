// Watching a series as a user does, on the demo site's "小城故事" (five episodes of 5 s, the fifth
// of 75 s): the next episode starts by itself after an end, exactly as a list click starts it;
// a page that goes on by itself is not advanced once more; nothing follows the last entry; the
// tray menu's "自动播放下一集" turns it off for good; an episode stopped halfway resumes where it
// stopped, also after a restart; the list page marks the entry playing and those watched.
#include "tests/e2e/browse_fixture.h"

namespace kam::testing {
namespace {

// The clip has played a little.
constexpr char kStarted[] =
    "(function(){var v=document.querySelector('video');"
    "return !!v && !v.error && v.played.length > 0 && v.played.end(v.played.length - 1) > 0.2;"
    "})()";
// The page has run its scripts and its video plays.
constexpr char kPlayingLoaded[] =
    "(function(){var v=document.querySelector('video');return document.readyState === "
    "'complete' && !!v && !v.paused && !v.seeking;})()";
constexpr char kEnded[] =
    "(function(){var v=document.querySelector('video');return !!v && v.ended;})()";

class SeriesE2E : public BrowseE2E {
 protected:
  void StartPlayer() {
    UseSettings("2", "0");  // buffering on: five ticks before each episode shows
    ASSERT_TRUE(StartServerPatiently());
    StartAgain();
  }
  void StartAgain() {
    player_ = Start(restarts_++ == 0 ? "kamplayer.log" : "kamplayer-again.log");
    listweb_ = Catalogue();
    ASSERT_TRUE(listweb_) << "the catalogue never loaded";
  }

  // The series' title page in the catalogue (how it gets there is not what these tests try),
  // then a click on episode n of its first source. On a loaded machine the engine may answer a
  // click later than the client waits: a click counts when the player pane shows the episode.
  void ClickEpisode(int n) {
    if (listweb_->EvaluateString("location.pathname") != "/title/xiaocheng.html") {
      listweb_->Evaluate("location.href = '/title/xiaocheng.html'; 1");
      ASSERT_TRUE(WaitForScript(*listweb_,
                                "location.pathname === '/title/xiaocheng.html' && "
                                "document.readyState === 'complete'",
                                seconds(30)));
    }
    const std::string link = "#source-1 li:nth-child(" + std::to_string(n) + ") a";
    for (int attempt = 0; attempt < 3; ++attempt) {
      if (listweb_->ClickElement(link)) return;
      if (WaitUntil([&] { return PlayPages() == std::vector<std::string>{EpisodeUrl(n)}; },
                    seconds(5))) {
        return;
      }
    }
    FAIL() << "episode " << n << " could not be clicked";
  }

  std::string EpisodeUrl(int n) const {
    return Base() + "/play/xiaocheng-" + std::to_string(n) + ".html";
  }
  std::unique_ptr<DevToolsSession> Episode(int n, milliseconds timeout = seconds(40)) {
    return Pane(EpisodeUrl(n), timeout);
  }

  // The addresses of the play pages the engine shows (the player pane's, when it shows one).
  std::vector<std::string> PlayPages() const {
    std::vector<std::string> out;
    for (const DevToolsTarget& t : DevToolsTargets(devtools_)) {
      if (t.url.find("/play/") != std::string::npos) out.push_back(t.url);
    }
    return out;
  }

  // The side panel's list page, once it shows the series (the title page's "立即播放" button,
  // then its six episodes: entry i + 1 is episode i).
  std::unique_ptr<DevToolsSession> ListPage() {
    auto list = DevToolsSession::Open(
        devtools_,
        [](const DevToolsTarget& t) { return t.url.find("/html/List.html") != std::string::npos; },
        seconds(30));
    if (list) {
      EXPECT_TRUE(WaitForScript(*list, "!!document.querySelector(\"a[id='6']\")", seconds(30)));
    }
    return list;
  }

  // The player pane before it shows any episode (its loading page), to follow it from its first
  // episode on.
  std::unique_ptr<DevToolsSession> IdlePlayerPane() {
    return DevToolsSession::Open(
        devtools_,
        [](const DevToolsTarget& t) { return t.url.find("Loading.html") != std::string::npos; },
        seconds(30));
  }
  // Runs script in every document the pane of s shows from now on, before the page's own.
  static bool OnEveryPage(DevToolsSession& s, const std::string& script) {
    s.Call("Page.enable");
    return s.Call("Page.addScriptToEvaluateOnNewDocument", "{\"source\":" + JsonQuote(script) + "}")
        .has_value();
  }

  // A click on an entry of the list page, as the user clicks it (entry id plays episode id).
  void ClickEntry(DevToolsSession& list, int id) {
    for (int attempt = 0; attempt < 3; ++attempt) {
      if (list.ClickElement("a[id='" + std::to_string(id) + "']")) return;
      if (WaitUntil([&] { return PlayPages() == std::vector<std::string>{EpisodeUrl(id)}; },
                    seconds(5))) {
        return;
      }
    }
    FAIL() << "entry " << id << " could not be clicked";
  }

  // Where the player pane's video is, in seconds; negative when it cannot be read.
  static double Position(DevToolsSession& w3) {
    const auto v = w3.Evaluate("document.querySelector('video').currentTime");
    return v && v->type == Json::Type::kNumber ? v->number : -1;
  }

  // Lets the video of w3 reach seconds (a seek, as a drag of its bar does), then plays on at
  // least two more seconds, so that one save tick of the player at the least sees it there.
  static void PlayTo(DevToolsSession& w3, double seconds_in) {
    ASSERT_TRUE(WaitForScript(w3, kStarted, seconds(40)));
    w3.Evaluate("document.querySelector('video').currentTime = " + std::to_string(seconds_in - 6));
    ASSERT_TRUE(WaitForScript(
        w3,
        "(function(){var v=document.querySelector('video');return !v.seeking && !v.paused && "
        "v.currentTime >= " +
            std::to_string(seconds_in) + ";})()",
        seconds(30)))
        << Position(w3);
  }

  // The user pauses the video of w3 at seconds_in (the player hears of it at once).
  static void PauseAt(DevToolsSession& w3, double seconds_in) {
    w3.Evaluate("(function(){var v=document.querySelector('video');v.pause();v.currentTime=" +
                std::to_string(seconds_in) + ";return 1;})()");
    ASSERT_TRUE(WaitForScript(
        w3, "(function(){var v=document.querySelector('video');return v.paused && !v.seeking;})()",
        seconds(20)))
        << MediaTrail(w3);
  }

  // The video's state now and its last events, as the page noted them (kFirstSeek).
  static std::string MediaTrail(DevToolsSession& w3) {
    return w3
        .EvaluateString(
            "(function(){var v=document.querySelector('video');return location.pathname + ' ' +"
            " document.visibilityState + (v ? ' paused ' + v.paused + ' seeking ' + v.seeking +"
            " ' at ' + v.currentTime + ' ready ' + v.readyState : ' no video') + ' | ' +"
            " (window.mediaTrail || []).join(' ');})()")
        .value_or("(the page did not answer)");
  }

  std::filesystem::path SettingsFile() const {
    return user_data_.path() / "kamplayer" / "settings.ini";
  }

  std::unique_ptr<ProgramRun> player_;
  std::unique_ptr<DevToolsSession> listweb_;
  int restarts_ = 0;
};

TEST_F(SeriesE2E, EpisodesFollowOneAnotherAndTheListMarksThem) {
  ASSERT_NO_FATAL_FAILURE(StartPlayer());
  auto qvod = Pane(Base() + "/huangchong.html");
  ASSERT_TRUE(qvod);
  ASSERT_NO_FATAL_FAILURE(ClickEpisode(1));
  auto list = ListPage();
  ASSERT_TRUE(list);
  const auto page_bytes = prog_.Read("\\html\\List.html");
  ASSERT_TRUE(page_bytes);

  auto w3 = Episode(1);
  ASSERT_TRUE(w3) << "episode 1 never opened";
  for (int n = 2; n <= 3; ++n) {
    SCOPED_TRACE(n);
    ASSERT_TRUE(WaitForScript(*w3, kEnded, seconds(60))) << "episode " << n - 1 << " never ended";
    const auto ended = std::chrono::steady_clock::now();
    // As a list click: the buffering page comes first.
    EXPECT_TRUE(WaitForScript(*qvod, "document.visibilityState === 'visible'", seconds(20)))
        << "no buffering page before episode " << n;
    w3 = Episode(n);
    ASSERT_TRUE(w3) << "episode " << n << " did not follow";
    const double opened =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - ended).count();
    EXPECT_TRUE(WaitForScript(*w3, kStarted, seconds(30)));
    std::printf(
        "[ measure ] episode %d shown %.1f s, playing %.1f s after the end of %d\n", n, opened,
        std::chrono::duration<double>(std::chrono::steady_clock::now() - ended).count(), n - 1);
  }

  // Episodes 1 and 2 watched (with the button that plays episode 1), episode 3 playing.
  const std::string marks =
      "Array.prototype.map.call(document.querySelectorAll('a[id]'), function (a) {"
      " return a.id + (a.classList.contains('kam-playing') ? 'P' :"
      " a.classList.contains('kam-watched') ? 'W' : '-'); }).join(' ')";
  EXPECT_TRUE(
      WaitUntil([&] { return list->EvaluateString(marks) == "0W 1W 2W 3P 4- 5- 6-"; }, seconds(20)))
      << list->EvaluateString(marks).value_or("?");
  // The marks look different from a plain entry.
  EXPECT_EQ(list->EvaluateString(
                "getComputedStyle(document.querySelector(\"a[id='3']\")).color === "
                "getComputedStyle(document.querySelector(\"a[id='4']\")).color ? 'same' : 'other'"),
            "other");
  EXPECT_TRUE(SaveScreenshot("series-marks"));
  // The page file is as the list wrote it.
  EXPECT_EQ(prog_.Read("\\html\\List.html"), page_bytes);
  EXPECT_EQ(page_bytes->find("kam-"), std::string::npos);
  EXPECT_TRUE(player_->Running());
}

TEST_F(SeriesE2E, APageThatGoesOnByItselfIsNotAdvancedOnceMore) {
  ASSERT_NO_FATAL_FAILURE(StartPlayer());
  // The site's own continuous play: each play page goes to its next episode at its end.
  listweb_->Evaluate("localStorage.setItem('demo-continuous', '1')");
  // Every page of the player pane notes, as it goes, how far its video came.
  auto w3 = IdlePlayerPane();
  ASSERT_TRUE(w3);
  ASSERT_TRUE(
      OnEveryPage(*w3,
                  "addEventListener('pagehide', function () {"
                  " var v = document.querySelector('video');"
                  " var log = JSON.parse(localStorage.getItem('left') || '[]');"
                  " log.push(location.pathname + ' ' + (v ? v.currentTime.toFixed(1) : '-'));"
                  " localStorage.setItem('left', JSON.stringify(log)); });"));
  ASSERT_NO_FATAL_FAILURE(ClickEpisode(1));
  // Episode 2 plays to its end before episode 3 comes: an advance of the player's 3 s after the
  // end of episode 1 would cut it short.
  ASSERT_TRUE(WaitForScript(*w3, "location.pathname === '/play/xiaocheng-3.html'", seconds(90)));
  const auto left = w3->EvaluateString("localStorage.getItem('left')");
  ASSERT_TRUE(left);
  std::printf("[ measure ] pages left: %s\n", left->c_str());
  const auto entry = left->find("/play/xiaocheng-2.html ");
  ASSERT_NE(entry, std::string::npos) << *left;
  EXPECT_GE(std::atof(left->c_str() + entry + 23), 4.5) << "episode 2 was cut short: " << *left;
  EXPECT_NE(left->find("/play/xiaocheng-1.html 5.0"), std::string::npos) << *left;
  EXPECT_EQ(left->find("/play/xiaocheng-3.html"), std::string::npos) << "episode 3 came twice";
  // Episode 4 comes from the page as well, after episode 3's end, and only once.
  ASSERT_TRUE(WaitForScript(*w3, "location.pathname === '/play/xiaocheng-4.html'", seconds(90)));
  std::this_thread::sleep_for(seconds(1));
  const auto later = w3->EvaluateString("localStorage.getItem('left')").value_or("");
  EXPECT_EQ(later.find("/play/xiaocheng-4.html"), std::string::npos) << later;
  const auto third = later.find("/play/xiaocheng-3.html ");
  ASSERT_NE(third, std::string::npos) << later;
  EXPECT_GE(std::atof(later.c_str() + third + 23), 4.5) << "episode 3 was cut short: " << later;
}

TEST_F(SeriesE2E, NothingFollowsTheLastEntry) {
  ASSERT_NO_FATAL_FAILURE(StartPlayer());
  ASSERT_NO_FATAL_FAILURE(ClickEpisode(6));
  auto w3 = Episode(6);
  ASSERT_TRUE(w3);
  ASSERT_TRUE(WaitForScript(*w3, kEnded, seconds(60)));
  std::this_thread::sleep_for(seconds(7));
  EXPECT_EQ(PlayPages(), std::vector<std::string>{EpisodeUrl(6)});
  EXPECT_EQ(w3->EvaluateString("String(document.querySelector('video').ended)"), "true");
}

TEST_F(SeriesE2E, MenuItemTurnsItOffAndItStaysOffAfterARestart) {
  ASSERT_NO_FATAL_FAILURE(StartPlayer());
  const auto icon = WaitForTrayIcon(player_->pid());
  ASSERT_TRUE(icon) << "no tray icon";
  ClickWindow(*icon, 3);
  std::this_thread::sleep_for(milliseconds(700));
  EXPECT_TRUE(SaveScreenshot("tray-menu-auto-next"));
  Keys("Down Down Down Return");  // 自动播放下一集, the third item
  ASSERT_TRUE(WaitUntil(
      [&] {
        const auto bytes = ReadFileBytes(SettingsFile());
        return bytes && bytes->find("autonext=0") != std::string::npos;
      },
      seconds(10)))
      << "the choice was not written to " << SettingsFile();
  EXPECT_FALSE(prog_.Read("\\settings.ini")) << "nothing in the program directory";

  for (int run = 0; run < 2; ++run) {
    SCOPED_TRACE(run);
    ASSERT_NO_FATAL_FAILURE(ClickEpisode(3));
    auto w3 = Episode(3);
    ASSERT_TRUE(w3);
    ASSERT_TRUE(WaitForScript(*w3, kEnded, seconds(60)));
    std::this_thread::sleep_for(seconds(7));
    EXPECT_EQ(PlayPages(), std::vector<std::string>{EpisodeUrl(3)}) << "it advanced";
    if (run == 0) {
      player_->Stop();
      ASSERT_NO_FATAL_FAILURE(StartAgain());
    }
  }
}

// Where a page's video starts: the first place it was sought to, as the page itself saw it.
constexpr char kFirstSeek[] =
    "addEventListener('seeked', function (e) {"
    " if (window.firstSeek === undefined) window.firstSeek = e.target.currentTime; }, true);"
    // The page's last media events with the time, for a failure's message.
    "['play','playing','pause','seeking','seeked','waiting','ended','emptied'].forEach(function(t){"
    " addEventListener(t, function (e) { var v = e.target;"
    " if (!(v instanceof HTMLMediaElement)) return;"
    " var m = window.mediaTrail = window.mediaTrail || [];"
    " m.push(t + '@' + v.currentTime.toFixed(1) + '/' + document.visibilityState[0] + '/' +"
    " (performance.now() / 1000).toFixed(1));"
    " if (m.length > 40) m.shift(); }, true); });";
constexpr char kSoughtTo[] =
    "(function(){return window.firstSeek === undefined ? -1 : window.firstSeek;})()";

TEST_F(SeriesE2E, ALongEpisodeResumesWhereItStoppedAlsoAfterARestart) {
  ASSERT_NO_FATAL_FAILURE(StartPlayer());
  for (int run = 0; run < 2; ++run) {
    SCOPED_TRACE(run);
    auto w3 = IdlePlayerPane();
    ASSERT_TRUE(w3);
    ASSERT_TRUE(OnEveryPage(*w3, kFirstSeek));
    std::unique_ptr<DevToolsSession> list = run == 0 ? nullptr : ListPage();
    if (run == 0) {
      // Played to 30 s (a drag of the bar, then on), paused there, episode 2 opened.
      ASSERT_NO_FATAL_FAILURE(ClickEpisode(5));
      list = ListPage();
      ASSERT_TRUE(list);
      ASSERT_TRUE(
          WaitForScript(*w3, "location.pathname === '/play/xiaocheng-5.html'", seconds(40)));
      ASSERT_NO_FATAL_FAILURE(PlayTo(*w3, 30));
      ASSERT_NO_FATAL_FAILURE(PauseAt(*w3, 30));
      ASSERT_NO_FATAL_FAILURE(ClickEntry(*list, 2));
      ASSERT_TRUE(
          WaitForScript(*w3, "location.pathname === '/play/xiaocheng-2.html'", seconds(40)));
    }
    ASSERT_TRUE(list) << "no list";
    // The long one again, from the list (after the restart: from the list the file kept).
    ASSERT_NO_FATAL_FAILURE(ClickEntry(*list, 5));
    ASSERT_TRUE(WaitForScript(*w3, "location.pathname === '/play/xiaocheng-5.html'", seconds(40)));
    ASSERT_TRUE(WaitForScript(*w3, std::string(kSoughtTo) + " >= 0", seconds(40)))
        << "never sought; at " << Position(*w3);
    const auto at = w3->Evaluate(kSoughtTo);
    ASSERT_TRUE(at);
    std::printf("[ measure ] run %d: resumed at %.1f s\n", run, at->number);
    EXPECT_GE(at->number, 25);
    EXPECT_LE(at->number, 35);
    if (run == 0) {
      // Paused where it resumed, then the player ends and starts again. The pause comes once the
      // video plays there, as a user pauses what plays: the page's own script may still be on its
      // way and start the video after an earlier pause.
      ASSERT_TRUE(WaitForScript(*w3, kPlayingLoaded, seconds(30))) << MediaTrail(*w3);
      ASSERT_NO_FATAL_FAILURE(PauseAt(*w3, at->number));
      ASSERT_NO_FATAL_FAILURE(ClickEntry(*list, 2));
      ASSERT_TRUE(
          WaitForScript(*w3, "location.pathname === '/play/xiaocheng-2.html'", seconds(40)));
      w3.reset();
      list.reset();
      player_->Stop();
      ASSERT_NO_FATAL_FAILURE(StartAgain());
    }
  }
  const auto stored = ReadFileBytes(user_data_.path() / "kamplayer" / "positions.txt");
  ASSERT_TRUE(stored);
  EXPECT_NE(stored->find("/play/xiaocheng-5.html"), std::string::npos);
  EXPECT_FALSE(prog_.Read("\\positions.txt")) << "nothing in the program directory";
}

TEST_F(SeriesE2E, EarlyOrLatePositionsStartFromTheBeginning) {
  ASSERT_NO_FATAL_FAILURE(StartPlayer());
  auto w3 = IdlePlayerPane();
  ASSERT_TRUE(w3);
  ASSERT_TRUE(OnEveryPage(*w3, kFirstSeek));
  ASSERT_NO_FATAL_FAILURE(ClickEpisode(5));
  auto list = ListPage();
  ASSERT_TRUE(list);
  struct Stop {
    const char* name;
    double at;
  };
  for (const Stop& stop : {Stop{"under 10 s", 8}, Stop{"within the last 10 s", 68}}) {
    SCOPED_TRACE(stop.name);
    ASSERT_TRUE(WaitForScript(*w3, "location.pathname === '/play/xiaocheng-5.html'", seconds(40)));
    ASSERT_NO_FATAL_FAILURE(PlayTo(*w3, stop.at));
    ASSERT_NO_FATAL_FAILURE(PauseAt(*w3, stop.at));
    ASSERT_NO_FATAL_FAILURE(ClickEntry(*list, 2));
    ASSERT_TRUE(WaitForScript(*w3, "location.pathname === '/play/xiaocheng-2.html'", seconds(40)));
    ASSERT_NO_FATAL_FAILURE(ClickEntry(*list, 5));
    ASSERT_TRUE(WaitForScript(*w3, "location.pathname === '/play/xiaocheng-5.html'", seconds(40)));
    ASSERT_TRUE(WaitForScript(*w3, kStarted, seconds(40)));
    // Long enough for a seek the player would have asked for.
    std::this_thread::sleep_for(seconds(3));
    const auto sought = w3->Evaluate(kSoughtTo);
    ASSERT_TRUE(sought);
    std::printf("[ measure ] %s: sought to %.1f, at %.1f s\n", stop.name, sought->number,
                Position(*w3));
    EXPECT_LT(sought->number, 0) << "it did not start from the beginning";
  }
  // The position of 68 s was forgotten: what is kept is where the episode is now, near its start.
  const auto stored = ReadFileBytes(user_data_.path() / "kamplayer" / "positions.txt");
  ASSERT_TRUE(stored);
  const auto record = stored->find("/play/xiaocheng-5.html");
  ASSERT_NE(record, std::string::npos) << *stored;
  const auto line = stored->rfind('\n', record);
  ASSERT_NE(line, std::string::npos);
  EXPECT_LT(std::atol(stored->c_str() + line + 1), 20000) << *stored;
}

}  // namespace
}  // namespace kam::testing
