// The episode list a playback click collects is bounded whatever the page holds: its first links
// in page order, texts cut by characters, links with over-long addresses left out.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/code_page.h"
#include "player/browse/browse_fakes.h"
#include "player/browse/navigation_dispatch.h"
#include "player/playlist/list_bounds.h"

namespace kam {
namespace {

using testing::BrowseRig;

const std::string kSite = "http://demo.example:8080";

class EpisodeListBoundsTest : public ::testing::Test {
 protected:
  EpisodeListBoundsTest() {
    rig_.state.dizhi = kSite;
    rig_.state.huangchong = "0";
  }
  // A playback click answered with page.
  void Collect(PageSnapshot page) {
    NavigationRequest click{"qqplay:///play/0.html"};
    click.source_origin = kSite;  // a link of the site's own page
    dispatch_.ListwebBeforeNavigate(click);
    ASSERT_EQ(rig_.listweb.pending_reads.size(), 1u);
    rig_.listweb.Answer(std::move(page));
  }
  BrowseRig rig_;
  NavigationDispatch dispatch_{rig_.ctx};
};

std::string Repeat(std::string_view piece, std::size_t times) {
  std::string out;
  out.reserve(piece.size() * times);
  for (std::size_t i = 0; i < times; ++i) out.append(piece);
  return out;
}

TEST_F(EpisodeListBoundsTest, TwentyThousandLinksGiveTheFirstFiveThousandInPageOrder) {
  PageSnapshot page{"剧", {}};
  for (int i = 0; i < 20000; ++i) {
    page.anchors.push_back({"qqplay:///play/" + std::to_string(i) + ".html", std::to_string(i)});
  }
  Collect(std::move(page));
  const std::vector<std::string>& list = rig_.state.List3;
  ASSERT_EQ(list.size(), playlist::kMaxEntries);
  for (std::size_t i = 0; i < list.size(); i += 997) {
    EXPECT_EQ(list[i],
              std::to_string(i) + "||" + kSite + "/play/" + std::to_string(i) + ".html||剧");
  }
  EXPECT_EQ(list.back(), "4999||" + kSite + "/play/4999.html||剧");
  ASSERT_EQ(rig_.area.rendered.size(), 1u);
  EXPECT_EQ(rig_.area.rendered[0].size(), playlist::kMaxEntries);
}

TEST_F(EpisodeListBoundsTest, LinksThatAreLeftOutDoNotCountAgainstTheBound) {
  PageSnapshot page{"剧", {}};
  // Before the episodes: links that leave the site and links with over-long addresses.
  for (int i = 0; i < 100; ++i)
    page.anchors.push_back({"qqplay://x@127.0.0.2/" + std::to_string(i), "away"});
  for (int i = 0; i < 100; ++i) page.anchors.push_back({"qqplay:///" + Repeat("a", 5000), "long"});
  for (int i = 0; i < 6000; ++i) page.anchors.push_back({"qqplay:///" + std::to_string(i), "e"});
  Collect(std::move(page));
  ASSERT_EQ(rig_.state.List3.size(), playlist::kMaxEntries);
  EXPECT_EQ(rig_.state.List3.front(), "e||" + kSite + "/0||剧");
  EXPECT_EQ(rig_.state.List3.back(), "e||" + kSite + "/4999||剧");
}

TEST_F(EpisodeListBoundsTest, AddressLongerThanTheBoundIsLeftOut) {
  // The play address is the site followed by the rest of the link: fill it to the byte.
  const std::size_t room = playlist::kMaxAddressBytes - kSite.size() - 1;
  const std::string fits = "qqplay:///" + Repeat("a", room);
  const std::string over = "qqplay:///" + Repeat("b", room + 1);
  Collect(PageSnapshot{"t", {{over, "over"}, {fits, "fits"}}});
  ASSERT_EQ(rig_.state.List3.size(), 1u);
  const std::string expected_address = kSite + "/" + Repeat("a", room);
  ASSERT_EQ(expected_address.size(), playlist::kMaxAddressBytes);
  EXPECT_EQ(rig_.state.List3[0], "fits||" + expected_address + "||t");
}

TEST_F(EpisodeListBoundsTest, HugeTitleAndTextAreCutByCharactersNotBytes) {
  const std::string title = Repeat("长", 40000);  // 120 KB
  const std::string text = Repeat("第", 600) + "集";
  Collect(PageSnapshot{title, {{"qqplay:///1.html", text}}});
  ASSERT_EQ(rig_.state.List3.size(), 1u);
  EXPECT_EQ(rig_.state.List3[0],
            Repeat("第", 512) + "||" + kSite + "/1.html||" + Repeat("长", 512));
  // Whole characters in the code page as well: two bytes each.
  EXPECT_EQ(Utf8ToGbk(Repeat("长", 512)).size(), 1024u);
}

}  // namespace
}  // namespace kam
