#include "player/playlist/store_reader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "common/code_page.h"
#include "player/playlist/history.h"
#include "tests/support/temp_dir.h"

namespace kam::playlist {
namespace {

using Entries = std::vector<std::string>;

std::string Repeat(std::string_view piece, std::size_t times) {
  std::string out;
  out.reserve(piece.size() * times);
  for (std::size_t i = 0; i < times; ++i) out.append(piece);
  return out;
}

std::string Record(const std::string& utf8) { return "<Item>" + Utf8ToGbk(utf8) + "</Item>\r\n"; }

std::string Episode(std::size_t i) {
  return "第" + std::to_string(i) + "集||http://s/" + std::to_string(i) + "||剧";
}

// The store fed in pieces of size bytes.
Entries ReadInPieces(std::string_view bytes, std::size_t size, StoreReaderLimits limits = {}) {
  StoreReader reader(kDefaultSeparator, limits);
  for (std::size_t at = 0; at < bytes.size(); at += size) {
    if (!reader.Feed(bytes.substr(at, size))) break;
  }
  return reader.Finish();
}

TEST(StoreReaderTest, KeepsTheFirstEntriesInFileOrder) {
  std::string store;
  for (std::size_t i = 0; i < kMaxEntries + 1000; ++i) store += Record(Episode(i));
  const Entries entries = ParseHistory(store);
  ASSERT_EQ(entries.size(), kMaxEntries);
  for (std::size_t i = 0; i < entries.size(); ++i) ASSERT_EQ(entries[i], Episode(i)) << i;
}

TEST(StoreReaderTest, StopsTakingBytesAtTheLastEntryKept) {
  StoreReader reader(kDefaultSeparator, {2, kMaxRecordBytes});
  EXPECT_TRUE(reader.Feed(Record("a||u||t")));
  EXPECT_FALSE(reader.Feed(Record("b||u||t") + "<Item>c"));
  EXPECT_FALSE(reader.Feed("||u||t</Item>"));
  EXPECT_EQ(reader.Finish(), (Entries{"a||u||t", "b||u||t"}));
}

TEST(StoreReaderTest, PiecesOfAnySizeReadAsTheWhole) {
  const std::string store = "junk<It<Item>  " + Utf8ToGbk("第1集||u||剧") +
                            " </Item>x</Item><Item>b||u||t\r\n</Ite<Item><<Item>c||u||t</Item" +
                            "<Item>" + Utf8ToGbk("尾||u||末") + "  \r\n<It";
  const Entries whole = ParseHistory(store);
  EXPECT_EQ(whole,
            (Entries{"第1集||u||剧", "b||u||t\r\n</Ite", "c||u||t</Item", "尾||u||末  \r\n<It"}));
  for (std::size_t size = 1; size <= 9; ++size) {
    EXPECT_EQ(ReadInPieces(store, size), whole) << size;
  }
}

TEST(StoreReaderTest, OverLongRecordIsReadFromItsFirstBytes) {
  // A title of a megabyte, between two ordinary records, on one line.
  const std::string store =
      Record(Episode(1)) + Record("长篇||http://s/2||" + Repeat("长", 500000)) + Record(Episode(3));
  const Entries entries = ParseHistory(store);
  EXPECT_EQ(entries,
            (Entries{Episode(1), "长篇||http://s/2||" + Repeat("长", kMaxTextChars), Episode(3)}));
}

TEST(StoreReaderTest, OverLongRecordThatLosesItsFieldsIsDropped) {
  const std::string store = Record(Repeat("x", 3 * kMaxRecordBytes) + "||http://s/1||t") +
                            Record("a||http://s/" + Repeat("b", 2 * kMaxRecordBytes) + "||t") +
                            Record(Episode(3));
  EXPECT_EQ(ParseHistory(store), Entries{Episode(3)});
}

TEST(StoreReaderTest, OverLongLineWithoutRecordsIsSkipped) {
  const std::string store =
      Repeat("<ItemX " + Utf8ToGbk("垃圾") + "|", 200000) + Record(Episode(1));
  EXPECT_EQ(ReadInPieces(store, 64 * 1024), Entries{Episode(1)});
}

TEST(StoreReaderTest, SpacesBeforeAnEntryTakeNoRoom) {
  const std::string store = "<Item>" + Repeat(" ", 3 * kMaxRecordBytes) + "a||u||t</Item>";
  EXPECT_EQ(ParseHistory(store), Entries{"a||u||t"});
}

TEST(StoreReaderTest, CutRecordNeverSplitsADoubleByteCharacter) {
  // "a||b||测" is eight bytes in the code page; seven are kept.
  const std::string store = "<Item>a||b||" + Utf8ToGbk("测") + "</Item>";
  EXPECT_EQ(ReadInPieces(store, 3, {kMaxEntries, 7}), Entries{"a||b||"});
  EXPECT_EQ(ReadInPieces(store, 3, {kMaxEntries, 8}), Entries{"a||b||测"});
}

TEST(StoreReaderTest, EntriesPastTheBoundsAreCutOrDropped) {
  const std::string store = Record(Repeat("第", 600) + "||http://s/1||t") +
                            Record("a||http://s/" + Repeat("b", kMaxAddressBytes) + "||t") +
                            Record("c||http://s/3||" + Repeat("长", 513) + "  ");
  EXPECT_EQ(ParseHistory(store), (Entries{Repeat("第", 512) + "||http://s/1||t",
                                          "c||http://s/3||" + Repeat("长", 512)}));
}

class ReadHistoryTest : public ::testing::Test {
 protected:
  kam::testing::TempDir dir_;
};

TEST_F(ReadHistoryTest, LargeStoreGivesItsFirstEntries) {
  std::string store;
  for (std::size_t i = 0; i < 3 * kMaxEntries; ++i) store += Record(Episode(i));
  const auto path = dir_.Write("data/Data.dat", store);
  const std::optional<Entries> entries = ReadHistory(path);
  ASSERT_TRUE(entries);
  ASSERT_EQ(entries->size(), kMaxEntries);
  EXPECT_EQ(entries->front(), Episode(0));
  EXPECT_EQ(entries->back(), Episode(kMaxEntries - 1));
}

TEST_F(ReadHistoryTest, MissingStoreGivesAnEmptyListAndUnreadableOneNothing) {
  std::filesystem::create_directories(dir_.path() / "data" / "Data.dat");
  EXPECT_EQ(ReadHistory(dir_.path() / "data" / "Data.dat"), std::nullopt);
  EXPECT_EQ(ReadHistory(dir_.path() / "data" / "Other.dat"), Entries{});
  EXPECT_TRUE(std::filesystem::exists(dir_.path() / "data" / "Other.dat"));
  EXPECT_EQ(ReadHistory(dir_.path() / "none" / "Data.dat"), Entries{});
}

}  // namespace
}  // namespace kam::playlist
