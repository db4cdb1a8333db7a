// The play list holds its bounds as a user meets them: a page with 20,000 player links and a title
// of 100 KB gives a list of its first 5,000 links that the next start shows again, and a store of
// 300 MB does not hold up the start. Each run prints the time to the catalogue and the memory of
// the player's processes (PSS, the player and its engine's processes together).
#include <sys/types.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>

#include "player/playlist/history.h"
#include "player/playlist/list_bounds.h"
#include "tests/e2e/browse_fixture.h"

namespace kam::testing {
namespace {

std::string Repeat(std::string_view piece, std::size_t times) {
  std::string out;
  out.reserve(piece.size() * times);
  for (std::size_t i = 0; i < times; ++i) out.append(piece);
  return out;
}

// Proportional set size in kB of pid and every process below it.
long TreePssKb(pid_t root) {
  std::map<pid_t, pid_t> parent;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator("/proc", ec)) {
    const std::string name = e.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    std::ifstream stat(e.path() / "stat");
    std::string line;
    if (!std::getline(stat, line)) continue;
    // pid (comm) state ppid ...: comm may hold spaces, so read after its closing parenthesis.
    const std::size_t close = line.rfind(')');
    if (close == std::string::npos) continue;
    std::istringstream rest(line.substr(close + 1));
    std::string state;
    pid_t ppid = 0;
    rest >> state >> ppid;
    parent[static_cast<pid_t>(std::stol(name))] = ppid;
  }
  long total = 0;
  for (const auto& [pid, ppid] : parent) {
    bool below = false;
    for (pid_t p = pid, hops = 0; p > 1 && hops < 64; p = parent.count(p) ? parent[p] : 0, ++hops) {
      if (p == root) {
        below = true;
        break;
      }
    }
    if (!below) continue;
    std::ifstream smaps("/proc/" + std::to_string(pid) + "/smaps_rollup");
    for (std::string line; std::getline(smaps, line);) {
      if (line.rfind("Pss:", 0) == 0) total += std::stol(line.substr(4));
    }
  }
  return total;
}

class PlaylistBoundsE2E : public BrowseE2E {
 protected:
  // The list page in the side panel, once it shows count entries.
  bool ListShows(std::size_t count, milliseconds timeout = seconds(60)) {
    auto list = DevToolsSession::Open(
        devtools_,
        [](const DevToolsTarget& t) { return t.url.find("/html/List.html") != std::string::npos; },
        timeout);
    return list && WaitForScript(
                       *list, "document.querySelectorAll('a').length === " + std::to_string(count),
                       timeout);
  }

  struct StartFigures {
    double catalogue_s = -1;
    long pss_mb = -1;
  };

  // Starts the player, waits for the catalogue, then for the list page with list_count entries.
  StartFigures StartAndMeasure(std::unique_ptr<ProgramRun>& player, std::size_t list_count,
                               const char* log) {
    StartFigures f;
    const auto started = std::chrono::steady_clock::now();
    player = Start(log);
    auto catalogue = Catalogue();
    EXPECT_TRUE(catalogue) << "the catalogue never showed";
    if (!catalogue) return f;
    f.catalogue_s =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    EXPECT_TRUE(ListShows(list_count)) << "the list page does not show " << list_count;
    f.pss_mb = TreePssKb(player->pid()) / 1024;
    return f;
  }

  // A stored record of the demo's first episode, numbered n.
  std::string RecordBytes(std::size_t n) const {
    return "<Item>" +
           Utf8ToGbk("第" + std::to_string(n) + "集||" + Base() + "/play/sanguo-1.html||三国演义") +
           "</Item>\r\n";
  }

  static constexpr std::size_t kStoreBytes = std::size_t{300} << 20;

