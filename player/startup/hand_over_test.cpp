#include "player/startup/hand_over.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "player/startup/launch_args.h"

namespace kam {
namespace {

using State = HandOverReader::State;
using Kind = HandOverRequest::Kind;

std::string Header(std::uint32_t length) {
  std::string h(kHandOverMagic);
  for (const int shift : {24, 16, 8, 0}) h.push_back(static_cast<char>((length >> shift) & 0xFF));
  return h;
}

TEST(HandOverFrame, RoundTripsInPiecesOfAnySize) {
  const std::string arguments[] = {"", EncodeLaunchArgs("西游记#@@http://site/play/1.html"),
                                   std::string(kHandOverMaxBytes, 'x')};
  for (const std::string& argument : arguments) {
    const auto frame = FrameHandOver(argument);
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->size(), kHandOverHeaderBytes + argument.size());
    for (const std::size_t piece :
         {std::size_t{1}, std::size_t{3}, std::size_t{8}, frame->size()}) {
      SCOPED_TRACE(std::to_string(argument.size()) + " bytes in pieces of " +
                   std::to_string(piece));
      HandOverReader reader;
      State state = State::kIncomplete;
      for (std::size_t at = 0; at < frame->size(); at += piece) {
        ASSERT_EQ(state, State::kIncomplete) << "complete before its last byte";
        state = reader.Feed(std::string_view(*frame).substr(at, piece));
      }
      ASSERT_EQ(state, State::kComplete);
      EXPECT_EQ(reader.argument(), argument);
    }
  }
}

TEST(HandOverFrame, RefusesWhatIsNoFrameBeforeHoldingIt) {
  struct Case {
    const char* name;
    std::string bytes;
    State state;
  };
  const Case cases[] = {
      {"wrong magic, seen at its first byte", "GET / HTTP/1.1\r\n", State::kBad},
      {"a correct magic's start waits", "KA", State::kIncomplete},
      {"longer than the bound", Header(kHandOverMaxBytes + 1), State::kBad},
      {"the largest length is refused too", Header(0xFFFFFFFF) + "abc", State::kBad},
      {"exactly the bound waits for its body", Header(kHandOverMaxBytes) + "abc",
       State::kIncomplete},
      {"bytes after the frame are ignored", Header(2) + "abcdef", State::kComplete},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HandOverReader reader;
    EXPECT_EQ(reader.Feed(c.bytes), c.state);
    if (c.state == State::kBad) {
      EXPECT_FALSE(reader.why().empty());
      EXPECT_EQ(reader.Feed(*FrameHandOver("a")), State::kBad) << "stays refused";
    }
  }
  EXPECT_FALSE(FrameHandOver(std::string(kHandOverMaxBytes + 1, 'x')));
}

TEST(HandOverArgument, DecodedBySecondStartRules) {
  struct Case {
    const char* name;
    std::string command_line;
    HandOverRequest request;
  };
  const Case cases[] = {
      {"empty: show", "", {Kind::kShow, {}}},
      {"a shortcut", EncodeLaunchArgs("T#@@http://s/p"), {Kind::kOpen, {"T", "http://s/p"}}},
      {"four fields", EncodeLaunchArgs("a#@@b#@@c#@@d"), {Kind::kOpen, {"a", "b", "c", "d"}}},
      {"one field: dropped", EncodeLaunchArgs("only a title"), {Kind::kDrop, {"only a title"}}},
      {"plain text that decodes to one field",
       "http://s/p",
       {Kind::kDrop, {EncodeLaunchArgs("http://s/p")}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ReadHandOverArgument(c.command_line), c.request);
  }
}

TEST(HandOverInbox, ActsAtOnceThenOnceMoreForAllThatCameMeanwhile) {
  const HandOverRequest show{Kind::kShow, {}};
  const HandOverRequest first{Kind::kOpen, {"a", "http://s/1"}};
  const HandOverRequest second{Kind::kOpen, {"b", "http://s/2"}};
  const HandOverRequest drop{Kind::kDrop, {"x"}};
  HandOverInbox inbox;
  EXPECT_FALSE(inbox.Take());
  EXPECT_FALSE(inbox.Add(drop)) << "a dropped request asks for nothing";
  EXPECT_FALSE(inbox.Take());

  EXPECT_TRUE(inbox.Add(first)) << "after a quiet time: at once";
  EXPECT_EQ(inbox.Take(), first);
  // Within the settling time everything waits; the latest shortcut wins, a show adds nothing.
  EXPECT_FALSE(inbox.Add(show));
  EXPECT_FALSE(inbox.Add(second));
  EXPECT_FALSE(inbox.Add(show));
  EXPECT_FALSE(inbox.Add(drop));
  EXPECT_EQ(inbox.Take(), second) << "one reaction for all of them";
  EXPECT_FALSE(inbox.Add(show));
  EXPECT_EQ(inbox.Take(), show);
  EXPECT_FALSE(inbox.Take()) << "nothing came: the settling ends";
  EXPECT_TRUE(inbox.Add(show)) << "quiet again: at once";
  EXPECT_EQ(inbox.Take(), show);

  // A flood between two reactions is one request.
  for (int i = 0; i < 10000; ++i) EXPECT_FALSE(inbox.Add(i % 2 ? first : show));
  EXPECT_EQ(inbox.Take(), first);
  EXPECT_FALSE(inbox.Take());
}

TEST(HandOverChannel, OnePerProgramDirectory) {
  const std::string a = HandOverChannelName("/home/u/kamplayer");
  EXPECT_EQ(a, HandOverChannelName("/home/u/kamplayer")) << "stable";
  EXPECT_NE(a, HandOverChannelName("/home/u/kamplayer2"));
  EXPECT_NE(a, HandOverChannelName("/home/v/kamplayer"));
  EXPECT_EQ(a.rfind("kamplayer-", 0), 0U);
  // Short enough for any socket path limit, whatever the directory's length.
  EXPECT_EQ(HandOverChannelName(std::string(4096, 'd')).size(), a.size());
}

}  // namespace
}  // namespace kam
