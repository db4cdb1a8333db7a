#include "player/startup/start_routine.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "common/path_text.h"
#include "tests/support/slashed.h"

namespace kam {
namespace {

using ::kam::testing::Slashed;

// Records every call in order; answers from tables.
class Recorder : public MainWindowPort, public SystemPort {
 public:
  std::vector<std::string> log;
  bool another_instance = false;
  bool online = true;
  bool listweb_busy = false;
  std::string command_line;
  std::map<std::string, std::string> settings;  // "section/key"
  std::string installed;
  bool skin_config_exists = true;
  bool updater_exists = true;

  // MainWindowPort.
  void Show() override { log.push_back("Show"); }
  void SetTimerEnabled(MainTimer t, bool on) override {
    log.push_back(std::string(t == MainTimer::kNolink ? "nolink" : "webtime") +
                  (on ? " on" : " off"));
  }
  void Navigate(MainPane p, const std::string& a) override {
    log.push_back(Name(p) + " -> " + Slashed(a));
  }
  void RefuseAddress(MainPane p, const std::string& a, const std::string&) override {
    log.push_back(Name(p) + " refuses " + a);
  }
  bool Busy(MainPane) override { return listweb_busy; }
  void SetSilent(MainPane p, bool s) override {
    log.push_back(Name(p) + (s ? " silent" : " not silent"));
  }
  void SetCaption(const std::string& c) override { log.push_back("caption " + c); }
  void SetVersionLabel(const std::string& t) override { log.push_back("ver " + t); }
  void SetMaxBoundsToWorkArea() override { log.push_back("max bounds"); }
  void SetIconFromFile(const std::filesystem::path& f) override {
    log.push_back("icon " + Slashed(PathUtf8(f)));
  }
  void CentreThenTop120Twips() override { log.push_back("centre"); }
  void LoadHistory(const std::filesystem::path& f) override {
    log.push_back("history " + Slashed(PathUtf8(f)));
  }
  void TaskbarHook() override { log.push_back("TaskbarHook"); }
  void TrayShowIcon(const std::string& tip) override { log.push_back("tray " + tip); }
  void TrayShowBalloon(const std::string& title, const std::string& text, int flags,
                       int ms) override {
    log.push_back("balloon " + title + "/" + text + "/" + std::to_string(flags) + "/" +
                  std::to_string(ms));
  }
  void TrayRemoveIcon() override { log.push_back("tray remove"); }
  void ShowAndRaise() override { log.push_back("show and raise"); }

  // SystemPort.
  std::filesystem::path ProgramDir() override { return "/prog"; }
  bool AnotherInstanceRunning() override { return another_instance; }
  void HandOverToRunning(const std::string& c) override { log.push_back("hand over " + c); }
  bool ConnectionAvailable(const std::string& url) override {
    log.push_back("probe " + url);
    return online;
  }
  bool DownloadFile(const std::string& url, const std::filesystem::path& target,
                    std::chrono::milliseconds limit) override {
    log.push_back("download " + url + " > " + Slashed(PathUtf8(target)) + " within " +
                  std::to_string(limit.count()) + " ms");
    return true;
  }
  std::string CommandLine() override { return command_line; }
  std::string ReadSetting(const std::string& s, const std::string& k) override {
    auto it = settings.find(s + "/" + k);
    return it == settings.end() ? "" : it->second;
  }
  std::string ReadSkinConfig(const std::string& s, const std::string& k,
                             const std::string& d) override {
    EXPECT_EQ(s, "Version");
    EXPECT_EQ(k, "Version");
    return skin_config_exists ? installed : d;
  }
  bool FileExists(const std::filesystem::path& f) override {
    return f == "/prog/update" && updater_exists;
  }
  void StartDetached(const std::filesystem::path& p, const std::string& a) override {
    log.push_back("start " + Slashed(PathUtf8(p)) + " " + a);
  }
  void EndProcessesByName(const std::string& n) override { log.push_back("end " + n); }
  void EndProgramCopies(const std::string& n) override { log.push_back("end program " + n); }

