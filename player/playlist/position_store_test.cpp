#include "player/playlist/position_store.h"

#include <gtest/gtest.h>

#include <fstream>
#include <limits>
#include <string>

#include "common/atomic_file.h"
#include "tests/support/temp_dir.h"

namespace kam::playlist {
namespace {

constexpr char kHeader[] = "kamplayer positions 1\n";
constexpr char kA[] = "http://site:80/play/a.html";
constexpr char kB[] = "http://site:80/play/b.html";

TEST(PositionStoreTest, ResumeRule) {
  const struct {
    const char* name;
    double position, duration;
    std::optional<double> start;
    bool forgotten;
  } cases[] = {
      {"middle of a long video", 30, 120, 30, false},
      {"under ten seconds", 9.9, 120, std::nullopt, true},
      {"exactly ten seconds", 10, 120, 10, false},
      {"within the last ten seconds", 111, 120, std::nullopt, true},
      {"within the last five percent of a long one", 3500, 3600, std::nullopt, true},
      {"just before the last five percent", 3400, 3600, 3400, false},
      {"beyond the end: another video on the page", 300, 15, std::nullopt, false},
      {"unknown length", 30, -1, std::nullopt, false},
      {"live stream", 30, std::numeric_limits<double>::infinity(), std::nullopt, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    PositionStore store;
    ASSERT_TRUE(store.Remember(kA, c.position, 1e9));
    bool forgot = true;
    EXPECT_EQ(store.ResumeAt(kA, c.duration, &forgot), c.start);
    EXPECT_EQ(forgot, c.forgotten);
    EXPECT_EQ(store.Position(kA).has_value(), !c.forgotten);
  }
}

TEST(PositionStoreTest, WatchedWhenEndedOrPlayedIntoTheLastPart) {
  PositionStore store;
  store.Remember(kA, 50, 100);
  EXPECT_FALSE(store.Watched(kA));
  store.Remember(kA, 95, 100);
  EXPECT_TRUE(store.Watched(kA));
  store.Remember(kA, 20, 100);
  EXPECT_TRUE(store.Watched(kA)) << "watched stays when the user goes back";
  EXPECT_TRUE(store.MarkEnded(kB));
  EXPECT_TRUE(store.Watched(kB));
  EXPECT_FALSE(store.Position(kB));
  EXPECT_FALSE(store.MarkEnded(kB)) << "ended twice changes nothing";
}

TEST(PositionStoreTest, ReadsBackWhatItWrote) {
  PositionStore store;
  store.Remember(kA, 42.5, 100);
  store.MarkEnded(kB);
  const PositionStore back = PositionStore::FromBytes(store.ToBytes());
  EXPECT_EQ(back.ToBytes(), store.ToBytes());
  EXPECT_EQ(back.Position(kA), 42.5);
  EXPECT_TRUE(back.Watched(kB));
  EXPECT_EQ(store.ToBytes(), std::string(kHeader) + "42500\t0\t" + kA + "\n0\t1\t" + kB + "\n");
}

TEST(PositionStoreTest, KeepsTheNewestThousandAddresses) {
  PositionStore store;
  for (int i = 0; i < 1500; ++i) {
    store.Remember("http://site:80/play/" + std::to_string(i), 20 + i, 10000);
  }
  EXPECT_EQ(store.size(), PositionStore::kMaxAddresses);
  EXPECT_FALSE(store.Position("http://site:80/play/499"));
  EXPECT_EQ(store.Position("http://site:80/play/500"), 520);
  // Using an old address makes it the newest: the next new one pushes out another.
  store.Remember("http://site:80/play/500", 30, 10000);
  store.Remember("http://site:80/play/new", 30, 10000);
  EXPECT_TRUE(store.Position("http://site:80/play/500"));
  EXPECT_FALSE(store.Position("http://site:80/play/501"));
}

TEST(PositionStoreTest, RefusesKeysItCouldNotReadBack) {
  PositionStore store;
  EXPECT_FALSE(store.Remember("", 30, 100));
  EXPECT_FALSE(store.Remember("http://site/a\nb", 30, 100));
  EXPECT_FALSE(store.Remember("http://site/a\tb", 30, 100));
  EXPECT_FALSE(store.Remember(std::string(PositionStore::kMaxKeyBytes + 1, 'a'), 30, 100));
  EXPECT_FALSE(store.Remember(kA, std::numeric_limits<double>::quiet_NaN(), 100));
  EXPECT_FALSE(store.MarkEnded("bad\nkey"));
  EXPECT_EQ(store.size(), 0u);
}

TEST(PositionStoreTest, BadFilesReadAsEmptyOrWhatIsValid) {
  const std::string good = std::string("30000\t0\t") + kA + "\n";
  const struct {
    const char* name;
    std::string bytes;
    std::size_t records;
  } cases[] = {
      {"empty", "", 0},
      {"foreign file", "[ver]\r\nwangzhan=http://x\r\n" + good, 0},
      {"header only, torn", "kamplayer positions", 0},
      {"binary", std::string("\0\xff\xfe\x01\n\n", 6), 0},
      {"valid line", kHeader + good, 1},
      {"torn last line", kHeader + good + "40000\t0\thttp://site:80/pl", 1},
      {"bad lines between good ones",
       kHeader + std::string("x\t0\tk\n-5\t0\tk\n5\t2\tk\n5\t0\t\n5\t0k\n\n") + good, 1},
      {"number too long", kHeader + std::string("1234567890123\t0\tk\n"), 0},
      {"duplicates: the later wins", kHeader + std::string("1\t0\t") + kA + "\n" + good, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const PositionStore store = PositionStore::FromBytes(c.bytes);
    EXPECT_EQ(store.size(), c.records);
    if (c.records == 1) {
      EXPECT_EQ(store.Position(kA), 30);
    }
  }
}

TEST(PositionStoreTest, HugeFileIsReadBoundedAndRewrittenWhole) {
  testing::TempDir dir;
  const auto file = dir.path() / "positions.txt";
  {
    std::ofstream out(file, std::ios::binary);
    out << kHeader << "30000\t0\t" << kA << "\n";
    const std::string junk(1 << 20, 'x');
    for (int i = 0; i < 16; ++i) out << junk;  // 16 MiB without a line break
    out << "\n40000\t0\t" << kB << "\n";
  }
  PositionStore store = LoadPositionStore(file);
  EXPECT_EQ(store.size(), 1u);
  EXPECT_FALSE(store.Position(kB)) << "nothing past the limit is read";
  ASSERT_TRUE(SavePositionStore(file, store));
  EXPECT_EQ(ReadFileBytes(file), std::string(kHeader) + "30000\t0\t" + kA + "\n");
}

TEST(PositionStoreTest, MissingFileIsAnEmptyStore) {
  testing::TempDir dir;
  EXPECT_EQ(LoadPositionStore(dir.path() / "none.txt").size(), 0u);
  EXPECT_FALSE(SavePositionStore(dir.path() / "no" / "folder.txt", PositionStore{}));
}

}  // namespace
}  // namespace kam::playlist
