// The real installer as users meet it: an upgrade that runs its whole course (the player's version
// check, the updater, a click on its upgrade button, the download from the demo site, the
// installer), a first install into a temporary home, and an installer that arrives cut short or
// tampered with.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "build_config.h"
#include "common/code_page.h"
#include "tests/support/child_process.h"
#include "tests/support/demo_server.h"
#include "tests/support/program_dir_fixture.h"
#include "tests/support/temp_dir.h"

namespace kam::testing {
namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;
using std::chrono::seconds;

constexpr char kHomeTitle[] = "看吧影院 - 经典影视 在线观看";
constexpr char kUpdaterTitle[] = "在线升级";
// The upgrade button inside the updater window.
constexpr int kImage6X = 216 + 54;
constexpr int kImage6Y = 272 + 15;

fs::path BuiltInstaller() {
  return fs::path(kam::build::kBuildDir) / "installer" / "sela_pid_uid.exe";
}

std::string Quote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::string Capture(const std::string& command) {
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[512];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    pclose(pipe);
  }
  return out;
}

std::string ReadAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Every regular file under dir by its relative path.
std::map<std::string, std::string> FilesUnder(const fs::path& dir) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(dir)) {
    if (entry.is_regular_file()) files[fs::relative(entry.path(), dir).string()] = ReadAll(entry);
  }
  return files;
}

// The program files the installer carries, as its own archive lists them.
std::map<std::string, std::string> InstallerPrograms(const fs::path& installer,
                                                     const fs::path& scratch) {
  const fs::path out = scratch / "payload";
  fs::create_directories(out);
  std::system(("timeout 60 " + Quote(installer.string()) + " --tar xf -C " + Quote(out.string()) +
               " >/dev/null 2>&1")
                  .c_str());
  return FilesUnder(out / ".kamplayer-installer" / "program");
}

// Processes whose program file is in dir under one of the names (also once replaced on disk).
std::vector<std::string> ProgramsRunningFrom(const fs::path& dir,
                                             const std::vector<std::string>& names) {
  std::vector<std::string> found;
  const std::string canonical = fs::canonical(dir).string();
  for (const auto& entry : fs::directory_iterator("/proc")) {
    std::error_code ec;
    const fs::path exe = fs::read_symlink(entry.path() / "exe", ec);
    if (ec) continue;
    for (const auto& name : names) {
      const std::string path = canonical + "/" + name;
      if (exe == path || exe == path + " (deleted)") found.push_back(exe.string());
    }
  }
  return found;
}

// Whether some process runs the installer file of dir.
bool InstallerRunningFrom(const fs::path& dir) {
  const std::string installer = (fs::canonical(dir) / "sela_pid_uid.exe").string();
  for (const auto& entry : fs::directory_iterator("/proc")) {
    std::string cmdline = ReadAll(entry.path() / "cmdline");
    for (char& c : cmdline) c = c == '\0' ? ' ' : c;
    if (cmdline.find(installer) != std::string::npos) return true;
  }
  return false;
}

std::string Sha256sumOf(const fs::path& file) {
  const std::string out = Capture("sha256sum " + Quote(file.string()));
  return out.substr(0, out.find(' '));
}

// The updater's window once it shows, or nothing.
std::optional<std::string> WaitForUpdaterWindow() {
  std::vector<std::string> windows;
  WaitUntil(
      [&] {
        windows = VisibleWindowsNamed(kUpdaterTitle);
        return !windows.empty();
      },
      seconds(30));
  if (windows.empty()) return std::nullopt;
  std::this_thread::sleep_for(milliseconds(500));  // let it paint
  return windows.front();
}

class InstallerUpgrade : public PlayerE2E {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fs::exists(BuiltInstaller())) << "build the kam_installer target first";
    ASSERT_TRUE(prog_.ok());
  }

  // Whether the running player's catalogue pane shows the site's home page within a minute.
  bool CatalogueOpens() {
    return WaitForPage(
               devtools_,
               [&](const PageTarget& p) {
                 return p.url == server_->BaseUrl() + "/" && p.title == kHomeTitle;
               },
               seconds(60))
        .has_value();
  }

  TempDir scratch_;
};

