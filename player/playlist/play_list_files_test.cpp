#include "player/playlist/play_list_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/atomic_file.h"
#include "player/playlist/history.h"
#include "player/playlist/list_bounds.h"
#include "player/playlist/list_page.h"
#include "tests/support/temp_dir.h"

namespace kam::playlist {
namespace {

namespace fs = std::filesystem;

class SavePlayListTest : public ::testing::Test {
 protected:
  void MakeFolders(bool html, bool data) {
    if (html) fs::create_directories(dir_.path() / "html");
    if (data) fs::create_directories(dir_.path() / "data");
  }
  std::optional<std::string> Page() const { return ReadFileBytes(ListPagePath(dir_.path())); }
  std::optional<std::string> Store() const { return ReadFileBytes(StorePath(dir_.path())); }
  // Nothing but the named files: no temporary files left behind.
  std::vector<std::string> FilesIn(const char* folder) const {
    std::vector<std::string> names;
    if (!fs::exists(dir_.path() / folder)) return names;
    for (const auto& e : fs::directory_iterator(dir_.path() / folder)) {
      names.push_back(e.path().filename().string());
    }
    return names;
  }

  kam::testing::TempDir dir_;
};

TEST_F(SavePlayListTest, PathsAreInTheProgramDirectory) {
  EXPECT_EQ(ListPagePath(dir_.path()), dir_.path() / "html" / "List.html");
  EXPECT_EQ(StorePath(dir_.path()), dir_.path() / "data" / "Data.dat");
}

TEST_F(SavePlayListTest, WritesPageAndStoreAndReplacesFormerOnes) {
  MakeFolders(true, true);
  dir_.Write("html/List.html", "old page");
  dir_.Write("data/Data.dat", "old store");
  const std::vector<std::string> list = {"a||u||t", "b||v||w"};
  ASSERT_EQ(SavePlayList(dir_.path(), list, "||"), SaveResult::kSaved);
  EXPECT_EQ(Page(), ListPageBytes(list, "||"));
  EXPECT_EQ(Store(), StoreBytes(list));
  EXPECT_EQ(FilesIn("html"), std::vector<std::string>{"List.html"});
  EXPECT_EQ(FilesIn("data"), std::vector<std::string>{"Data.dat"});
}

TEST_F(SavePlayListTest, EmptyListStoresOnlyALineBreak) {
  MakeFolders(true, true);
  ASSERT_EQ(SavePlayList(dir_.path(), {}, "||"), SaveResult::kSaved);
  EXPECT_EQ(Store(), "\r\n");
}

TEST_F(SavePlayListTest, EntryWithTooFewFieldsWritesNothing) {
  MakeFolders(true, true);
  dir_.Write("html/List.html", "old page");
  dir_.Write("data/Data.dat", "old store");
  EXPECT_EQ(SavePlayList(dir_.path(), {"a||u||t", "a||u"}, "||"), SaveResult::kTooFewFields);
  EXPECT_EQ(Page(), "old page");
  EXPECT_EQ(Store(), "old store");
}

TEST_F(SavePlayListTest, MissingHtmlFolderWritesNothing) {
  MakeFolders(false, true);
  dir_.Write("data/Data.dat", "old store");
  EXPECT_EQ(SavePlayList(dir_.path(), {"a||u||t"}, "||"), SaveResult::kPageNotWritten);
  EXPECT_EQ(Store(), "old store");
  EXPECT_FALSE(fs::exists(dir_.path() / "html"));
}

TEST_F(SavePlayListTest, MissingDataFolderKeepsTheNewPage) {
  MakeFolders(true, false);
  EXPECT_EQ(SavePlayList(dir_.path(), {"a||u||t"}, "||"), SaveResult::kStoreNotWritten);
  EXPECT_EQ(Page(), ListPageBytes({"a||u||t"}, "||"));
  EXPECT_FALSE(fs::exists(dir_.path() / "data"));
}

TEST_F(SavePlayListTest, EmptyPageCreatesTheHtmlFolderWhenMissing) {
  ASSERT_TRUE(WriteEmptyListPage(dir_.path()));
  EXPECT_EQ(Page(), EmptyListPageBytes());
  dir_.Write("html/List.html", "a former list");
  ASSERT_TRUE(WriteEmptyListPage(dir_.path()));
  EXPECT_EQ(Page(), EmptyListPageBytes());
}

TEST_F(SavePlayListTest, EmptyPageFailsWhenTheFolderCannotBeMade) {
  dir_.Write("html", "a file in the folder's place");
  EXPECT_FALSE(WriteEmptyListPage(dir_.path()));
}

TEST_F(SavePlayListTest, WritesTheFirstEntriesCutToTheBounds) {
  MakeFolders(true, true);
  std::vector<std::string> list;
  for (std::size_t i = 0; i < kMaxEntries + 10; ++i) {
    list.push_back("e" + std::to_string(i) + "||http://s/" + std::to_string(i) + "||t");
  }
  std::string title;
  for (int i = 0; i < 600; ++i) title += "长";
  list[1] = "e1||http://s/1||" + title;
  ASSERT_EQ(SavePlayList(dir_.path(), list, "||"), SaveResult::kSaved);
  const std::vector<std::string> stored = ParseHistory(Store().value_or(""));
  ASSERT_EQ(stored.size(), kMaxEntries);
  EXPECT_EQ(stored[0], list[0]);
  EXPECT_EQ(stored[1], "e1||http://s/1||" + title.substr(0, 3 * kMaxTextChars));
  EXPECT_EQ(stored.back(), list[kMaxEntries - 1]);
  const std::string page = Page().value_or("");
  EXPECT_NE(page.find("id=\"4999\""), std::string::npos);
  EXPECT_EQ(page.find("id=\"5000\""), std::string::npos);
}

TEST_F(SavePlayListTest, EntryWithAnOverLongAddressWritesNothing) {
  MakeFolders(true, true);
  dir_.Write("html/List.html", "old page");
  dir_.Write("data/Data.dat", "old store");
  const std::string address = "http://s/" + std::string(kMaxAddressBytes, 'a');
  EXPECT_EQ(SavePlayList(dir_.path(), {"a||u||t", "b||" + address + "||t"}, "||"),
            SaveResult::kAddressTooLong);
  EXPECT_EQ(Page(), "old page");
  EXPECT_EQ(Store(), "old store");
}

TEST(ListPageFileTest, OnlyThePageAndItsStyleSheets) {
  const fs::path dir = "/opt/kam";
  const struct {
    fs::path file;
    bool allowed;
  } cases[] = {
      {"/opt/kam/html/List.html", true},
      {"/opt/kam/html/default_skin.css", true},
      {"/opt/kam/html/item.css", true},
      {"/opt/kam/html/../html/item.css", true},
      {"/opt/kam/html/./List.html", true},
      {"/opt/kam/html/list.html", false},
      {"/opt/kam/html/other.css", false},
      {"/opt/kam/data/Data.dat", false},
      {"/opt/kam/html", false},
      {"/opt/kam/html/item.css/x", false},
      {"/etc/passwd", false},
      {"/opt/kam2/html/item.css", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsListPageFile(dir, c.file), c.allowed) << c.file;
  }
}

}  // namespace
}  // namespace kam::playlist
