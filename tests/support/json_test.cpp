#include "tests/support/json.h"

#include <gtest/gtest.h>

#include <string>

namespace kam::testing {
namespace {

TEST(JsonParse, ReadsADevToolsTargetList) {
  const auto list = Json::Parse(
      " [ {\"id\":\"A1\",\"type\":\"page\",\"url\":\"http://127.0.0.1:8/\",\"title\":\"看吧\","
      "\"faviconUrl\":null,\"parentId\":{\"x\":[1,2]}},\n"
      "{\"type\":\"service_worker\",\"attached\":false,\"n\":-2.5e1} ]\r\n");
  ASSERT_TRUE(list);
  ASSERT_EQ(list->type, Json::Type::kArray);
  ASSERT_EQ(list->array.size(), 2u);
  const Json& page = list->array[0];
  EXPECT_EQ(page["type"].string, "page");
  EXPECT_EQ(page["url"].string, "http://127.0.0.1:8/");
  EXPECT_EQ(page["title"].string, "看吧");
  EXPECT_EQ(page["faviconUrl"].type, Json::Type::kNull);
  EXPECT_EQ(page["parentId"]["x"].array.at(1).number, 2);
  EXPECT_EQ(page["missing"].type, Json::Type::kNull);
  const Json& worker = list->array[1];
  EXPECT_EQ(worker["attached"].type, Json::Type::kBool);
  EXPECT_FALSE(worker["attached"].boolean);
  EXPECT_EQ(worker["n"].number, -25);
}

TEST(JsonParse, StringEscapes) {
  const struct {
    const char* json;
    std::string text;
  } cases[] = {
      {R"("a\"b\\c\/d")", "a\"b\\c/d"},
      {R"("\n\t\r\b\f")", "\n\t\r\b\f"},
      {R"("\u0041\u00e9\u4E2D")", "A\xC3\xA9\xE4\xB8\xAD"},
      {R"("\ud83d\ude00")", "\xF0\x9F\x98\x80"},  // a pair of surrogates is one character
  };
  for (const auto& c : cases) {
    const auto v = Json::Parse(c.json);
    ASSERT_TRUE(v) << c.json;
    EXPECT_EQ(v->type, Json::Type::kString) << c.json;
    EXPECT_EQ(v->string, c.text) << c.json;
  }
}

TEST(JsonParse, RefusesWhatIsNotJson) {
  for (const char* text :
       {"", "  ", "[1,]", "{\"a\" 1}", "{\"a\":1", "[1] 2", "\"open", "\"\\u12\"",
        "\"\\ud83d\\u0041\"", "-", "1.2.3", "+1", "1e999", "tru", "{1:2}"}) {
    EXPECT_FALSE(Json::Parse(text)) << text;
  }
}

TEST(JsonParse, NestsUpToTwoHundredLevels) {
  auto nested = [](int levels) { return std::string(levels, '[') + std::string(levels, ']'); };
  EXPECT_TRUE(Json::Parse(nested(200)));
  EXPECT_FALSE(Json::Parse(nested(201)));
}

TEST(JsonQuote, ParsesBackToTheSameText) {
  using namespace std::string_literals;
  for (const std::string& text : {""s, "plain"s, "quote \" and backslash \\"s, "line\nbreak\ttab"s,
                                  "nul\0byte"s, "\x01\x1f"s, "看吧影院"s}) {
    const std::string quoted = JsonQuote(text);
    const auto v = Json::Parse(quoted);
    ASSERT_TRUE(v) << quoted;
    EXPECT_EQ(v->string, text) << quoted;
  }
}

}  // namespace
}  // namespace kam::testing