  // The entries of the store as the player reads it (bounded), and its size and records as they
  // lie on the disk.
  std::vector<std::string> StoredList() const {
    return playlist::ParseHistory(prog_.Read("\\data\\Data.dat").value_or(""));
  }
  std::size_t StoreSize() const { return prog_.Read("\\data\\Data.dat").value_or("").size(); }
  std::size_t StoredRecords() const {
    const std::string store = prog_.Read("\\data\\Data.dat").value_or("");
    std::size_t count = 0;
    for (std::size_t at = store.find("<Item>"); at != std::string::npos;
         at = store.find("<Item>", at + 1)) {
      ++count;
    }
    return count;
  }
};

TEST_F(PlaylistBoundsE2E, PageOfTwentyThousandLinksGivesTheFirstFiveThousandAndStartsAgain) {
  UseSettings("2", "0");
  ASSERT_TRUE(StartServerPatiently());
  auto player = Start();
  auto listweb = Catalogue();
  ASSERT_TRUE(listweb) << "the catalogue never loaded";
  // A script takes the catalogue to the page, and the page starts its first episode itself.
  const std::string address = Base() + "/hostile/many-links.html?go";
  listweb->Evaluate("location.href = " + JsonQuote(address) + "; 1");
  ASSERT_TRUE(Pane(Base() + "/play/sanguo-1.html?n=0", seconds(60)))
      << "the page's own navigation did not play";
  ASSERT_TRUE(WaitUntil([&] { return StoredRecords() >= playlist::kMaxEntries; }, seconds(60)))
      << StoredRecords() << " entries stored";
  // The list is written once, whole.
  EXPECT_EQ(StoredRecords(), playlist::kMaxEntries);
  const std::vector<std::string> list = StoredList();
  const std::string title = Repeat("题", playlist::kMaxTextChars);
  // The links with 5,000-byte addresses ahead of the episodes are left out; texts are cut.
  EXPECT_EQ(list.front(), "第0集" + Repeat("长", playlist::kMaxTextChars - 3) + "||" + Base() +
                              "/play/sanguo-1.html?n=0||" + title);
  EXPECT_EQ(list.back(), "第4999集||" + Base() + "/play/sanguo-1.html?n=4999||" + title);
  EXPECT_TRUE(ListShows(playlist::kMaxEntries));
  const std::string store = prog_.Read("\\data\\Data.dat").value_or("");
  std::printf("[ figures  ] 20,000-link page: Data.dat %zu bytes, player %ld MB PSS\n",
              store.size(), TreePssKb(player->pid()) / 1024);
  EXPECT_TRUE(player->Running());

  // The next start shows the same list and leaves the store as it was.
  player->Stop();
  const StartFigures again = StartAndMeasure(player, playlist::kMaxEntries, "kamplayer-2.log");
  std::printf("[ figures  ] start with that list: catalogue after %.1f s, player %ld MB PSS\n",
              again.catalogue_s, again.pss_mb);
  EXPECT_EQ(prog_.Read("\\data\\Data.dat"), store);
  EXPECT_TRUE(player->Running());
}

TEST_F(PlaylistBoundsE2E, StoreOf300MegabytesStartsAsFastAsASmallOne) {
  UseSettings("2", "0");
  ASSERT_TRUE(StartServerPatiently());
  std::string small;
  for (int i = 1; i <= 8; ++i) small += RecordBytes(i);
  small += "\r\n";

  // Baseline: a store of eight entries.
  std::unique_ptr<ProgramRun> player;
  prog_.Write("\\data\\Data.dat", small);
  const StartFigures base = StartAndMeasure(player, 8, "kamplayer-small.log");
  EXPECT_EQ(prog_.Read("\\data\\Data.dat"), small);
  player->Stop();

  {
    // Records one after another, as a list of millions would be stored.
    std::ofstream out(prog_.File("\\data\\Data.dat"), std::ios::binary | std::ios::trunc);
    std::string block;
    for (std::size_t n = 0; out && n < kStoreBytes; n += block.size()) {
      block.clear();
      for (std::size_t i = 0; i < 10000; ++i) block += RecordBytes(n + i);
      out << block;
    }
  }
  const StartFigures big = StartAndMeasure(player, playlist::kMaxEntries, "kamplayer-big.log");
  EXPECT_TRUE(player->Running());
  // The store now holds what the list holds.
  EXPECT_EQ(StoredRecords(), playlist::kMaxEntries);
  EXPECT_EQ(StoredList().size(), playlist::kMaxEntries);
  std::printf(
      "[ figures  ] start, catalogue after / player PSS: 8 entries %.1f s / %ld MB; 300 MB of "
      "records %.1f s / %ld MB\n",
      base.catalogue_s, base.pss_mb, big.catalogue_s, big.pss_mb);
}

TEST_F(PlaylistBoundsE2E, StoreWithALineOf300MegabytesStartsAndKeepsItsRecords) {
  UseSettings("2", "0");
  ASSERT_TRUE(StartServerPatiently());
  {
    // One record of 300 MB on one line (a title without end) ahead of two records.
    std::ofstream out(prog_.File("\\data\\Data.dat"), std::ios::binary | std::ios::trunc);
    out << "<Item>" << Utf8ToGbk("第0集||" + Base() + "/play/sanguo-1.html||");
    const std::string block = Repeat(Utf8ToGbk("长"), 1 << 20);
    for (std::size_t n = 0; out && n < kStoreBytes; n += block.size()) out << block;
    out << "</Item>\r\n" << RecordBytes(1) << RecordBytes(2);
  }
  std::unique_ptr<ProgramRun> player;
  const StartFigures line = StartAndMeasure(player, 3, "kamplayer-line.log");
  EXPECT_TRUE(player->Running());
  // The store now holds what the list holds: the record of 300 MB is cut.
  EXPECT_LT(StoreSize(), std::size_t{1} << 20);
  const std::vector<std::string> kept = StoredList();
  ASSERT_EQ(kept.size(), 3u);
  EXPECT_EQ(kept[0],
            "第0集||" + Base() + "/play/sanguo-1.html||" + Repeat("长", playlist::kMaxTextChars));
  EXPECT_EQ(kept[2], "第2集||" + Base() + "/play/sanguo-1.html||三国演义");
  std::printf("[ figures  ] start with a 300 MB line: catalogue after %.1f s, player %ld MB PSS\n",
              line.catalogue_s, line.pss_mb);
}

}  // namespace
}  // namespace kam::testing
