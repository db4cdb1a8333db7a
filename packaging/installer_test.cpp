// The real installer of this build, run as a user runs it: in temporary program directories and a
// temporary home, with real files, a real running "player", a full and a read-only file system.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "build_config.h"
#include "tests/support/child_process.h"
#include "tests/support/temp_dir.h"

namespace kam {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing::TempDir;

fs::path BuiltInstaller() {
  return fs::path(kam::build::kBuildDir) / "installer" / "sela_pid_uid.exe";
}

std::string ReadAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteAll(const fs::path& file, std::string_view bytes) {
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

std::string Quote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// Every regular file under dir (relative path: mode and bytes) and every folder.
struct Tree {
  std::map<std::string, std::pair<fs::perms, std::string>> files;
  std::set<std::string> dirs;
  bool operator==(const Tree&) const = default;
};

Tree Snapshot(const fs::path& dir) {
  Tree tree;
  if (!fs::exists(dir)) return tree;
  for (const auto& entry : fs::recursive_directory_iterator(dir)) {
    const std::string rel = fs::relative(entry.path(), dir).string();
    if (entry.is_directory()) {
      tree.dirs.insert(rel);
    } else if (entry.is_regular_file()) {
      tree.files[rel] = {entry.status().permissions(), ReadAll(entry.path())};
    }
  }
  return tree;
}

std::string Names(const Tree& tree) {
  std::string names;
  for (const auto& [name, file] : tree.files) names += name + " ";
  return names;
}

struct ShellRun {
  int status = -1;  // exit status, -1 when it did not exit normally
  std::string out;
  std::string err;
};

// A shell command with its output in files of scratch.
ShellRun Shell(const std::string& command, const fs::path& scratch) {
  const fs::path out = scratch / "out.txt";
  const fs::path err = scratch / "err.txt";
  const int raw = std::system(("timeout 120 sh -c " + Quote(command) + " >" + Quote(out.string()) +
                               " 2>" + Quote(err.string()))
                                  .c_str());
  ShellRun run;
  if (raw != -1 && WIFEXITED(raw)) run.status = WEXITSTATUS(raw);
  run.out = ReadAll(out);
  run.err = ReadAll(err);
  return run;
}

class InstallerRun : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // What `cmake --install` lays out: the installer must carry exactly that.
    reference_ = new TempDir();
    const std::string cmd = Quote(KAM_CMAKE_COMMAND) + " --install " +
                            Quote(kam::build::kBuildDir) + " --prefix " +
                            Quote(reference_->path().string()) + " --strip >/dev/null";
    ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
  }
  static void TearDownTestSuite() {
    delete reference_;
    reference_ = nullptr;
  }

  void SetUp() override {
    ASSERT_TRUE(fs::exists(BuiltInstaller())) << "build the kam_installer target first";
    fs::create_directories(home());
  }

  fs::path home() const { return scratch_.path() / "home"; }
  fs::path data_home() const { return home() / ".local" / "share"; }
  static const fs::path& reference() { return reference_->path(); }

  // Runs installer (the build's by default) from folder cwd with the test's home.
  ShellRun Install(const std::string& args = {}, const fs::path& cwd = {}, fs::path installer = {},
                   const std::string& env = {}) {
    if (installer.empty()) installer = BuiltInstaller();
    const fs::path from = cwd.empty() ? scratch_.path() : cwd;
    return Shell("cd " + Quote(from.string()) +
                     " && env -u XDG_DATA_HOME HOME=" + Quote(home().string()) + " " + env + " " +
                     Quote(installer.string()) + " " + args,
                 scratch_.path());
  }

  // A program directory as an earlier version left it: the install layout with other programs
  // (the probe as the player: it answers when run), settings 2.0, a play history, a list page,
  // the settings file and a file of the user's own.
  fs::path FormerProgramDir(const fs::path& dir) {
    fs::create_directories(dir);
    fs::copy(reference(), dir, fs::copy_options::recursive);
    fs::remove(dir / "kamplayer");
    fs::copy_file(testing::ProcessProbePath(), dir / "kamplayer");
    WriteAll(dir / "update", "#!/bin/sh\necho former updater\n");
    fs::permissions(dir / "update", fs::perms::owner_all);
    WriteAll(dir / "skin" / "Config.ini", "[Version]\r\nVersion=2.0\r\n");
    WriteAll(dir / "data" / "Data.dat", "第1集||http://127.0.0.1/play/1.html||西游记\r\n");
    WriteAll(dir / "html" / "List.html", "<html>list</html>");
    WriteAll(dir / "kamplayer.db", "[ver]\r\nver=2.0\r\n");
    WriteAll(dir / "skin" / "mine.txt", "the user's own");
    WriteAll(dir / "skin" / "page.html", "former page");
    return dir;
  }

