#include "player/playlist/list_marks.h"

#include <gtest/gtest.h>

namespace kam::playlist {
namespace {

using M = EntryMark;

TEST(ListMarksTest, PlayingAndWatchedEntries) {
  const std::vector<std::string> list = {
      "第1集||http://site/play/1.html||剧", "第2集||HTTP://SITE\\play\\2.html||剧",
      "第3集||http://site/play/3.html||剧", "暂无记录||http://site/play/1.html||剧",
      "缺||http://site/play/1.html",        "远||http://other/play/1.html||剧",
      "第1集||http://site/play/1.html||剧",
  };
  PositionStore store;
  store.MarkEnded("http://site:80/play/1.html");
  store.Remember("http://site:80/play/2.html", 96, 100);  // into its last 5 %
  store.Remember("http://site:80/play/3.html", 50, 100);
  EXPECT_EQ(ListMarks(list, "||", "http://site", store, 2),
            (std::vector<M>{M::kWatched, M::kWatched, M::kPlaying, M::kNone, M::kNone, M::kNone,
                            M::kWatched}));
  EXPECT_EQ(ListMarks(list, "||", "http://site", store, 0)[0], M::kPlaying)
      << "the entry playing shows as playing, watched or not";
  EXPECT_EQ(ListMarks(list, "||", "http://site", store, 99).size(), list.size());
  EXPECT_EQ(ListMarks(list, "||", "http://site", PositionStore{}, std::nullopt),
            std::vector<M>(list.size(), M::kNone));
}

}  // namespace
}  // namespace kam::playlist