  static std::string Name(MainPane p) {
    switch (p) {
      case MainPane::kListweb:
        return "listweb";
      case MainPane::kW3:
        return "W3";
      case MainPane::kQvod:
        return "qvod";
    }
    return "?";
  }
};

// ASCII text as a desktop shortcut carries it (printable characters rotated by 47).
std::string Rot47(std::string s) {
  for (char& c : s) {
    if (c >= 33 && c <= 126) c = static_cast<char>(33 + (c - 33 + 47) % 94);
  }
  return s;
}

const std::vector<std::string> kLoadHandler = {
    "nolink on",
    "max bounds",
    "webtime on",
    "listweb silent",
    "listweb -> /prog/skin/Loading.html",
    "W3 -> /prog/skin/Loading.html",
    "icon /prog/skin/icon.ico",
    "centre",
    "history /prog/data/Data.dat",
};

std::vector<std::string> Concat(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

class StartupTest : public ::testing::Test {
 protected:
  StartupTest() : startup_(state_, rec_, rec_, {"http://probe/", "http://img", "http://cfg"}) {}
  Recorder rec_;
  PlayerState state_;
  Startup startup_;
};

TEST_F(StartupTest, SecondInstanceHandsOverAndEndsBeforeAnythingElse) {
  for (const std::string& command_line : {std::string(), Rot47("a#@@http://s/1"), Rot47("x")}) {
    Recorder rec;
    PlayerState state;
    rec.another_instance = true;
    rec.command_line = command_line;
    Startup startup(state, rec, rec, {"http://probe/", "http://img", "http://cfg"});
    EXPECT_EQ(startup.Run(), StartOutcome::kEnd);
    // The raw command line: the running player decodes it by its own rules.
    EXPECT_EQ(rec.log, std::vector<std::string>{"hand over " + command_line});
    EXPECT_FALSE(startup.loaded());
  }
}

// The running player opens a handed-over shortcut exactly as a shortcut start does, then shows
// and raises its window; a plain second start only shows and raises it.
TEST_F(StartupTest, HandedOverArgumentOpensAsAShortcutStart) {
  struct Case {
    const char* name;
    std::string command_line;
    std::vector<std::string> after_start;
  };
  const std::vector<std::string> open = {
      "Show",          "webtime off", "listweb -> http://site/play/1.html",
      "caption Box",   "TaskbarHook", "tray Box",
      "show and raise"};
  const Case cases[] = {
      {"no argument shows and raises", "", {"show and raise"}},
      {"a shortcut opens its address", Rot47("Title#@@http://site/play/1.html"), open},
      {"no separator is dropped", Rot47("just a title"), {}},
      {"a non-web address is refused as at start",
       Rot47("a#@@file:///etc/hostname"),
       {"Show", "webtime off", "listweb refuses file:///etc/hostname", "caption Box", "TaskbarHook",
        "tray Box", "show and raise"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Recorder rec;
    PlayerState state;
    rec.settings = {{"kampeizhi/wangzhan", "http://site"}, {"kampeizhi/name", "Box"}};
    Startup startup(state, rec, rec, {"http://probe/", "http://img", "http://cfg"});
    ASSERT_EQ(startup.Run(), StartOutcome::kRunning);
    const std::size_t started = rec.log.size();
    startup.HandOver(ReadHandOverArgument(c.command_line));
    EXPECT_EQ(std::vector<std::string>(rec.log.begin() + started, rec.log.end()), c.after_start);
  }
}

TEST_F(StartupTest, OfflineLoadsTheWindowShowsTheBalloonAndStopsTheStart) {
  rec_.online = false;
  EXPECT_EQ(startup_.Run(), StartOutcome::kEndAfterBalloon);
  const auto expected =
      Concat(Concat({"probe http://probe/"}, kLoadHandler),
             {"balloon 网络没有连接/请连接网络重试/1/10000", "nolink off", "webtime off"});
  EXPECT_EQ(rec_.log, expected);  // no download, never shown
}

TEST_F(StartupTest, NormalStartDownloadsSettingsThenShowsWithWebtimeOn) {
  EXPECT_EQ(startup_.Run(), StartOutcome::kRunning);
  const auto expected =
      Concat(Concat({"probe http://probe/",
                     "download http://img/upload/my2.txt > /prog/kamplayer.db within 5000 ms"},
                    kLoadHandler),
             {"webtime on", "Show"});
  EXPECT_EQ(rec_.log, expected);
  // The load handler runs once, however often the window is needed.
  startup_.EnsureLoaded();
  EXPECT_EQ(rec_.log.size(), expected.size());
}

TEST_F(StartupTest, ShortcutWithoutSeparatorEndsSilently) {
  rec_.command_line = Rot47("just a title");
  EXPECT_EQ(startup_.Run(), StartOutcome::kEnd);
  EXPECT_EQ(rec_.log.back(),
            "download http://img/upload/my2.txt > /prog/kamplayer.db within 5000 ms");
  EXPECT_FALSE(startup_.loaded());
}

TEST_F(StartupTest, ShortcutOpensItsSecondField) {
  struct Case {
    std::string decoded;
    std::string opened;
  };
  // Any web address opens (a site that moved keeps its old shortcuts); nothing else does.
  for (const Case& c :
       {Case{"Title#@@http://site/play/1.html", "listweb -> http://site/play/1.html"},
        Case{"a#@@http://s/2#@@c#@@d", "listweb -> http://s/2"},
        Case{"a#@@HTTPS://Moved.Example/p", "listweb -> https://moved.example/p"},
        Case{"#@@", "listweb refuses "},
        Case{"a#@@file:///etc/hostname", "listweb refuses file:///etc/hostname"},
        Case{"a#@@javascript:alert(1)", "listweb refuses javascript:alert(1)"}}) {
    Recorder rec;
    PlayerState state;
    rec.command_line = Rot47(c.decoded);
    rec.settings = {
        {"kampeizhi/wangzhan", "http://site"}, {"kampeizhi/name", "Box"}, {"tui/tui", "1"}};
    Startup startup(state, rec, rec, {"http://probe/", "http://img", "http://cfg"});
    EXPECT_EQ(startup.Run(), StartOutcome::kRunning);
    const auto expected =
        Concat(Concat({"probe http://probe/",
                       "download http://img/upload/my2.txt > /prog/kamplayer.db within 5000 ms"},
                      kLoadHandler),
               {"Show", "webtime off", c.opened, "caption Box", "TaskbarHook", "tray Box"});
    EXPECT_EQ(rec.log, expected) << c.decoded;
    EXPECT_EQ(state.dizhi, "http://site");
    // What only webtime applies keeps its design value.
    EXPECT_EQ(state.tuichu, "Label1");
    EXPECT_EQ(state.huangchong, "Label1");
    EXPECT_EQ(state.da, "Label1");
    EXPECT_EQ(state.verLabel, "");
  }
}

TEST_F(StartupTest, WebtimeWaitsWhileTheCatalogueIsBusy) {
  rec_.listweb_busy = true;
  startup_.webtime_Timer();
  EXPECT_TRUE(rec_.log.empty());
  EXPECT_EQ(state_.dizhi, "");
}

TEST_F(StartupTest, WebtimeAppliesSettingsAndOpensTheSite) {
  rec_.settings = {{"kampeizhi/wangzhan", "http://site"},
                   {"kampeizhi/name", "看片"},
                   {"tui/tui", "2"},
                   {"loading/loading", "1"},
                   {"loading/loadingtime", "10"},
                   {"ver/ver", "1.1"}};
  rec_.installed = "1.0";
  startup_.webtime_Timer();
  EXPECT_EQ(rec_.log,
            (std::vector<std::string>{"webtime off", "caption 看片", "ver 当前版本:1.1版",
                                      "tray 看片", "listweb -> http://site",
                                      "qvod -> http://site/huangchong.html", "TaskbarHook"}));
  EXPECT_EQ(state_.dizhi, "http://site");
  EXPECT_EQ(state_.caption, "看片");
  EXPECT_EQ(state_.tuichu, "2");
  EXPECT_EQ(state_.huangchong, "1");
  EXPECT_EQ(state_.da, "10");
  EXPECT_EQ(state_.Text2, "1.1");
  EXPECT_EQ(state_.Text1, "1.0");
}

TEST_F(StartupTest, WebtimeOpensOnlyAnHttpSite) {
  struct Case {
    std::string wangzhan;
    std::vector<std::string> opened;
  };
  for (const Case& c :
       {Case{"HTTP://Site.Example:80",
             {"listweb -> http://site.example", "qvod -> http://site.example/huangchong.html"}},
        Case{"file:///etc",
             {"listweb refuses file:///etc", "qvod refuses file:///etc/huangchong.html"}},
        Case{"", {"listweb refuses ", "qvod refuses /huangchong.html"}},
        Case{"http://site:99999",
             {"listweb refuses http://site:99999",
              "qvod refuses http://site:99999/huangchong.html"}}}) {
    Recorder rec;
    PlayerState state;
    rec.settings = {{"kampeizhi/wangzhan", c.wangzhan}};
    Startup startup(state, rec, rec, {});
    startup.webtime_Timer();
    std::vector<std::string> panes;
    for (const std::string& line : rec.log) {
      if (line.rfind("listweb ", 0) == 0 || line.rfind("qvod ", 0) == 0) panes.push_back(line);
    }
    EXPECT_EQ(panes, c.opened) << c.wangzhan;
    EXPECT_EQ(state.dizhi, c.wangzhan);
  }
}

TEST_F(StartupTest, VersionLabelOnlyWhenAnUpgradeIsDue) {
  struct Case {
    std::string installed, offered;
    bool label;
  };
  for (const Case& c :
       {Case{"1.0", "1.1", true}, Case{"1.10", "1.9", true}, Case{"1.0", "1.0.1", true},
        Case{"1.0", "1.0", false}, Case{"2.0", "1.9", false}, Case{"1.0", "", false}}) {
    Recorder rec;
    PlayerState state;
    rec.installed = c.installed;
    rec.settings["ver/ver"] = c.offered;
    Startup startup(state, rec, rec, {});
    startup.webtime_Timer();
    EXPECT_EQ(state.verLabel, c.label ? "当前版本:" + c.offered + "版" : "")
        << c.installed << " vs " << c.offered;
  }
}

TEST_F(StartupTest, NolinkHandsOverToTheUpdaterWhenDue) {
  struct Case {
    std::string installed, offered;
    bool config, updater;
    std::vector<std::string> tail;
  };
  const std::vector<Case> cases = {
      {"1.0",
       "1.1",
       true,
       true,
       {"start /prog/update 1.1###shengji###", "end program kamplayer.exe"}},
      {"",
       "2.0",
       false,
       true,
       {"start /prog/update 2.0###shengji###", "end program kamplayer.exe"}},
      {"1.0", "1.1", true, false, {}},
      {"1.1", "1.1", true, true, {}},
      {"1.1", "", true, true, {}},
  };
  for (const Case& c : cases) {
    Recorder rec;
    PlayerState state;
    rec.installed = c.installed;
    rec.skin_config_exists = c.config;
    rec.updater_exists = c.updater;
    rec.settings["ver/ver"] = c.offered;
    Startup startup(state, rec, rec, {});
    startup.nolink_Timer();
    EXPECT_EQ(rec.log, Concat({"nolink off"}, c.tail)) << c.installed << " vs " << c.offered;
    EXPECT_EQ(state.Text2, c.offered);
    EXPECT_EQ(state.Text1, c.installed);
  }
}

TEST_F(StartupTest, ManualCheckAlwaysStartsTheUpdaterAndKeepsRunning) {
  struct Case {
    std::string installed, offered, argument;
  };
  for (const Case& c : {Case{"1.0", "1.1", "1.1###shengji###"}, Case{"1.1", "1.1", "1.1###wu###"},
                        Case{"1.1", "", "###wu###"}}) {
    Recorder rec;
    PlayerState state;
    rec.installed = c.installed;
    rec.settings["ver/ver"] = c.offered;
    Startup startup(state, rec, rec, {"", "", "http://cfg"});
    startup.shengji();
    EXPECT_EQ(rec.log, (std::vector<std::string>{
                           "download http://cfg/kam/kam.txt > /prog/kamplayer.db within 0 ms",
                           "start /prog/update " + c.argument}));
    EXPECT_EQ(startup.form2().Text2, c.offered);
    // The main window's copies are Form2's business only.
    EXPECT_EQ(state.Text2, "Text2");
  }
}

TEST_F(StartupTest, ManualCheckWithoutUpdaterDoesNothingVisible) {
  rec_.updater_exists = false;
  startup_.shengji();
  EXPECT_EQ(rec_.log, (std::vector<std::string>{
                          "download http://cfg/kam/kam.txt > /prog/kamplayer.db within 0 ms"}));
}

TEST_F(StartupTest, ExitEndsTheOutsidePlayerThenTheTrayThenEveryPlayer) {
  startup_.ExitPlayer();
  EXPECT_EQ(rec_.log,
            (std::vector<std::string>{"end xgweb.exe", "end xgtray.exe", "end xgengine.exe",
                                      "tray remove", "end program kamplayer.exe"}));
}

}  // namespace
}  // namespace kam
