#include "update/updater_flow.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "update/updater_fakes.h"

namespace kam::update {
namespace {

using namespace fakes;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

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
    Updater other(other_view, other_system, transport, clock, pump, checks, dir.path());
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
  EXPECT_THAT(transport.urls, ElementsAre("http://127.0.0.1:18731/sela_pid_uid.exe",
                                          "http://127.0.0.1:18731/sela_pid_uid.exe.sig"));
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
  system.settings["ver/sha256"] = " " + std::string(64, 'D') + " ";
  StartWith("2.0.1###shengji###");
  updater.OnUpgradeClicked();
  EXPECT_THAT(log, ElementsAre("kill kamplayer.exe", "start " + Installer(),
                               "write Version/Version=2.0.1", "kill update.exe", "end 0"));
}

TEST_F(UpdaterTest, PublishedDigestThatDiffersFailsTheDownload) {
  system.settings["ver/sha256"] = std::string(64, 'e');
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
  bool Transfer(const std::string&, const std::filesystem::path&, const TransferOptions&,
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
  FakeChecks checks;
  Updater updater(view, system, transport, clock, pump, checks, dir.path());
  ASSERT_TRUE(updater.Start("2###shengji###").show);
  transport.notifications = {{512, 1024, BindStatus::kDownloadingData, ""},
                             {700, 0, BindStatus::kDownloadingData, ""},
                             {0, 1000, BindStatus::kBeginDownloadData, ""},
                             {1200, 1000, BindStatus::kDownloadingData, ""}};
  updater.OnUpgradeClicked();
  EXPECT_THAT(view.bar_values, ElementsAre(50.0f, 120.0f));  // the bar clamps it to 100
  EXPECT_EQ(view.texts[Control::kLabel5], "120.00%");
}

TEST(UpdaterPaths, ProgramDirectoryAtTheRootDownloadsAndStartsOneFile) {
  Log log;
  FakeView view(log);
  FakeSystem system(log);
  system.settings["kampeizhi/wangzhan"] = "http://h";
  FakeClock clock;
  ScriptedPump pump;
  FakeChecks checks;
  checks.has_key = false;
  // Succeeds without writing: the root is not writable for tests.
  class NoWriteTransport : public BindingTransport {
   public:
    bool Transfer(const std::string&, const std::filesystem::path& destination,
                  const TransferOptions&,
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
  Updater updater(view, system, transport, clock, pump, checks, root);
  ASSERT_TRUE(updater.Start("2###shengji###").show);
  log.clear();
  updater.OnUpgradeClicked();
  // One separator, and the file started is the file downloaded.
  EXPECT_EQ(transport.seen, root + "sela_pid_uid.exe");
  EXPECT_THAT(log, ElementsAre("kill kamplayer.exe", "start " + root + "sela_pid_uid.exe",
                               "write Version/Version=2", "kill update.exe", "end 0"));
}

}  // namespace
}  // namespace kam::update