TEST_F(InstallerUpgrade, VersionCheckUpdaterAndInstallerUpgradeTheProgramsAndKeepTheUsersFiles) {
  // Installed 1.0 with a play history; the site offers 2.0 and serves the real installer.
  WriteSiteSettings(Settings("2.0"));
  prog_.Write("\\skin\\Config.ini", "[Version]\r\nVersion=1.0\r\n");
  const std::string history =
      Utf8ToGbk("<Item>第1集||http://127.0.0.1:" + std::to_string(kam::build::kDemoPort) +
                "/play/xiyouji-1.html||西游记</Item>\r\n");
  prog_.Write("\\data\\Data.dat", history);
  ASSERT_TRUE(StartServer(/*real_installer=*/true));
  // Another program's "update" and a player installed in another folder: neither the player nor
  // the updater may end them.
  const fs::path other = scratch_.path() / "other-program";
  fs::create_directories(other);
  std::vector<std::unique_ptr<ChildProcess>> strangers;
  for (const char* name : {"update", "kamplayer"}) {
    strangers.push_back(
        std::make_unique<ChildProcess>(CopyProbeAs(other, name), std::vector<std::string>{"wait"}));
    ASSERT_EQ(strangers.back()->ReadLine(seconds(10)), "ready") << name;
  }

  // The player's version check hands over to the updater and ends, in order.
  auto player = RunPlayer({});
  const auto player_status = player->Wait(seconds(60));
  ASSERT_TRUE(player_status) << "the player kept running";
  EXPECT_TRUE(WIFEXITED(*player_status) && WEXITSTATUS(*player_status) == 0)
      << "wait status " << *player_status;
  const auto window = WaitForUpdaterWindow();
  ASSERT_TRUE(window) << "no updater window";
  // What the user's files hold now, before the upgrade.
  const auto kept_before = FilesUnder(prog_.path());
  EXPECT_NE(kept_before.at("data/Data.dat").find(Utf8ToGbk("西游记")), std::string::npos);

  ClickWindow(*window, 1, kImage6X, kImage6Y);
  // The updater downloads, ends, starts the installer, records the version; the installer runs.
  ASSERT_TRUE(WaitUntil(
      [&] {
        return ProgramsRunningFrom(prog_.path(), {"update", "kamplayer"}).empty() &&
               fs::exists(prog_.File("\\sela_pid_uid.exe")) && !InstallerRunningFrom(prog_.path());
      },
      seconds(60)))
      << "the updater or the installer is still running";

  EXPECT_EQ(ReadAll(prog_.File("\\sela_pid_uid.exe")), ReadAll(BuiltInstaller()));
  const auto installed = FilesUnder(prog_.path());
  const auto programs = InstallerPrograms(BuiltInstaller(), scratch_.path());
  ASSERT_FALSE(programs.empty());
  for (const auto& [name, bytes] : programs) {
    if (name == "skin/Config.ini") continue;
    ASSERT_TRUE(installed.count(name)) << name;
    EXPECT_TRUE(installed.at(name) == bytes) << name << " is not the installer's";
  }
  for (const char* name : {"data/Data.dat", "html/List.html", "kamplayer.db"}) {
    ASSERT_TRUE(installed.count(name)) << name;
    EXPECT_EQ(installed.at(name), kept_before.at(name)) << name;
  }
  EXPECT_NE(installed.at("skin/Config.ini").find("Version=2.0"), std::string::npos)
      << installed.at("skin/Config.ini");
  EXPECT_TRUE(ProgramsRunningFrom(prog_.path(), {"update", "kamplayer"}).empty());
  EXPECT_TRUE(VisibleWindowsNamed(kUpdaterTitle).empty());
  for (auto& stranger : strangers) {
    EXPECT_TRUE(stranger->WriteLine("ping"));
    EXPECT_EQ(stranger->ReadLine(seconds(5)), "alive") << "a same-named program elsewhere ended";
  }

  // Started again: no upgrade is due, the catalogue opens, no updater shows.
  auto again = RunPlayer({}, "kamplayer-after.log");
  EXPECT_TRUE(CatalogueOpens()) << "the upgraded player did not open the catalogue";
  EXPECT_TRUE(again->Running());
  EXPECT_TRUE(VisibleWindowsNamed(kUpdaterTitle).empty());
}

TEST_F(InstallerUpgrade, FirstInstallIntoAHomeGivesMenuEntryIconAndARunningPlayer) {
  const fs::path home = scratch_.path() / "home";
  fs::create_directories(home);
  const std::string out =
      Capture("cd " + Quote(scratch_.path().string()) +
              " && env -u XDG_DATA_HOME HOME=" + Quote(home.string()) + " timeout 120 " +
              Quote(BuiltInstaller().string()) + " 2>&1; echo \"status=$?\"");
  ASSERT_NE(out.find("status=0"), std::string::npos) << out;
  const fs::path share = home / ".local" / "share";
  const fs::path dir = share / "kamplayer";
  const fs::path entry = share / "applications" / "kamplayer.desktop";
  ASSERT_TRUE(fs::exists(entry));
  EXPECT_TRUE(fs::exists(share / "icons" / "hicolor" / "48x48" / "apps" / "kamplayer.png"));
  ASSERT_TRUE(fs::exists(dir / "kamplayer"));
  EXPECT_TRUE(fs::exists(dir / "update"));

  // The installed player starts against the demo site and opens the catalogue.
  ASSERT_TRUE(StartServer());
  ProgramRun player(dir / "kamplayer", {}, {RemoteDebuggingEnv(devtools_), "HOME=" + home.string()},
                    TestOutputDir() / "installed-kamplayer.log");
  EXPECT_TRUE(CatalogueOpens()) << "the installed player did not open the catalogue";
  // The desktop matches the window to the menu entry by its class.
  std::vector<std::string> windows;
  ASSERT_TRUE(WaitUntil(
      [&] {
        windows = VisibleWindowsNamed(kCaption);
        return !windows.empty();
      },
      seconds(20)));
  const std::string wm_class = Capture("timeout 5 xprop -id " + windows.front() + " WM_CLASS");
  const std::string entry_text = ReadAll(entry);
  const auto key = entry_text.find("StartupWMClass=");
  ASSERT_NE(key, std::string::npos);
  const std::string wanted = entry_text.substr(key + 15, entry_text.find('\n', key) - key - 15);
  EXPECT_NE(wm_class.find("\"" + wanted + "\""), std::string::npos) << wm_class;
  EXPECT_TRUE(player.Running());
}

