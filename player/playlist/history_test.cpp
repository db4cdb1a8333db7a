#include "player/playlist/history.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/atomic_file.h"
#include "common/code_page.h"
#include "player/playlist/play_list_files.h"
#include "tests/support/temp_dir.h"

namespace kam::playlist {
namespace {

using Entries = std::vector<std::string>;

TEST(ParseHistoryTest, Records) {
  const struct {
    const char* name;
    std::string bytes;
    Entries entries;
  } cases[] = {
      {"empty file", "", {}},
      {"empty list", "\r\n", {}},
      {"normal form",
       "<Item>a||u1||t</Item>\r\n<Item>b||u2||t</Item>\r\n\r\n",
       {"a||u1||t", "b||u2||t"}},
      {"text before the first record and after the last is dropped",
       "junk </Item> x<Item>a||u||t</Item> tail",
       {"a||u||t"}},
      {"only spaces are trimmed", "<Item>   a||u||t  </Item>", {"a||u||t"}},
      {"tabs and line breaks stay", "<Item>\ta||u||t\r\n</Item>", {"\ta||u||t\r\n"}},
      {"empty and blank records are dropped",
       "<Item></Item>\r\n<Item>    </Item>\r\n<Item>a||u||t</Item>\r\n",
       {"a||u||t"}},
      {"last record without its end marker keeps its line breaks",
       "<Item>a||u||t</Item>\r\n<Item>  b||u||t  \r\n\r\n",
       {"a||u||t", "b||u||t  \r\n\r\n"}},
      {"a record ends at its first end marker", "<Item>a||u||t</Item>b</Item>\r\n", {"a||u||t"}},
      {"markers are case-sensitive",
       "<item>a||u||t</item><Item>b||u||t</ITEM>",
       {"b||u||t</ITEM>"}},
      {"records short of three fields are dropped",
       "<Item>only text</Item><Item>a||u</Item><Item>b||u||t</Item>",
       {"b||u||t"}},
      {"no marker at all", "a||u||t\r\n", {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParseHistory(c.bytes), c.entries) << c.name;
  }
}

TEST(ParseHistoryTest, DecodesGbk) {
  // 第1集||u||测试剧
  const std::string bytes =
      "<Item>\xB5\xDA"
      "1\xBC\xAF||u||\xB2\xE2\xCA\xD4\xBE\xE7</Item>\r\n\r\n";
  EXPECT_EQ(ParseHistory(bytes), Entries{"第1集||u||测试剧"});
}

TEST(ParseHistoryTest, UsesTheGivenSeparator) {
  EXPECT_EQ(ParseHistory("<Item>a##b##c</Item><Item>a||b||c</Item>", "##"), Entries{"a##b##c"});
}

class LoadHistoryTest : public ::testing::Test {
 protected:
  kam::testing::TempDir dir_;
};

TEST_F(LoadHistoryTest, NormalFileRoundTripsByteForByte) {
  const std::string bytes =
      "<Item>\xB5\xDA"
      "1\xBC\xAF||http://site/play/1.html||\xB2\xE2\xCA\xD4\xBE\xE7</Item>\r\n"
      "<Item>\xB5\xDA"
      "2\xBC\xAF||http://site/play/2.html||\xB2\xE2\xCA\xD4\xBE\xE7</Item>\r\n"
      "\r\n";
  std::filesystem::create_directories(dir_.path() / "html");
  const auto store = dir_.Write("data/Data.dat", bytes);
  const Entries list = LoadHistory(store);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0], "第1集||http://site/play/1.html||测试剧");
  EXPECT_EQ(list[1], "第2集||http://site/play/2.html||测试剧");
  ASSERT_EQ(SavePlayList(dir_.path(), list, "||"), SaveResult::kSaved);
  EXPECT_EQ(ReadFileBytes(store), bytes);
}

TEST_F(LoadHistoryTest, DamagedRecordIsLeftOutAndTheFileHealsAtTheNextSave) {
  std::filesystem::create_directories(dir_.path() / "html");
  const auto store =
      dir_.Write("data/Data.dat", "<Item>broken</Item>\r\n<Item>a||u||t</Item>\r\n\r\n");
  const Entries list = LoadHistory(store);
  EXPECT_EQ(list, Entries{"a||u||t"});
  ASSERT_EQ(SavePlayList(dir_.path(), list, "||"), SaveResult::kSaved);
  EXPECT_EQ(ReadFileBytes(store), "<Item>a||u||t</Item>\r\n\r\n");
}

TEST_F(LoadHistoryTest, MissingFileIsCreatedEmpty) {
  std::filesystem::create_directories(dir_.path() / "data");
  const auto store = dir_.path() / "data" / "Data.dat";
  EXPECT_TRUE(LoadHistory(store).empty());
  EXPECT_EQ(ReadFileBytes(store), "");
}

TEST_F(LoadHistoryTest, MissingFolderGivesAnEmptyListAndCreatesNothing) {
  const auto store = dir_.path() / "data" / "Data.dat";
  EXPECT_TRUE(LoadHistory(store).empty());
  EXPECT_FALSE(std::filesystem::exists(dir_.path() / "data"));
}

TEST_F(LoadHistoryTest, UnreadableStoreGivesAnEmptyList) {
  // A folder where the file should be cannot be read as one.
  std::filesystem::create_directories(dir_.path() / "data" / "Data.dat");
  EXPECT_TRUE(LoadHistory(dir_.path() / "data" / "Data.dat").empty());
}

}  // namespace
}  // namespace kam::playlist
