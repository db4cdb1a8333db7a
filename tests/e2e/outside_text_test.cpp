// Text from a page or from the settings is shown as the characters it is: a title name or an
// offered version that is markup naming an endless file makes neither program read it.
#include <fstream>

#include "tests/e2e/browse_fixture.h"

namespace kam::testing {
namespace {

namespace fs = std::filesystem;

constexpr char kMarkup[] = "<img src=\"/dev/zero\">";
// Far more than showing a text takes; far less than what reading the file would.
constexpr long kGrowthBoundKb = 200 * 1024;

// The resident memory of the process in kB; -1 once it is gone.
long ResidentKb(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  }
  return -1;
}

// The largest resident size the process reaches while it is watched for duration.
long PeakResidentKb(pid_t pid, std::chrono::milliseconds duration) {
  long peak = ResidentKb(pid);
  const auto end = std::chrono::steady_clock::now() + duration;
  while (std::chrono::steady_clock::now() < end) {
    peak = std::max(peak, ResidentKb(pid));
    std::this_thread::sleep_for(milliseconds(100));
  }
  return peak;
}

// Processes whose executable is dir/name.
std::vector<pid_t> ProcessesOf(const fs::path& dir, const std::string& name) {
  std::vector<pid_t> pids;
  std::error_code ec;
  const fs::path exe = fs::canonical(dir / name, ec);
  for (const auto& e : fs::directory_iterator("/proc", ec)) {
    const std::string id = e.path().filename().string();
    if (id.find_first_not_of("0123456789") != std::string::npos) continue;
    std::error_code ec2;
    if (fs::read_symlink(e.path() / "exe", ec2) == exe) pids.push_back(std::stoi(id));
  }
  return pids;
}

class OutsideTextE2E : public BrowseE2E {};

TEST_F(OutsideTextE2E, ShortcutNamedWithMarkupShowsItsTipAndReadsNoFile) {
  UseSettings("2", "0");
  ASSERT_TRUE(StartServerPatiently());
  auto player = Start();
  auto listweb = Catalogue();
  ASSERT_TRUE(listweb);
  const std::string address = Base() + "/hostile/markup.html";
  listweb->Evaluate("location.href = " + JsonQuote(address) + "; 1");
  auto page = Pane(address, seconds(30));
  ASSERT_TRUE(page);
  ASSERT_TRUE(WaitForScript(*page, "document.readyState === 'complete'", seconds(20)));
  const long before = ResidentKb(player->pid());
  ASSERT_GT(before, 0);
  ASSERT_TRUE(PointerClick(player->pid(), *page, "#shortcut-markup"));
  ASSERT_TRUE(WaitUntil([&] { return DesktopFiles().size() == 1; }, seconds(10)));
  EXPECT_TRUE(WaitUntil([&] { return TipShown(player->pid()); }, seconds(5)));
  const long peak = PeakResidentKb(player->pid(), seconds(3));
  std::printf("[ measure ] player resident before the tip %ld kB, at most %ld kB after\n", before,
              peak);
  EXPECT_LT(peak - before, kGrowthBoundKb);
  EXPECT_TRUE(SaveScreenshot("markup-tip"));
  const std::string entry = ReadFileBytes(desktop() / DesktopFiles().front()).value_or("");
  EXPECT_NE(entry.find(std::string("\nComment=") + kMarkup + "\n"), std::string::npos) << entry;
  EXPECT_TRUE(player->Running());
}

TEST_F(OutsideTextE2E, OfferedVersionWithMarkupIsShownAsWrittenAndReadsNoFile) {
  // The site offers a "version" that sorts after any installed one, so the player hands over.
  WriteSiteSettings(Settings(kMarkup));
  prog_.Write("\\skin\\Config.ini", "[Version]\r\nVersion=1.0\r\n");
  ASSERT_TRUE(StartServerPatiently());
  auto player = Start();
  ASSERT_TRUE(player->Wait(seconds(60))) << "the player did not hand over to the updater";
  std::vector<std::string> windows;
  ASSERT_TRUE(WaitUntil(
      [&] {
        windows = VisibleWindowsNamed("在线升级");
        return !windows.empty();
      },
      seconds(30)))
      << "no updater window";
  const auto updaters = ProcessesOf(prog_.path(), "update");
  ASSERT_EQ(updaters.size(), 1u);
  const long shown = ResidentKb(updaters[0]);
  ASSERT_GT(shown, 0);
  const long peak = PeakResidentKb(updaters[0], seconds(3));
  std::printf("[ measure ] updater resident when shown %ld kB, at most %ld kB after\n", shown,
              peak);
  EXPECT_LT(peak, shown + kGrowthBoundKb);
  EXPECT_LT(peak, 2 * kGrowthBoundKb) << "the updater grew before its window showed";
  // The offered version is drawn as its characters: the label's orange text is there.
  const auto shot = SaveScreenshot("markup-version");
  ASSERT_TRUE(shot);
  const auto origin = WindowGeometry(windows.front());
  const std::string count =
      ShellOutput("convert '" + shot->string() + "' -crop 440x22+" +
                  std::to_string(origin.x + 100) + "+" + std::to_string(origin.y + 173) +
                  " +repage -fuzz 20% -fill black +opaque 'rgb(255,128,0)' -fill white "
                  "-opaque 'rgb(255,128,0)' -format '%[fx:round(mean*w*h)]' info: 2>/dev/null");
  EXPECT_GT(count.empty() ? 0 : std::stoi(count), 40) << "no version text in the window";
  for (pid_t pid : updaters) kill(pid, SIGKILL);
}

}  // namespace
}  // namespace kam::testing