// The real updater and the real installer, with what the site serves gone wrong.
class DamagedInstaller : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fs::exists(BuiltInstaller())) << "build the kam_installer target first";
    ASSERT_TRUE(prog_.ok());
    programs_before_ = FilesUnder(prog_.path());
  }

  // The site on a free port serving installer, offering it (and signing it) as 2.0; the
  // program directory's settings name the real installer's digest.
  void Serve(const fs::path& installer) {
    const fs::path site = scratch_.path() / "site";
    ASSERT_TRUE(DemoServer::CopyDefaultSite(site));
    for (const char* text : {"upload/my2.txt", "kam/kam.txt"}) {
      std::ofstream(site / text, std::ios::binary | std::ios::trunc) << "[ver]\r\nver=2.0\r\n";
    }
    server_ = std::make_unique<DemoServer>(DemoServer::kAnyPort, site,
                                           std::vector<std::string>{"--installer", installer});
    ASSERT_TRUE(server_->ok()) << server_->error();
    prog_.Write("\\kamplayer.db",
                "[kampeizhi]\r\nwangzhan=" + server_->BaseUrl() +
                    "\r\n[ver]\r\nver=2.0\r\nsha256=" + Sha256sumOf(BuiltInstaller()) + "\r\n");
    programs_before_ = FilesUnder(prog_.path());
  }

  // Starts the updater with an offer, clicks the upgrade button; its exit status.
  std::optional<int> ClickUpgrade() {
    ProgramRun updater(prog_.path() / "update", {"2.0###shengji###"}, {},
                       TestOutputDir() / "update.log");
    const auto window = WaitForUpdaterWindow();
    if (!window) {
      ADD_FAILURE() << "no updater window";
      return std::nullopt;
    }
    ClickWindow(*window, 1, kImage6X, kImage6Y);
    return updater.Wait(seconds(30));
  }

  void ExpectNothingInstalled() {
    const auto now = FilesUnder(prog_.path());
    for (const auto& [name, bytes] : programs_before_) {
      EXPECT_TRUE(now.count(name) && now.at(name) == bytes) << name << " changed";
    }
    EXPECT_FALSE(fs::exists(prog_.File("\\sela_pid_uid.exe")));
  }

  ProgramDirCopy prog_;
  TempDir scratch_;
  std::unique_ptr<DemoServer> server_;
  std::map<std::string, std::string> programs_before_;
};

TEST_F(DamagedInstaller, CutShortIsNeverStarted) {
  Serve(BuiltInstaller());
  ASSERT_TRUE(server_->Misbehave("/sela_pid_uid.exe", "cut"));
  const auto status = ClickUpgrade();
  ASSERT_TRUE(status) << "the updater kept running";
  ExpectNothingInstalled();
}

TEST_F(DamagedInstaller, TamperedIsNeverStarted) {
  std::string bytes = ReadAll(BuiltInstaller());
  bytes[bytes.size() / 2] ^= 0x01;
  const fs::path tampered = scratch_.path() / "sela_pid_uid.exe";
  std::ofstream(tampered, std::ios::binary) << bytes;
  Serve(tampered);
  const auto status = ClickUpgrade();
  ASSERT_TRUE(status) << "the updater kept running";
  ExpectNothingInstalled();
}

TEST_F(DamagedInstaller, IntactIsStartedAndUpgrades) {
  Serve(BuiltInstaller());
  const auto status = ClickUpgrade();
  ASSERT_TRUE(status) << "the updater kept running";
  ASSERT_TRUE(WaitUntil(
      [&] {
        return ProgramsRunningFrom(prog_.path(), {"update", "kamplayer"}).empty() &&
               !InstallerRunningFrom(prog_.path()) &&
               FilesUnder(prog_.path()).at("kamplayer") != programs_before_.at("kamplayer");
      },
      seconds(60)))
      << "the installer did not replace the player";
  EXPECT_NE(ReadAll(prog_.File("\\skin\\Config.ini")).find("Version=2.0"), std::string::npos);
}

}  // namespace
}  // namespace kam::testing
