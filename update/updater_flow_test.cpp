#include "update/updater_flow.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <deque>
#include <fstream>
#include <map>
#include <optional>
#include <vector>

#include "tests/support/temp_dir.h"
#include "update/sha256.h"

namespace kam::update {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Everything the flow did to the window and the system, in order.
using Log = std::vector<std::string>;

class FakeView : public UpdaterView {
 public:
  explicit FakeView(Log& log) : log_(log) {}
  void SetText(Control c, const std::string& text) override { texts[c] = text; }
  void SetVisible(Control c, bool visible) override { visible_[c] = visible; }
  void SetBarValue(float value) override { bar_values.push_back(value); }
  char DecimalPoint() override { return '.'; }
  void InstallHook() override { log_.push_back("hook"); }
  void SetIcon(const std::filesystem::path& file) override {
    log_.push_back("icon " + file.string());
  }
  void CloseWindow() override { log_.push_back("close window"); }
  void EndProgram(int status) override { log_.push_back("end " + std::to_string(status)); }

  bool Visible(Control c) const {
    auto it = visible_.find(c);
    return it != visible_.end() && it->second;
  }
  std::vector<Control> VisibleControls() const {
    std::vector<Control> shown;
    for (auto [c, v] : visible_) {
      if (v) shown.push_back(c);
    }
    return shown;
  }

  std::map<Control, std::string> texts;
  std::vector<float> bar_values;

 private:
  std::map<Control, bool> visible_;
  Log& log_;
};

class FakeSystem : public UpdaterSystem {
 public:
  explicit FakeSystem(Log& log) : log_(log) {}
  std::string ReadSetting(std::string_view section, std::string_view key) override {
    log_.push_back("read " + std::string(section) + "/" + std::string(key));
    auto it = settings.find(std::string(section) + "/" + std::string(key));
    return it == settings.end() ? "" : it->second;
  }
  bool AnotherInstanceRunning() override {
    log_.push_back("instance?");
    return another_instance;
  }
  void EndProcessesByName(const std::string& name) override { log_.push_back("kill " + name); }
  bool StartProgram(const std::filesystem::path& program) override {
    log_.push_back("start " + program.string());
    return can_start;
  }
  bool WriteSkinConfig(std::string_view section, std::string_view key,
                       std::string_view value) override {
    log_.push_back("write " + std::string(section) + "/" + std::string(key) + "=" +
                   std::string(value));
    return true;
  }
  void ReportError(const std::string& message) override { errors.push_back(message); }

  std::map<std::string, std::string> settings;
  bool another_instance = false;
  bool can_start = true;
  std::vector<std::string> errors;

 private:
  Log& log_;
};

class FakeClock : public TickClock {
 public:
  std::uint32_t TickCount() override { return now += 10; }
  std::uint32_t now = 0;
};

class ScriptedPump : public MessagePump {
 public:
  void ProcessPendingMessages() override {
    if (actions.empty()) return;
    auto action = std::move(actions.front());
    actions.pop_front();
    action();
  }
  std::deque<std::function<void()>> actions;
};

// Sends progress notifications; on success writes body to the destination.
class FakeTransport : public BindingTransport {
 public:
  bool Transfer(const std::string& url, const std::filesystem::path& destination,
                const std::function<bool(const ProgressNotification&)>& notify) override {
    ++transfers;
    urls.push_back(url);
    destinations.push_back(destination);
    auto size = static_cast<std::int64_t>(body.size());
    for (std::int64_t done : {size / 2, size}) {
      if (!notify({done, size, BindStatus::kDownloadingData, url})) return false;
    }
    if (!succeed) return false;
    std::ofstream(destination, std::ios::binary) << body;
    return true;
  }
  std::string body = "#!/bin/sh\necho installed\n";
  bool succeed = true;
  int transfers = 0;
  std::vector<std::string> urls;
  std::vector<std::filesystem::path> destinations;
};

class UpdaterTest : public ::testing::Test {
 protected:
  UpdaterTest()
      : view(log), system(log), updater(view, system, transport, clock, pump, dir.path()) {
    system.settings["kampeizhi/wangzhan"] = "http://127.0.0.1:18731";
  }

