// The list files saved on the background writer, as the list control saves them at each click:
// real files, lists saved back to back, a list given while the last one is still being written.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "common/atomic_file.h"
#include "common/serial_writer.h"
#include "player/playlist/list_bounds.h"
#include "player/playlist/play_list_files.h"
#include "tests/support/temp_dir.h"

namespace kam::playlist {
namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;
constexpr milliseconds kWait{20000};

std::vector<std::string> Episodes(int count, const std::string& title) {
  std::vector<std::string> list;
  for (int i = 0; i < count; ++i) {
    list.push_back("第" + std::to_string(i + 1) + "集||http://127.0.0.1:1/play/" + title + "-" +
                   std::to_string(i + 1) + ".html||" + title);
  }
  return list;
}

PlayListFiles FilesFor(const std::vector<std::string>& list) {
  SaveResult refused = SaveResult::kSaved;
  std::optional<PlayListFiles> files = PlayListFilesFor(list, "||", refused);
  EXPECT_TRUE(files.has_value());
  return files.value_or(PlayListFiles{});
}

class PlayListSavesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(dir_.path() / "html");
    fs::create_directories(dir_.path() / "data");
  }

  // What the list control does at a click: the files are made now, written on the worker.
  void Save(const std::vector<std::string>& list) {
    writer_.Post("list", [dir = dir_.path(), files = FilesFor(list), this] {
      results_.push_back(WritePlayListFiles(dir, files));
    });
  }

  std::optional<std::string> Page() const { return ReadFileBytes(ListPagePath(dir_.path())); }
  std::optional<std::string> Store() const { return ReadFileBytes(StorePath(dir_.path())); }

  kam::testing::TempDir dir_;
  std::vector<SaveResult> results_;  // the worker's alone until it is idle
  SerialWriter writer_;
};

TEST_F(PlayListSavesTest, TwoListsBackToBackLeaveTheSecondWhole) {
  const auto first = Episodes(30, "first");
  const auto second = Episodes(7, "second");
  Save(first);
  Save(second);
  ASSERT_TRUE(writer_.WaitIdle(kWait));
  EXPECT_EQ(Page(), FilesFor(second).page);
  EXPECT_EQ(Store(), FilesFor(second).store);
  // The same bytes as a save on the window's thread gives.
  const testing::TempDir direct;
  fs::create_directories(direct.path() / "html");
  fs::create_directories(direct.path() / "data");
  ASSERT_EQ(SavePlayList(direct.path(), second, "||"), SaveResult::kSaved);
  EXPECT_EQ(Page(), ReadFileBytes(ListPagePath(direct.path())));
  EXPECT_EQ(Store(), ReadFileBytes(StorePath(direct.path())));
  for (SaveResult r : results_) EXPECT_EQ(r, SaveResult::kSaved);
}

TEST_F(PlayListSavesTest, ListGivenWhileTheLastIsBeingWrittenWinsAndNothingIsTorn) {
  const auto first = Episodes(3, "first");
  const auto second = Episodes(5, "second");
  ASSERT_EQ(SavePlayList(dir_.path(), Episodes(2, "before"), "||"), SaveResult::kSaved);
  const std::optional<std::string> page_before = Page();
  // The first list's save stalls on the disk before its page is replaced.
  std::mutex m;
  std::condition_variable cv;
  bool writing = false;
  bool go_on = false;
  writer_.Post("list", [&, dir = dir_.path(), files = FilesFor(first)] {
    std::unique_lock<std::mutex> lock(m);
    writing = true;
    cv.notify_all();
    cv.wait_for(lock, kWait, [&] { return go_on; });
    lock.unlock();
    WritePlayListFiles(dir, files);
  });
  {
    std::unique_lock<std::mutex> lock(m);
    ASSERT_TRUE(cv.wait_for(lock, kWait, [&] { return writing; }));
  }
  Save(second);
  // Meanwhile the files are the former list's, whole.
  EXPECT_EQ(Page(), page_before);
  {
    std::lock_guard<std::mutex> lock(m);
    go_on = true;
    cv.notify_all();
  }
  ASSERT_TRUE(writer_.WaitIdle(kWait));
  EXPECT_EQ(Page(), FilesFor(second).page);
  EXPECT_EQ(Store(), FilesFor(second).store);
}

