#include "demo/misbehaviour.h"

#include <gtest/gtest.h>

#include <map>

namespace kam::demo {
namespace {

using namespace std::chrono_literals;

ParamLookup Params(std::map<std::string, std::string> values) {
  return [values = std::move(values)](std::string_view name) -> std::optional<std::string> {
    const auto it = values.find(std::string(name));
    if (it == values.end()) return std::nullopt;
    return it->second;
  };
}

TEST(ParseMisbehaviour, ModesAndTheirParameters) {
  struct Case {
    const char* mode;
    std::map<std::string, std::string> params;
    Mode expected;
    int status;
    std::int64_t after;
    std::chrono::milliseconds wait;
    std::int64_t rate;
  };
  const Case cases[] = {
      {"404", {}, Mode::kNotFound, 500, -1, 60000ms, 65536},
      {"500", {}, Mode::kStatus, 500, -1, 60000ms, 65536},
      {"status", {{"code", "503"}}, Mode::kStatus, 503, -1, 60000ms, 65536},
      {"zero-length", {}, Mode::kZeroLength, 500, -1, 60000ms, 65536},
      {"chunked", {}, Mode::kChunked, 500, -1, 60000ms, 65536},
      {"no-length", {}, Mode::kChunked, 500, -1, 60000ms, 65536},
      {"until-close", {}, Mode::kUntilClose, 500, -1, 60000ms, 65536},
      {"bad-length", {}, Mode::kBadLength, 500, -1, 60000ms, 65536},
      {"cut", {{"after", "0"}}, Mode::kCutShort, 500, 0, 60000ms, 65536},
      {"stall", {{"ms", "250"}, {"after", "8192"}}, Mode::kStall, 500, 8192, 250ms, 65536},
      {"slow", {{"rate", "1000"}}, Mode::kSlow, 500, -1, 60000ms, 1000},
      {"reset", {{"after", "9000"}}, Mode::kReset, 500, 9000, 60000ms, 65536},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    const auto parsed = ParseMisbehaviour(c.mode, Params(c.params));
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(parsed->mode, c.expected);
    EXPECT_EQ(parsed->status, c.status);
    EXPECT_EQ(parsed->after, c.after);
    EXPECT_EQ(parsed->wait, c.wait);
    EXPECT_EQ(parsed->rate, c.rate);
  }
}

TEST(ParseMisbehaviour, RefusesWhatATestCannotHaveMeant) {
  struct Case {
    const char* mode;
    std::map<std::string, std::string> params;
  };
  const Case cases[] = {
      {"normal", {}},                        // clearing is not a misbehaviour
      {"404 ", {}},                          // names are exact
      {"Stall", {}},                         //
      {"stall", {{"ms", "fast"}}},           // numbers must be numbers
      {"stall", {{"ms", "-5"}}},             //
      {"cut", {{"after", "10k"}}},           //
      {"cut", {{"after", ""}}},              //
      {"status", {{"code", "42"}}},          // not a status code
      {"slow", {{"rate", "0"}}},             // would never end
      {"redirect", {}},                      // nowhere to go
      {"padded", {}},                        // no length
      {"padded", {{"bytes", "268435457"}}},  // more than a test needs in memory
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    EXPECT_FALSE(ParseMisbehaviour(c.mode, Params(c.params)).has_value());
  }
}

TEST(ParseMisbehaviourFlag, PathModeAndParameters) {
  const auto parsed = ParseMisbehaviourFlag("/upload/my2.txt=stall,ms=500,after=10");
  ASSERT_TRUE(parsed.has_value());
  EXPECT_EQ(parsed->first, "/upload/my2.txt");
  EXPECT_EQ(parsed->second.mode, Mode::kStall);
  EXPECT_EQ(parsed->second.wait, 500ms);
  EXPECT_EQ(parsed->second.after, 10);

  const auto redirect = ParseMisbehaviourFlag("/a=redirect,to=/b.html");
  ASSERT_TRUE(redirect.has_value());
  EXPECT_EQ(redirect->second.to, "/b.html");

  const auto padded = ParseMisbehaviourFlag("/kam/kam.txt=padded,bytes=1048577");
  ASSERT_TRUE(padded.has_value());
  EXPECT_EQ(padded->second.mode, Mode::kPadded);
  EXPECT_EQ(padded->second.bytes, 1048577);

  for (const char* bad :
       {"upload/my2.txt=404", "/a", "=404", "/a=", "/a=teapot", "/a=cut,after=x"}) {
    SCOPED_TRACE(bad);
    EXPECT_FALSE(ParseMisbehaviourFlag(bad).has_value());
  }
}

TEST(MisbehaviourTable, SetFindClear) {
  MisbehaviourTable table;
  Misbehaviour reset;
  reset.mode = Mode::kReset;
  table.Set("/a", reset);
  table.Set("/b", Misbehaviour{});
  ASSERT_TRUE(table.Find("/a").has_value());
  EXPECT_EQ(table.Find("/a")->mode, Mode::kReset);
  EXPECT_FALSE(table.Find("/A").has_value());  // paths are exact
  table.Clear("/a");
  EXPECT_FALSE(table.Find("/a").has_value());
  EXPECT_TRUE(table.Find("/b").has_value());
  table.ClearAll();
  EXPECT_FALSE(table.Find("/b").has_value());
}

}  // namespace
}  // namespace kam::demo