  // Starts with a command line and forgets what start-up logged.
  void StartWith(std::string_view command_line) {
    ASSERT_TRUE(updater.Start(command_line).show);
    log.clear();
  }

  std::string Installer() const { return (dir.path() / kInstallerName).string(); }

  kam::testing::TempDir dir;
  Log log;
  FakeView view;
  FakeSystem system;
  FakeClock clock;
  ScriptedPump pump;
  FakeTransport transport;
  Updater updater;
};

TEST_F(UpdaterTest, StartUpRunsItsStepsInOrder) {
  StartupResult result = updater.Start("2.0###shengji###");
  EXPECT_TRUE(result.show);
  EXPECT_THAT(log, ElementsAre("read kampeizhi/wangzhan", "read ver/sha256", "instance?", "hook",
                               "icon " + (dir.path() / "skin" / "icon.ico").string()));
  EXPECT_EQ(updater.dizhi(), "http://127.0.0.1:18731");
}

TEST_F(UpdaterTest, UpgradeModeOffersTheVersion) {
  StartWith("2.0.1###shengji###");
  EXPECT_EQ(view.texts[Control::kLabel1], "检测到当前最新版为");
  EXPECT_EQ(view.texts[Control::kLabel2], "2.0.1");
  EXPECT_EQ(view.texts[Control::kLabel3], ",是否立即升级");
  EXPECT_THAT(view.VisibleControls(),
              ElementsAre(Control::kLabel1, Control::kLabel2, Control::kLabel3, Control::kImage6));
  EXPECT_EQ(updater.state(), UpdaterState::kOffering);
}

TEST_F(UpdaterTest, CurrentModeSaysSoWithoutTheVersion) {
  StartWith("2.0.1###wu###");
  EXPECT_EQ(view.texts[Control::kLabel1], "您当前使用的");
  EXPECT_EQ(view.texts[Control::kLabel2], "已是最新");
  EXPECT_EQ(view.texts[Control::kLabel3], ",无需升级");
  EXPECT_THAT(view.VisibleControls(),
              ElementsAre(Control::kLabel1, Control::kLabel2, Control::kLabel3, Control::kImage3));
  EXPECT_EQ(updater.state(), UpdaterState::kCurrent);
}

TEST_F(UpdaterTest, OtherModesShowNothing) {
  for (const char* line : {"2.0###Shengji###", "2.0######", "2.0###WU###", "2.0###x###"}) {
    Log other_log;
    FakeView other_view(other_log);
    FakeSystem other_system(other_log);
    Updater other(other_view, other_system, transport, clock, pump, dir.path());
    EXPECT_TRUE(other.Start(line).show) << line;
    EXPECT_THAT(other_view.VisibleControls(), IsEmpty()) << line;
    EXPECT_EQ(other.state(), UpdaterState::kBlank) << line;
  }
}

TEST_F(UpdaterTest, EmptyCommandLineEndsSilentlyAfterTheIcon) {
  StartupResult result = updater.Start("");
  EXPECT_FALSE(result.show);
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_EQ(log.back(), "icon " + (dir.path() / "skin" / "icon.ico").string());
  EXPECT_THAT(system.errors, IsEmpty());
}

TEST_F(UpdaterTest, CommandLineWithoutSeparatorIsAnError) {
  StartupResult result = updater.Start("2.0 shengji");
  EXPECT_FALSE(result.show);
  EXPECT_NE(result.exit_status, 0);
  EXPECT_EQ(system.errors.size(), 1u);
}

TEST_F(UpdaterTest, AnotherInstanceEndsBeforeTheWindowIsTouched) {
  system.another_instance = true;
  StartupResult result = updater.Start("2.0###shengji###");
  EXPECT_FALSE(result.show);
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_THAT(log, ElementsAre("read kampeizhi/wangzhan", "read ver/sha256", "instance?"));
  EXPECT_THAT(view.VisibleControls(), IsEmpty());
}

TEST_F(UpdaterTest, SuccessfulUpgradeEndsThePlayerStartsTheInstallerAndRecordsTheVersion) {
  StartWith("2.0.1###shengji###");
  updater.OnUpgradeClicked();
  EXPECT_TRUE(view.Visible(Control::kLabel4));
  EXPECT_TRUE(view.Visible(Control::kLabel5));
  EXPECT_TRUE(view.Visible(Control::kBar));
  EXPECT_THAT(transport.urls, ElementsAre("http://127.0.0.1:18731/sela_pid_uid.exe"));
  EXPECT_EQ(transport.destinations[0], dir.path() / "sela_pid_uid.exe");
  EXPECT_THAT(log, ElementsAre("kill kamplayer.exe", "start " + Installer(),
                               "write Version/Version=2.0.1", "kill update.exe", "end 0"));
  EXPECT_EQ(updater.state(), UpdaterState::kFinishing);
}

TEST_F(UpdaterTest, FailedDownloadUnloadsAndTouchesNothing) {
  StartWith("2.0.1###shengji###");
  transport.succeed = false;
  updater.OnUpgradeClicked();
  EXPECT_THAT(log, ElementsAre("close window"));
  EXPECT_EQ(updater.state(), UpdaterState::kClosed);
}

TEST_F(UpdaterTest, MissingSiteAddressFetchesTheBarePath) {
  system.settings.clear();
  StartWith("2.0.1###shengji###");
  transport.succeed = false;
  updater.OnUpgradeClicked();
  EXPECT_THAT(transport.urls, ElementsAre("/sela_pid_uid.exe"));
  EXPECT_THAT(log, ElementsAre("close window"));
}

TEST_F(UpdaterTest, CancelDuringTheDownloadUnloadsWithoutEndingAnything) {
  StartWith("2.0.1###shengji###");
  pump.actions.push_back([&] { updater.OnCancelClicked(); });
  updater.OnUpgradeClicked();
  EXPECT_THAT(log, ElementsAre("close window"));
  EXPECT_FALSE(std::filesystem::exists(dir.path() / kInstallerName));
}

TEST_F(UpdaterTest, SecondUpgradeClickDuringTheDownloadUnloadsAndAbortsIt) {
  StartWith("2.0.1###shengji###");
  std::optional<UpdaterState> state_after_nested_click;
  pump.actions.push_back([&] {
    updater.OnUpgradeClicked();
    state_after_nested_click = updater.state();
  });
  updater.OnUpgradeClicked();
  EXPECT_EQ(transport.transfers, 1);
  EXPECT_EQ(state_after_nested_click, UpdaterState::kClosed);
  EXPECT_THAT(log, ElementsAre("close window"));  // once, although both clicks fail
}

TEST_F(UpdaterTest, TitleBarCloseDuringTheDownloadEndsAtOnce) {
  StartWith("2.0.1###shengji###");
  pump.actions.push_back([&] { updater.OnTitleBarClose(); });
  updater.OnUpgradeClicked();
  EXPECT_THAT(log, ElementsAre("end 0"));
}

TEST_F(UpdaterTest, InstallerThatCannotStartEndsWithAnErrorAndNoVersion) {
  StartWith("2.0.1###shengji###");
  system.can_start = false;
  updater.OnUpgradeClicked();
  EXPECT_THAT(log, ElementsAre("kill kamplayer.exe", "start " + Installer(), "end 1"));
  EXPECT_EQ(system.errors.size(), 1u);
}

TEST_F(UpdaterTest, PublishedDigestThatMatchesLetsTheInstallerRun) {
  system.settings["ver/sha256"] = Sha256Hex(transport.body);
  StartWith("2.0.1###shengji###");
  updater.OnUpgradeClicked();
  EXPECT_THAT(log, ElementsAre("kill kamplayer.exe", "start " + Installer(),
                               "write Version/Version=2.0.1", "kill update.exe", "end 0"));
}

TEST_F(UpdaterTest, PublishedDigestThatDiffersFailsTheDownload) {
  system.settings["ver/sha256"] = Sha256Hex("another installer");
  StartWith("2.0.1###shengji###");
  updater.OnUpgradeClicked();
  EXPECT_THAT(log, ElementsAre("close window"));
  EXPECT_FALSE(std::filesystem::exists(dir.path() / kInstallerName));
  EXPECT_EQ(system.errors.size(), 1u);
}

TEST_F(UpdaterTest, OkButtonUnloadsOnce) {
  StartWith("2.0.1###wu###");
  updater.OnOkClicked();
  updater.Unload();  // the window's own close arrives afterwards
  EXPECT_THAT(log, ElementsAre("close window"));
}

TEST_F(UpdaterTest, ProgressUpdatesTheBarAndTheLabel) {
  StartWith("2.0.1###shengji###");
  transport.body = std::string(1024, 'x');  // notifications at 512 and 1024 of 1024
  updater.OnUpgradeClicked();
  EXPECT_THAT(view.bar_values, ElementsAre(50.0f, 100.0f));
  EXPECT_EQ(view.texts[Control::kLabel5], "100.00%");
}

// Notifications straight into the window's handler through a transport that sends them as given.
class ListTransport : public BindingTransport {
 public:
  bool Transfer(const std::string&, const std::filesystem::path&,
                const std::function<bool(const ProgressNotification&)>& notify) override {
    for (const auto& n : notifications) notify(n);
    return false;
  }
  std::vector<ProgressNotification> notifications;
};

TEST(UpdaterProgress, UnknownTotalChangesNothingAndOverrunShowsUnclamped) {
  Log log;
  FakeView view(log);
  FakeSystem system(log);
  FakeClock clock;
  ScriptedPump pump;
  ListTransport transport;
  kam::testing::TempDir dir;
  Updater updater(view, system, transport, clock, pump, dir.path());
  ASSERT_TRUE(updater.Start("2###shengji###").show);
  transport.notifications = {{512, 1024, BindStatus::kDownloadingData, ""},
                             {700, 0, BindStatus::kDownloadingData, ""},
                             {0, 1000, BindStatus::kBeginDownloadData, ""},
                             {1200, 1000, BindStatus::kDownloadingData, ""}};
  updater.OnUpgradeClicked();
  EXPECT_THAT(view.bar_values, ElementsAre(50.0f, 120.0f));  // the bar clamps it to 100
  EXPECT_EQ(view.texts[Control::kLabel5], "120.00%");
}

TEST(UpdaterPaths, ProgramDirectoryAtTheRoot) {
  Log log;
  FakeView view(log);
  FakeSystem system(log);
  system.settings["kampeizhi/wangzhan"] = "http://h";
  FakeClock clock;
  ScriptedPump pump;
  // Succeeds without writing: the root is not writable for tests.
  class NoWriteTransport : public BindingTransport {
   public:
    bool Transfer(const std::string&, const std::filesystem::path& destination,
                  const std::function<bool(const ProgressNotification&)>&) override {
      seen = destination;
      return true;
    }
    std::filesystem::path seen;
  } transport;
#ifdef _WIN32
  const std::string root = "C:\\";
#else
  const std::string root = "/";
#endif
  Updater updater(view, system, transport, clock, pump, root);
  ASSERT_TRUE(updater.Start("2###shengji###").show);
  log.clear();
  updater.OnUpgradeClicked();
  EXPECT_EQ(transport.seen, root + "sela_pid_uid.exe");  // one separator
  // The installer's path is the folder, a separator and the name, as the program builds it.
  EXPECT_THAT(log, ElementsAre("kill kamplayer.exe", "start " + root + root.back() + "sela_pid_uid.exe",
                               "write Version/Version=2", "kill update.exe", "end 0"));
}

}  // namespace
}  // namespace kam::update