  // Everything of the package installed in dir, byte for byte and with its modes, apart from
  // the files of the user named in kept.
  void ExpectPackageIn(const fs::path& dir, const std::set<std::string>& kept = {}) {
    const Tree ref = Snapshot(reference());
    const Tree got = Snapshot(dir);
    for (const auto& [name, file] : ref.files) {
      if (kept.count(name) != 0) continue;
      auto it = got.files.find(name);
      ASSERT_NE(it, got.files.end()) << name << " missing; present: " << Names(got);
      EXPECT_EQ(it->second.second, file.second) << name;
      EXPECT_EQ(it->second.first, file.first) << name;
    }
    for (const auto& d : ref.dirs) EXPECT_TRUE(got.dirs.count(d)) << d;
    // Nothing left behind by the install itself.
    for (const auto& [name, file] : got.files) {
      EXPECT_EQ(name.find(".kam-"), std::string::npos) << name;
    }
  }

  static inline TempDir* reference_ = nullptr;
  TempDir scratch_;
};

// The key=value lines of a desktop entry.
std::map<std::string, std::string> EntryKeys(const fs::path& file) {
  std::map<std::string, std::string> keys;
  std::istringstream in(ReadAll(file));
  std::string line;
  std::getline(in, line);
  EXPECT_EQ(line, "[Desktop Entry]");
  while (std::getline(in, line)) {
    const auto eq = line.find('=');
    if (eq != std::string::npos) keys[line.substr(0, eq)] = line.substr(eq + 1);
  }
  return keys;
}

// "WxH" of each image an image file holds, as ImageMagick reads it.
std::set<std::string> ImageSizes(const fs::path& file, const fs::path& scratch) {
  const ShellRun run = Shell("identify -format '%wx%h\\n' " + Quote(file.string()), scratch);
  std::set<std::string> sizes;
  std::istringstream in(run.out);
  std::string line;
  while (std::getline(in, line)) sizes.insert(line);
  return sizes;
}

TEST_F(InstallerRun, FirstInstallLaysOutTheProgramDirectoryWithMenuEntryAndIcons) {
  const ShellRun run = Install();
  ASSERT_EQ(run.status, 0) << run.out << run.err;
  const fs::path dir = data_home() / "kamplayer";
  ExpectPackageIn(dir);
  EXPECT_EQ(Snapshot(dir).files.size(), Snapshot(reference()).files.size()) << Names(Snapshot(dir));

  const auto keys = EntryKeys(data_home() / "applications" / "kamplayer.desktop");
  EXPECT_EQ(keys.at("Type"), "Application");
  EXPECT_FALSE(keys.at("Name").empty());
  EXPECT_FALSE(keys.at("Comment").empty());
  EXPECT_EQ(keys.at("Exec"), "\"" + (dir / "kamplayer").string() + "\"");
  EXPECT_EQ(keys.at("Icon"), "kamplayer");
  EXPECT_EQ(keys.at("Categories"), "AudioVideo;Video;Player;");
  EXPECT_EQ(keys.at("StartupWMClass"), "kamplayer");

  // One PNG per size the icon file holds, each of that size.
  const auto sizes = ImageSizes(dir / "skin" / "icon.ico", scratch_.path());
  ASSERT_FALSE(sizes.empty());
  for (const auto& size : sizes) {
    const fs::path png = data_home() / "icons" / "hicolor" / size / "apps" / "kamplayer.png";
    ASSERT_TRUE(fs::exists(png)) << png;
    EXPECT_EQ(ImageSizes(png, scratch_.path()), std::set<std::string>{size}) << png;
  }
}

TEST_F(InstallerRun, XdgDataHomeOrTargetChooseTheFolder) {
  struct Case {
    std::string args;
    std::string env;
    fs::path program_dir;
    fs::path entry;
  };
  const fs::path xdg = scratch_.path() / "xdg";
  const fs::path chosen = scratch_.path() / "my programs" / "看吧";
  const std::vector<Case> cases = {
      {"", "XDG_DATA_HOME=" + Quote(xdg.string()), xdg / "kamplayer",
       xdg / "applications" / "kamplayer.desktop"},
      // Not absolute: the XDG base-directory rules say to ignore it.
      {"", "XDG_DATA_HOME=relative/dir", data_home() / "kamplayer",
       data_home() / "applications" / "kamplayer.desktop"},
      {"--target " + Quote(chosen.string()), "", chosen,
       data_home() / "applications" / "kamplayer.desktop"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args + " " + c.env);
    const ShellRun run = Install(c.args, {}, {}, c.env);
    ASSERT_EQ(run.status, 0) << run.out << run.err;
    ExpectPackageIn(c.program_dir);
    EXPECT_EQ(EntryKeys(c.entry).at("Exec"), "\"" + (c.program_dir / "kamplayer").string() + "\"");
    fs::remove_all(c.program_dir);
    fs::remove(c.entry);
  }
  EXPECT_FALSE(fs::exists(scratch_.path() / "relative"));
}

