// The updater as users meet it: the real program, copied with its program directory into a
// temporary folder, on the test display, fetching the demo site's installer from the real demo
// server, clicked with xdotool.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <csignal>
#include <cstdio>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "build_config.h"
#include "common/code_page.h"
#include "tests/support/child_process.h"
#include "tests/support/demo_server.h"
#include "tests/support/program_dir_fixture.h"
#include "tests/support/temp_dir.h"

namespace kam {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing::ChildProcess;
using testing::DemoServer;
using testing::ProgramDirCopy;
using testing::ProgramRun;
using testing::WaitUntil;

std::string Capture(const std::string& command) {
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) out += buffer;
    pclose(pipe);
  }
  return out;
}

std::string Quote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

struct Point {
  int x = 0;
  int y = 0;
};

// Where the window of that X id sits on the screen.
std::optional<Point> WindowOrigin(const std::string& window) {
  const std::string shell =
      Capture("timeout 5 xdotool getwindowgeometry --shell " + window + " 2>/dev/null");
  Point origin;
  bool x = false, y = false;
  std::size_t at = 0;
  while (at < shell.size()) {
    std::size_t end = shell.find('\n', at);
    std::string line = shell.substr(at, end == std::string::npos ? end : end - at);
    if (line.rfind("X=", 0) == 0) origin.x = std::stoi(line.substr(2)), x = true;
    if (line.rfind("Y=", 0) == 0) origin.y = std::stoi(line.substr(2)), y = true;
    if (end == std::string::npos) break;
    at = end + 1;
  }
  if (!x || !y) return std::nullopt;
  return origin;
}

void ClickAt(Point at) {
  std::system(("timeout 5 xdotool mousemove " + std::to_string(at.x) + " " + std::to_string(at.y) +
               " sleep 0.1 click 1 >/dev/null 2>&1")
                  .c_str());
}

// Pixels within fuzz percent of colour in a rectangle of a screenshot.
int CountColour(const fs::path& png, int x, int y, int width, int height, const char* colour,
                int fuzz) {
  const std::string cmd = "convert " + Quote(png.string()) + " -crop " + std::to_string(width) +
                          "x" + std::to_string(height) + "+" + std::to_string(x) + "+" +
                          std::to_string(y) + " +repage -fuzz " + std::to_string(fuzz) +
                          "% -fill black +opaque '" + colour + "' -fill white -opaque '" + colour +
                          "' -format '%[fx:round(mean*w*h)]' info: 2>/dev/null";
  const std::string out = Capture(cmd);
  return out.empty() ? -1 : std::stoi(out);
}

// The version the tests start the updater with, and which the site's settings texts offer.
constexpr char kOffered[] = "2.0.1";

// A copy of the demo site in folder whose settings texts offer version: the site signs its
// installer for that version.
fs::path SiteOffering(const fs::path& folder, const std::string& version) {
  EXPECT_TRUE(DemoServer::CopyDefaultSite(folder));
  for (const char* text : {"upload/my2.txt", "kam/kam.txt"}) {
    std::ofstream(folder / text, std::ios::binary | std::ios::trunc)
        << "[ver]\r\nver=" << version << "\r\n";
  }
  return folder;
}

// Inside the window: the upgrade button, the OK button, the cancel label.
constexpr Point kImage6{216 + 54, 272 + 15};
constexpr Point kImage3{216 + 54, 264 + 15};
constexpr Point kLabel4{344 + 10, 288 + 8};
constexpr Point kCloseButton{548 - 40 + 16, 2 + 12};

Point On(Point origin, Point inside) { return {origin.x + inside.x, origin.y + inside.y}; }

class UpdaterProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fs::exists(dir_.path() / "update")) << "build the update target first";
    ASSERT_TRUE(server_.ok()) << server_.error();
    dir_.Write("\\kamplayer.db", Utf8ToGbk("[kampeizhi]\r\nwangzhan=" + server_.BaseUrl() +
                                           "\r\nname=看吧影院\r\n[ver]\r\nver=2.0.1\r\n"));
    config_before_ = dir_.Read("\\skin\\Config.ini").value_or("");
    installer_log_ = scratch_.path() / "installer-ran.log";
  }

  std::unique_ptr<ProgramRun> StartUpdater(const std::string& command_line) {
    auto run = std::make_unique<ProgramRun>(
        dir_.path() / "update", std::vector<std::string>{command_line},
        std::vector<std::string>{"KAM_INSTALLER_LOG=" + installer_log_.string()},
        testing::TestOutputDir() / ("update-" + std::to_string(++runs_) + ".log"));
    return run;
  }

  std::string LogOf(int run) const {
    std::ifstream log(testing::TestOutputDir() / ("update-" + std::to_string(run) + ".log"));
    return std::string((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
  }

  // The updater window's top-left corner once it is on screen.
  std::optional<Point> WaitForWindow(ProgramRun& run) {
    std::vector<std::string> windows;
    WaitUntil(
        [&] {
          windows = testing::VisibleWindowsOf(run.pid());
          return !windows.empty();
        },
        15s);
    if (windows.empty()) {
      ADD_FAILURE() << "no updater window; the updater "
                    << (run.Running() ? "still runs" : "has ended")
                    << "; its log: " << LogOf(runs_);
      return std::nullopt;
    }
    std::this_thread::sleep_for(300ms);  // let it paint
    return WindowOrigin(windows.front());
  }

  // A stand-in for a running player: the program directory's "kamplayer" is the probe.
  std::unique_ptr<ChildProcess> StartStandInPlayer() {
    auto player = std::make_unique<ChildProcess>(testing::CopyProbeAs(dir_.path(), "kamplayer"),
                                                 std::vector<std::string>{"wait"});
    EXPECT_EQ(player->ReadLine(10s), "ready");
    return player;
  }

  // Programs of the same names in another folder: another program's "update", a player
  // installed elsewhere. The updater must leave them alone.
  std::vector<std::unique_ptr<ChildProcess>> StartSameNamedStrangers() {
    const fs::path other = scratch_.path() / "other-program";
    fs::create_directories(other);
    std::vector<std::unique_ptr<ChildProcess>> strangers;
    for (const char* name : {"update", "kamplayer"}) {
      strangers.push_back(std::make_unique<ChildProcess>(testing::CopyProbeAs(other, name),
                                                         std::vector<std::string>{"wait"}));
      EXPECT_EQ(strangers.back()->ReadLine(10s), "ready") << name;
    }
    return strangers;
  }

  static void ExpectStillRunning(std::vector<std::unique_ptr<ChildProcess>>& processes) {
    for (auto& process : processes) {
      EXPECT_TRUE(process->WriteLine("ping"));
      EXPECT_EQ(process->ReadLine(5s), "alive") << "a same-named program of another folder ended";
    }
  }

  // With a player running, clicks the upgrade, whose installer has a signature that does not
  // verify, or none: the download fails as any failed download does.
  void UpgradeAndExpectTheInstallerRefused() {
    auto player = StartStandInPlayer();
    auto updater = StartUpdater("2.0.1###shengji###");
    auto origin = WaitForWindow(*updater);
    ASSERT_TRUE(origin.has_value());
    ClickAt(On(*origin, kImage6));
    auto status = updater->Wait(15s);
    ASSERT_TRUE(status.has_value()) << "the updater is still running";
    EXPECT_TRUE(testing::ExitedWith(*status, 0));
    EXPECT_FALSE(player->Wait(300ms).has_value()) << "the player was ended";
    EXPECT_FALSE(fs::exists(installer_log_)) << "the installer ran";
    for (const auto& entry : fs::directory_iterator(dir_.path())) {
      EXPECT_EQ(entry.path().filename().string().find("sela_pid_uid"), std::string::npos)
          << entry.path();
    }
    EXPECT_EQ(dir_.Read("\\skin\\Config.ini").value_or(""), config_before_);
    EXPECT_TRUE(testing::VisibleWindowsNamed("在线升级").empty());
  }

  ProgramDirCopy dir_;
  testing::TempDir scratch_;
  DemoServer server_{DemoServer::kAnyPort, SiteOffering(scratch_.path() / "offering", kOffered)};
  fs::path installer_log_;
  std::string config_before_;
  int runs_ = 0;
};

TEST_F(UpdaterProgram, OfferThenUpgradeEndsThePlayerRunsTheInstallerAndRecordsTheVersion) {
  auto strangers = StartSameNamedStrangers();
  auto player = StartStandInPlayer();
  auto updater = StartUpdater("2.0.1###shengji###");
  auto origin = WaitForWindow(*updater);
  ASSERT_TRUE(origin.has_value());
  auto shot = testing::SaveScreenshot("offer");
  ASSERT_TRUE(shot.has_value());
  // The offered version in orange within the sentence.
  EXPECT_GT(CountColour(*shot, origin->x + 128, origin->y + 176, 300, 17, "rgb(255,128,0)", 20),
            20);

  ClickAt(On(*origin, kImage6));
  auto status = updater->Wait(30s);
  ASSERT_TRUE(status.has_value()) << "the updater is still running";
  EXPECT_TRUE(testing::ExitedWith(*status, 0));

  // Asked to end, it ended (the probe takes SIGTERM's default); nothing had to force it.
  auto player_status = player->Wait(5s);
  ASSERT_TRUE(player_status.has_value()) << "the player was not ended";
  EXPECT_TRUE(WIFSIGNALED(*player_status) && WTERMSIG(*player_status) == SIGTERM)
      << "wait status " << *player_status;
  ExpectStillRunning(strangers);

  EXPECT_TRUE(WaitUntil([&] { return fs::exists(installer_log_); }, 10s));
  std::ifstream log(installer_log_);
  std::string line;
  std::getline(log, line);
  EXPECT_NE(line.find("sela_pid_uid.exe ran"), std::string::npos) << line;
  EXPECT_NE(line.find("0 argument(s)"), std::string::npos) << line;

  EXPECT_EQ(dir_.Read("\\sela_pid_uid.exe"),
            testing::HttpGet(server_.Url("/sela_pid_uid.exe"))->body);
  const std::string config = dir_.Read("\\skin\\Config.ini").value_or("");
  EXPECT_NE(config.find("[Version]"), std::string::npos) << config;
  EXPECT_NE(config.find("Version=2.0.1"), std::string::npos) << config;
  EXPECT_TRUE(testing::VisibleWindowsNamed("在线升级").empty());
}

TEST_F(UpdaterProgram, CancelDuringASlowDownloadEndsWithoutTouchingAnything) {
  ASSERT_TRUE(server_.Misbehave("/sela_pid_uid.exe", "slow", "rate=40"));
  auto player = StartStandInPlayer();
  auto updater = StartUpdater("2.0.1###shengji###");
  auto origin = WaitForWindow(*updater);
  ASSERT_TRUE(origin.has_value());
  ClickAt(On(*origin, kImage6));
  std::this_thread::sleep_for(1500ms);
  auto shot = testing::SaveScreenshot("downloading");
  ASSERT_TRUE(updater->Running()) << "the slowed download ended by itself";
  ClickAt(On(*origin, kLabel4));
  auto status = updater->Wait(10s);
  ASSERT_TRUE(status.has_value()) << "cancel did not end the updater";
  EXPECT_TRUE(testing::ExitedWith(*status, 0));

  EXPECT_FALSE(player->Wait(500ms).has_value()) << "the player was ended";
  EXPECT_EQ(dir_.Read("\\skin\\Config.ini").value_or(""), config_before_);
  EXPECT_FALSE(fs::exists(installer_log_));
  // Neither the installer nor a part of it is left in the program directory.
  for (const auto& entry : fs::directory_iterator(dir_.path())) {
    EXPECT_EQ(entry.path().filename().string().find("sela_pid_uid"), std::string::npos)
        << entry.path();
  }
}

TEST_F(UpdaterProgram, SecondClickOnUpdateDuringTheDownloadEndsIt) {
  ASSERT_TRUE(server_.Misbehave("/sela_pid_uid.exe", "slow", "rate=40"));
  auto updater = StartUpdater("2.0.1###shengji###");
  auto origin = WaitForWindow(*updater);
  ASSERT_TRUE(origin.has_value());
  ClickAt(On(*origin, kImage6));
  std::this_thread::sleep_for(1000ms);
  ASSERT_TRUE(updater->Running());
  // The downloader is busy: the second click fails at once, which unloads the window and
  // aborts the running transfer.
  ClickAt(On(*origin, kImage6));
  auto status = updater->Wait(10s);
  ASSERT_TRUE(status.has_value()) << "the second click did not end the updater";
  EXPECT_TRUE(testing::ExitedWith(*status, 0));
  EXPECT_EQ(dir_.Read("\\skin\\Config.ini").value_or(""), config_before_);
  EXPECT_FALSE(fs::exists(installer_log_));
  EXPECT_FALSE(fs::exists(dir_.path() / "sela_pid_uid.exe"));
}

TEST_F(UpdaterProgram, PaintedCloseButtonEndsAtOnceEvenDuringTheDownload) {
  ASSERT_TRUE(server_.Misbehave("/sela_pid_uid.exe", "slow", "rate=40"));
  auto updater = StartUpdater("2.0.1###shengji###");
  auto origin = WaitForWindow(*updater);
  ASSERT_TRUE(origin.has_value());
  ClickAt(On(*origin, kImage6));
  std::this_thread::sleep_for(1000ms);
  ASSERT_TRUE(updater->Running());
  ClickAt(On(*origin, kCloseButton));
  auto status = updater->Wait(10s);
  ASSERT_TRUE(status.has_value()) << "the close button did not end the updater";
  EXPECT_TRUE(testing::ExitedWith(*status, 0));
  EXPECT_EQ(dir_.Read("\\skin\\Config.ini").value_or(""), config_before_);
  for (const auto& entry : fs::directory_iterator(dir_.path())) {
    EXPECT_EQ(entry.path().filename().string().find("sela_pid_uid"), std::string::npos)
        << entry.path();
  }
}

TEST_F(UpdaterProgram, InstallerThatDiffersFromThePublishedDigestIsNotRun) {
  dir_.Write("\\kamplayer.db", "[kampeizhi]\r\nwangzhan=" + server_.BaseUrl() +
                                   "\r\n[ver]\r\nver=2.0.1\r\nsha256=" + std::string(64, 'a') +
                                   "\r\n");
  auto player = StartStandInPlayer();
  auto updater = StartUpdater("2.0.1###shengji###");
  auto origin = WaitForWindow(*updater);
  ASSERT_TRUE(origin.has_value());
  ClickAt(On(*origin, kImage6));
  auto status = updater->Wait(15s);
  ASSERT_TRUE(status.has_value());
  EXPECT_TRUE(testing::ExitedWith(*status, 0));
  EXPECT_FALSE(player->Wait(300ms).has_value()) << "the player was ended";
  EXPECT_FALSE(fs::exists(installer_log_));
  EXPECT_FALSE(fs::exists(dir_.path() / "sela_pid_uid.exe"));
  EXPECT_EQ(dir_.Read("\\skin\\Config.ini").value_or(""), config_before_);
}

TEST_F(UpdaterProgram, InstallerWithAWrongSignatureIsNotRun) {
  if (std::string_view(build::kUpdatePublicKey) != build::kDemoUpdatePublicKey) {
    GTEST_SKIP() << "built with another publisher key than the demo site's";
  }
  // The demo key's signature of the installer as it was, beside an installer changed since.
  const fs::path site = SiteOffering(scratch_.path() / "site", kOffered);
  DemoServer server(DemoServer::kAnyPort, site);
  ASSERT_TRUE(server.ok()) << server.error();
  auto signature = testing::HttpGet(server.Url("/sela_pid_uid.exe.sig"));
  ASSERT_TRUE(signature && signature->status == 200);
  std::ofstream(site / "sela_pid_uid.exe.sig", std::ios::binary) << signature->body;
  std::ofstream(site / "sela_pid_uid.exe", std::ios::binary | std::ios::app)
      << "echo changed on the way\n";
  dir_.Write("\\kamplayer.db", "[kampeizhi]\r\nwangzhan=" + server.BaseUrl() + "\r\n");

  UpgradeAndExpectTheInstallerRefused();
  EXPECT_NE(LogOf(runs_).find("signature"), std::string::npos) << LogOf(runs_);
}

// A downgrade offer: the site's installer, signed for 1.0, offered as the newest version.
TEST_F(UpdaterProgram, InstallerSignedForAnotherVersionIsNotRun) {
  if (std::string_view(build::kUpdatePublicKey) != build::kDemoUpdatePublicKey) {
    GTEST_SKIP() << "built with another publisher key than the demo site's";
  }
  DemoServer server(DemoServer::kAnyPort, SiteOffering(scratch_.path() / "site", "1.0"));
  ASSERT_TRUE(server.ok()) << server.error();
  dir_.Write("\\kamplayer.db", "[kampeizhi]\r\nwangzhan=" + server.BaseUrl() +
                                   "\r\n[ver]\r\nver=" + kOffered + "\r\n");

  UpgradeAndExpectTheInstallerRefused();
  EXPECT_NE(LogOf(runs_).find("signature"), std::string::npos) << LogOf(runs_);
  EXPECT_NE(LogOf(runs_).find("wrong"), std::string::npos) << LogOf(runs_);
}

TEST_F(UpdaterProgram, InstallerWithoutASignatureIsNotRun) {
  if (std::string_view(build::kUpdatePublicKey).empty()) {
    GTEST_SKIP() << "built without a publisher key";
  }
  ASSERT_TRUE(server_.Misbehave("/sela_pid_uid.exe.sig", "404"));
  UpgradeAndExpectTheInstallerRefused();
  EXPECT_NE(LogOf(runs_).find("no signature"), std::string::npos) << LogOf(runs_);
}

TEST_F(UpdaterProgram, SiteAddressThatIsNotHttpFetchesNothing) {
  // A tampered settings file pointing at a local program.
  const fs::path local = scratch_.path() / "site";
  fs::create_directories(local);
  std::ofstream(local / "sela_pid_uid.exe")
      << "#!/bin/sh\necho local > '" << installer_log_.string() << "'\n";
  dir_.Write("\\kamplayer.db", "[kampeizhi]\r\nwangzhan=file://" + local.string() + "\r\n");
  auto player = StartStandInPlayer();
  auto updater = StartUpdater("2.0.1###shengji###");
  auto origin = WaitForWindow(*updater);
  ASSERT_TRUE(origin.has_value());
  ClickAt(On(*origin, kImage6));
  auto status = updater->Wait(15s);
  ASSERT_TRUE(status.has_value());
  EXPECT_TRUE(testing::ExitedWith(*status, 0));
  EXPECT_FALSE(player->Wait(300ms).has_value()) << "the player was ended";
  EXPECT_FALSE(fs::exists(installer_log_));
  EXPECT_FALSE(fs::exists(dir_.path() / "sela_pid_uid.exe"));
  EXPECT_EQ(dir_.Read("\\skin\\Config.ini").value_or(""), config_before_);
}

TEST_F(UpdaterProgram, CurrentVersionSaysSoAndOkEnds) {
  auto updater = StartUpdater("2.0.1###wu###");
  auto origin = WaitForWindow(*updater);
  ASSERT_TRUE(origin.has_value());
  auto shot = testing::SaveScreenshot("current");
  ASSERT_TRUE(shot.has_value());
  // "已是最新" in orange at the version's place.
  EXPECT_GT(CountColour(*shot, origin->x + 224, origin->y + 176, 81, 17, "rgb(255,128,0)", 20), 20);
  ClickAt(On(*origin, kImage3));
  auto status = updater->Wait(10s);
  ASSERT_TRUE(status.has_value());
  EXPECT_TRUE(testing::ExitedWith(*status, 0));
  EXPECT_EQ(dir_.Read("\\skin\\Config.ini").value_or(""), config_before_);
}

TEST_F(UpdaterProgram, SecondUpdaterEndsAtOnce) {
  auto first = StartUpdater("2.0.1###wu###");
  auto origin = WaitForWindow(*first);
  ASSERT_TRUE(origin.has_value());
  auto second = StartUpdater("2.0.1###shengji###");
  auto status = second->Wait(10s);
  ASSERT_TRUE(status.has_value()) << "the second updater kept running";
  EXPECT_TRUE(testing::ExitedWith(*status, 0));
  EXPECT_EQ(testing::VisibleWindowsNamed("在线升级").size(), 1u);
  EXPECT_TRUE(first->Running());
  ClickAt(On(*origin, kImage3));
  EXPECT_TRUE(first->Wait(10s).has_value());
}

TEST_F(UpdaterProgram, CommandLineWithoutSeparatorIsAnError) {
  auto updater = StartUpdater("2.0.1 shengji");
  auto status = updater->Wait(10s);
  ASSERT_TRUE(status.has_value());
  EXPECT_FALSE(testing::ExitedWith(*status, 0));
  const std::string text = LogOf(1);
  EXPECT_NE(text.find("###"), std::string::npos) << text;
}

}  // namespace
}  // namespace kam