TEST_F(PlayListSavesTest, QuickClicksLeaveTheLastListAndEveryReadSeesAWholeList) {
  std::vector<std::vector<std::string>> lists;
  std::set<std::string> pages;
  std::set<std::string> stores;
  for (int i = 0; i < 40; ++i) {
    lists.push_back(Episodes(1 + (i * 37) % 300, "list" + std::to_string(i)));
    pages.insert(FilesFor(lists.back()).page);
    stores.insert(FilesFor(lists.back()).store);
  }
  ASSERT_EQ(SavePlayList(dir_.path(), lists[0], "||"), SaveResult::kSaved);
  // A reader beside the writer, as the list pane reads the page while the next one is written.
  std::atomic<bool> stop{false};
  std::atomic<int> reads{0};
  std::atomic<int> torn{0};
  std::atomic<int> unreadable{0};
  std::thread reader([&] {
    const auto until = std::chrono::steady_clock::now() + kWait;
    while (!stop && std::chrono::steady_clock::now() < until) {
      const auto page = Page();
      const auto store = Store();
      if (!page || !store) {
        ++unreadable;
      } else if (!pages.count(*page) || !stores.count(*store)) {
        ++torn;
      }
      ++reads;
    }
  });
  for (const auto& list : lists) {
    Save(list);
    std::this_thread::sleep_for(milliseconds(2));
  }
  const bool idle = writer_.WaitIdle(kWait);
  stop = true;
  reader.join();
  ASSERT_TRUE(idle);
  EXPECT_EQ(torn.load(), 0) << "of " << reads.load() << " reads";
#ifndef _WIN32
  // Renaming over a file leaves its name to the old file or the new one at every moment. On
  // Windows a file being replaced cannot be opened for a moment: such a read finds nothing,
  // never part of a list.
  EXPECT_EQ(unreadable.load(), 0) << "of " << reads.load() << " reads";
#endif
  EXPECT_GT(reads.load(), 0);
  EXPECT_EQ(Page(), FilesFor(lists.back()).page);
  EXPECT_EQ(Store(), FilesFor(lists.back()).store);
}

TEST_F(PlayListSavesTest, CatalogueOfManyEpisodesIsBoundedAndWrittenWhole) {
  const auto list = Episodes(6000, "many");
  Save(list);
  ASSERT_TRUE(writer_.WaitIdle(kWait));
  const std::optional<std::string> store = Store();
  ASSERT_TRUE(store);
  std::size_t records = 0;
  for (std::size_t at = 0; (at = store->find("<Item>", at)) != std::string::npos; ++at) ++records;
  EXPECT_EQ(records, kMaxEntries);
  const std::vector<std::string> kept(list.begin(), list.begin() + kMaxEntries);
  EXPECT_EQ(store, FilesFor(kept).store);
  EXPECT_EQ(Page(), FilesFor(kept).page);
}

TEST_F(PlayListSavesTest, RefusedListIsDecidedBeforeAnythingIsQueued) {
  SaveResult refused = SaveResult::kSaved;
  EXPECT_FALSE(PlayListFilesFor({"a||u||t", "broken||entry"}, "||", refused));
  EXPECT_EQ(refused, SaveResult::kTooFewFields);
  const std::string long_address(kMaxAddressBytes + 1, 'a');
  EXPECT_FALSE(PlayListFilesFor({"a||" + long_address + "||t"}, "||", refused));
  EXPECT_EQ(refused, SaveResult::kAddressTooLong);
}

}  // namespace
}  // namespace kam::playlist
