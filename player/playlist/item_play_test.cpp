#include "player/playlist/item_play.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kam::playlist {
namespace {

using Calls = std::vector<std::string>;

class RecordingPorts : public PlayPorts {
 public:
  void RenderList() override { calls.push_back("render list"); }
  void HideIdlePicture() override { calls.push_back("hide bjbox"); }
  void ShowBufferOverlay() override { calls.push_back("show vip"); }
  void StartBufferTimer(int interval_ms) override {
    calls.push_back("start Timer8 " + std::to_string(interval_ms));
  }
  void NavigatePlayer(const std::string& url) override { calls.push_back("navigate W3 " + url); }
  void ShowPlayer() override { calls.push_back("show W3"); }
  void SetDefaultPointer() override { calls.push_back("default pointer"); }

  Calls calls;
};

class FixedRandom : public RandomFraction {
 public:
  explicit FixedRandom(double r) : r_(r) {}
  double Next() override {
    ++draws;
    return r_;
  }
  int draws = 0;

 private:
  double r_;
};

const std::vector<std::string> kList = {
    "第1集||http://site/play/1.html||剧",
    "暂无记录||http://site/play/2.html||剧",
    "a||暂无观看记录||剧",
    "a||http://site/play/4.html||暂无观看记录",
    "only||two",
    "a||http://site/play/6.html||t||extra",
    "名字||file:///etc/hostname||标题",
    "a||http://other.example/play/1.html||t",
    "a||http://site:81/play/1.html||t",
    "a||javascript:alert(1)||t",
    "a||HTTP://SITE\\play\\1.html||t",
};

TEST(ItemPlayTest, DecisionTable) {
  const Calls kBuffer = {"show vip", "start Timer8 1160"};
  const auto with = [](Calls head, const Calls& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
  };
  const Calls kPlay1 = {"navigate W3 http://site/play/1.html", "show W3", "default pointer"};
  const struct {
    const char* name;
    int index;
    const char* huangchong;
    PlayOutcome outcome;
    Calls calls;
    int seconds;  // bufferSecondsLeft afterwards; it starts at -1
  } cases[] = {
      {"plays field 1", 0, "0", PlayOutcome::kPlayed, with({"hide bjbox"}, kPlay1), -1},
      {"buffering first, then plays", 0, "1", PlayOutcome::kPlayed,
       with(with({"hide bjbox"}, kBuffer), kPlay1), 8},
      {"switch must be exactly 1", 0, "1 ", PlayOutcome::kPlayed, with({"hide bjbox"}, kPlay1), -1},
      {"design default is off", 0, "Label1", PlayOutcome::kPlayed, with({"hide bjbox"}, kPlay1),
       -1},
      {"index past the list re-renders", 11, "1", PlayOutcome::kReRendered, {"render list"}, -1},
      {"negative index re-renders", -1, "1", PlayOutcome::kReRendered, {"render list"}, -1},
      {"placeholder text", 1, "0", PlayOutcome::kPlaceholder, {"hide bjbox"}, -1},
      {"placeholder still buffers", 1, "1", PlayOutcome::kPlaceholder,
       with({"hide bjbox"}, kBuffer), 8},
      {"placeholder address", 2, "1", PlayOutcome::kPlaceholder, with({"hide bjbox"}, kBuffer), 8},
      {"placeholder title", 3, "0", PlayOutcome::kPlaceholder, {"hide bjbox"}, -1},
      {"too few fields", 4, "1", PlayOutcome::kIncomplete, with({"hide bjbox"}, kBuffer), 8},
      {"extra fields",
       5,
       "0",
       PlayOutcome::kPlayed,
       {"hide bjbox", "navigate W3 http://site/play/6.html", "show W3", "default pointer"},
       -1},
      // Addresses off the site (an old or edited list file) change nothing, buffering or not.
      {"local file refused", 6, "1", PlayOutcome::kRefused, {}, -1},
      {"other host refused", 7, "1", PlayOutcome::kRefused, {}, -1},
      {"other port refused", 8, "0", PlayOutcome::kRefused, {}, -1},
      {"script refused", 9, "1", PlayOutcome::kRefused, {}, -1},
      {"site address opened as read",
       10,
       "0",
       PlayOutcome::kPlayed,
       {"hide bjbox", "navigate W3 http://site/play/1.html", "show W3", "default pointer"},
       -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingPorts ports;
    FixedRandom random(0.5);
    int seconds = -1;
    const PlayOutcome outcome = ItemPlay(
        c.index, "||", PlayState{kList, c.huangchong, "7", seconds, "http://site"}, random, ports);
    EXPECT_EQ(outcome, c.outcome);
    EXPECT_EQ(ports.calls, c.calls);
    EXPECT_EQ(seconds, c.seconds);  // floor(7 x 0.5) + 5
  }
}

TEST(ItemPlayTest, IndexOneOfAOneEntryListPlaysNothing) {
  RecordingPorts ports;
  FixedRandom random(0.5);
  int seconds = 0;
  const std::vector<std::string> list = {"a||u||t"};
  EXPECT_EQ(ItemPlay(1, "||", PlayState{list, "1", "10", seconds, "http://site"}, random, ports),
            PlayOutcome::kReRendered);
  EXPECT_EQ(ports.calls, Calls{"render list"});
  EXPECT_EQ(random.draws, 0);
}

TEST(ItemPlayTest, SplitsAtTheEventsSeparator) {
  RecordingPorts ports;
  FixedRandom random(0);
  int seconds = 0;
  const std::vector<std::string> list = {"a##http://s/1##t"};
  EXPECT_EQ(ItemPlay(0, "##", PlayState{list, "0", "", seconds, "http://s"}, random, ports),
            PlayOutcome::kPlayed);
  EXPECT_EQ(ports.calls[1], "navigate W3 http://s/1");
}

TEST(ItemPlayTest, CountdownDrawsOncePerBufferedStart) {
  RecordingPorts ports;
  FixedRandom random(0.999);
  int seconds = 0;
  EXPECT_EQ(ItemPlay(0, "||", PlayState{kList, "1", "10", seconds, "http://site"}, random, ports),
            PlayOutcome::kPlayed);
  EXPECT_EQ(random.draws, 1);
  EXPECT_EQ(seconds, 14);
}

}  // namespace
}  // namespace kam::playlist