TEST_F(InstallerRun, UpgradeInPlaceReplacesTheProgramsAndKeepsEverythingElse) {
  const fs::path dir = FormerProgramDir(scratch_.path() / "prog");
  fs::copy_file(BuiltInstaller(), dir / "sela_pid_uid.exe");
  Tree before = Snapshot(dir);
  // Started as the updater starts it: no arguments, from another folder.
  const ShellRun run = Install("", "/", dir / "sela_pid_uid.exe");
  ASSERT_EQ(run.status, 0) << run.out << run.err;

  const std::set<std::string> kept = {"skin/Config.ini"};
  ExpectPackageIn(dir, kept);
  const Tree after = Snapshot(dir);
  for (const char* name : {"skin/Config.ini", "data/Data.dat", "html/List.html", "kamplayer.db",
                           "skin/mine.txt", "sela_pid_uid.exe"}) {
    EXPECT_EQ(after.files.at(name), before.files.at(name)) << name;
  }
  // An upgrade of a folder no menu entry names makes none.
  EXPECT_FALSE(fs::exists(data_home() / "applications"));
}

TEST_F(InstallerRun, SecondRunOverAnInstallUpgradesItAndKeepsTheRecordedVersion) {
  ASSERT_EQ(Install().status, 0);
  const fs::path dir = data_home() / "kamplayer";
  WriteAll(dir / "skin" / "Config.ini", "[Version]\r\nVersion=2.0\r\n");
  WriteAll(dir / "data" / "Data.dat", "history");
  WriteAll(dir / "kamplayer", "former");
  const fs::path entry = data_home() / "applications" / "kamplayer.desktop";
  fs::remove(entry);
  WriteAll(entry, "[Desktop Entry]\nTryExec=" + (dir / "kamplayer").string() + "\n");

  const ShellRun run = Install();
  ASSERT_EQ(run.status, 0) << run.out << run.err;
  ExpectPackageIn(dir, {"skin/Config.ini"});
  EXPECT_EQ(ReadAll(dir / "skin" / "Config.ini"), "[Version]\r\nVersion=2.0\r\n");
  EXPECT_EQ(ReadAll(dir / "data" / "Data.dat"), "history");
  // The menu entry that names this folder is written afresh.
  EXPECT_EQ(EntryKeys(entry).at("Categories"), "AudioVideo;Video;Player;");
}

