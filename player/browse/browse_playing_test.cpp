// The playing entry and the play of its neighbours, as the main window's browsing sees them.
#include <gtest/gtest.h>

#include "player/browse/browse.h"
#include "player/browse/browse_fakes.h"

namespace kam::testing {
namespace {

class BrowsePlaying : public ::testing::Test {
 protected:
  BrowsePlaying() {
    rig_.state.dizhi = "http://site";
    rig_.state.huangchong = "0";
    rig_.state.List3 = {"第1集||http://site/play/1.html||剧", "第2集||http://site/play/2.html||剧",
                        "第3集||http://site/play/3.html||剧"};
  }
  BrowseRig rig_;
  Browse browse_{rig_.ctx, rig_.actions};
};

TEST_F(BrowsePlaying, TheEntryW3ShowsHoweverItGotThere) {
  EXPECT_EQ(browse_.PlayingEntry(), std::nullopt);
  rig_.W3.current_url = "http://site/play/2.html";
  EXPECT_EQ(browse_.PlayingEntry(), 1);
  rig_.W3.current_url = "http://site/about.html";
  EXPECT_EQ(browse_.PlayingEntry(), std::nullopt);
}

TEST_F(BrowsePlaying, NextPlaysAsAClickInTheList) {
  rig_.W3.current_url = "http://site/play/2.html";
  EXPECT_EQ(browse_.PlayAdjacent(1), playlist::PlayOutcome::kPlayed);
  EXPECT_EQ(rig_.log, (Log{"bjbox.Hide", "W3.Navigate http://site/play/3.html", "W3.Show",
                           "DefaultPointer"}));
}

TEST_F(BrowsePlaying, BufferingStartsAsForAClick) {
  rig_.state.huangchong = "1";
  rig_.state.da = "5";
  rig_.W3.current_url = "http://site/play/1.html";
  EXPECT_EQ(browse_.PlayAdjacent(1), playlist::PlayOutcome::kPlayed);
  EXPECT_EQ(rig_.log, (Log{"bjbox.Hide", "vip.Show", "Timer8.Start 1160",
                           "W3.Navigate http://site/play/2.html", "W3.Show", "DefaultPointer"}));
}

TEST_F(BrowsePlaying, NothingBeyondTheEndsOrWithoutAnEntry) {
  rig_.W3.current_url = "http://site/play/3.html";
  EXPECT_EQ(browse_.PlayAdjacent(1), std::nullopt);
  rig_.W3.current_url = "http://site/play/1.html";
  EXPECT_EQ(browse_.PlayAdjacent(-1), std::nullopt);
  rig_.W3.current_url = "http://site/other.html";
  EXPECT_EQ(browse_.PlayAdjacent(1), std::nullopt);
  EXPECT_TRUE(rig_.log.empty());
}

TEST_F(BrowsePlaying, TheClickedDuplicateIsThePlayingOne) {
  rig_.state.List3.push_back("重播||http://site/play/1.html||剧");
  rig_.state.List3.push_back("第5集||http://site/play/5.html||剧");
  EXPECT_EQ(browse_.ItemPlay(3, "||"), playlist::PlayOutcome::kPlayed);
  rig_.W3.current_url = "http://site/play/1.html";
  EXPECT_EQ(browse_.PlayingEntry(), 3);
  rig_.log.clear();
  EXPECT_EQ(browse_.PlayAdjacent(1), playlist::PlayOutcome::kPlayed);
  EXPECT_EQ(rig_.log.at(1), "W3.Navigate http://site/play/5.html");
}

}  // namespace
}  // namespace kam::testing
