#include "player/playlist/play_list_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/atomic_file.h"
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

}  // namespace
}  // namespace kam::playlist