TEST_F(InstallerRun, RefusesWhileAPlayerOfTheFolderRunsAndChangesNothing) {
  const fs::path dir = FormerProgramDir(scratch_.path() / "prog");
  fs::copy_file(BuiltInstaller(), dir / "sela_pid_uid.exe");
  const Tree before = Snapshot(dir);
  testing::ChildProcess player(dir / "kamplayer", {"wait"});
  ASSERT_EQ(player.ReadLine(10s), "ready");

  const auto start = std::chrono::steady_clock::now();
  const ShellRun run = Install("", "/", dir / "sela_pid_uid.exe");
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_NE(run.status, 0);
  EXPECT_NE(run.err.find("still running"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find(std::to_string(player.pid())), std::string::npos) << run.err;
  EXPECT_GE(waited, 3s) << "it gave the player no time to end";
  EXPECT_TRUE(Snapshot(dir) == before);
  EXPECT_FALSE(player.Wait(0ms).has_value()) << "the installer ended the player";
}

TEST_F(InstallerRun, PlayerThatEndsDuringTheWaitLetsTheUpgradeGoOn) {
  const fs::path dir = FormerProgramDir(scratch_.path() / "prog");
  fs::copy_file(BuiltInstaller(), dir / "sela_pid_uid.exe");
  testing::ChildProcess player(dir / "kamplayer", {"wait"});
  ASSERT_EQ(player.ReadLine(10s), "ready");
  // The player ends a moment after the installer has started.
  std::thread ender([&player] {
    std::this_thread::sleep_for(1500ms);
    player.CloseInput();
  });
  const ShellRun run = Install("", "/", dir / "sela_pid_uid.exe");
  ender.join();
  ASSERT_EQ(run.status, 0) << run.out << run.err;
  ExpectPackageIn(dir, {"skin/Config.ini"});
}

TEST_F(InstallerRun, FailureWhileMovingIntoPlacePutsBackWhatWasReplaced) {
  const fs::path dir = FormerProgramDir(scratch_.path() / "prog");
  // A folder where the package has a file: the move into place fails there, after the style
  // sheets and other skin files were already replaced.
  fs::remove(dir / "skin" / "page.html");
  WriteAll(dir / "skin" / "page.html" / "blocker", "x");
  const Tree before = Snapshot(dir);
  const ShellRun run = Install("--target " + Quote(dir.string()));
  EXPECT_NE(run.status, 0);
  EXPECT_NE(run.err.find("page.html"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("unchanged"), std::string::npos) << run.err;
  EXPECT_TRUE(Snapshot(dir) == before) << Names(Snapshot(dir));
}

TEST_F(InstallerRun, CutShortOrTamperedInstallerChangesNothing) {
  const fs::path dir = FormerProgramDir(scratch_.path() / "prog");
  const std::string bytes = ReadAll(BuiltInstaller());
  std::string tampered = bytes;
  tampered[tampered.size() - 100] ^= 0x20;
  for (const auto& [name, content] : std::vector<std::pair<std::string, std::string>>{
           {"cut", bytes.substr(0, bytes.size() / 2)}, {"tampered", tampered}}) {
    SCOPED_TRACE(name);
    fs::remove(dir / "sela_pid_uid.exe");
    WriteAll(dir / "sela_pid_uid.exe", content);
    fs::permissions(dir / "sela_pid_uid.exe", fs::perms::owner_all);
    const Tree before = Snapshot(dir);
    const ShellRun run = Install("", "/", dir / "sela_pid_uid.exe");
    EXPECT_NE(run.status, 0) << run.out;
    EXPECT_TRUE(Snapshot(dir) == before);
    EXPECT_FALSE(fs::exists(data_home() / "kamplayer"));
  }
}

// Full disk and read-only program directory: a mount namespace of its own with a small tmpfs,
// or a read-only bind mount, over the program directory.
TEST_F(InstallerRun, FullDiskOrReadOnlyFolderKeepsTheFormerProgramsAndSaysWhy) {
  if (Shell("unshare -m true", scratch_.path()).status != 0) {
    GTEST_SKIP() << "no mount namespace for this user";
  }
  struct Case {
    std::string name;
    std::string mount;  // shell lines run on $d before the former programs are copied in
    std::string after;  // ... and after
    std::string reason;
  };
  const std::vector<Case> cases = {
      // Room for the small files, not for the player.
      {"full", "mount -t tmpfs -o size=$(( $(du -sk \"$former\" | cut -f1) + 600 ))k tmpfs \"$d\"",
       "dd if=/dev/zero of=\"$d/filler\" bs=4k count=$(( $(df -k --output=avail \"$d\" | tail -1)"
       " / 4 - 40 )) 2>/dev/null",
       "No space left on device"},
      {"read-only", "", "mount --bind \"$d\" \"$d\" && mount -o remount,bind,ro \"$d\"",
       "Read-only file system"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path former = FormerProgramDir(scratch_.path() / (c.name + "-former"));
    fs::copy_file(BuiltInstaller(), former / "sela_pid_uid.exe");
    const fs::path dir = scratch_.path() / (c.name + "-prog");
    const fs::path copied = scratch_.path() / (c.name + "-after");
    fs::create_directories(dir);
    fs::create_directories(copied);
    const std::string script =
        "set -e; d=" + Quote(dir.string()) + "; former=" + Quote(former.string()) + "; " + c.mount +
        "\n cp -a \"$former/.\" \"$d\"; " + c.after +
        "\n set +e; cd /; HOME=" + Quote(home().string()) + " \"$d/sela_pid_uid.exe\"; " +
        "echo \"status=$?\"; \"$d/kamplayer\" end kam-no-such-process-name; " +
        "echo \"former=$?\"; rm -f \"$d/filler\" 2>/dev/null; cp -a \"$d/.\" " +
        Quote(copied.string());
    const ShellRun run = Shell("unshare -m sh -c " + Quote(script), scratch_.path());
    EXPECT_NE(run.out.find("status=1"), std::string::npos) << run.out << run.err;
    // The former player still starts and answers.
    EXPECT_NE(run.out.find("former=3"), std::string::npos) << run.out;
    EXPECT_NE(run.err.find(c.reason), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("unchanged"), std::string::npos) << run.err;
    EXPECT_TRUE(Snapshot(copied) == Snapshot(former)) << Names(Snapshot(copied));
  }
}

}  // namespace
}  // namespace kam
