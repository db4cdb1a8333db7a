#include "common/http_download_reply.h"

#include <gtest/gtest.h>

#include <string>

namespace kam {
namespace {

using Kind = ReplyLine::Kind;

struct LineCase {
  const char* name;
  std::string line;
  Kind kind;
  long status;
  std::int64_t content_length;
  std::string location;
};

LineCase Status(const char* name, std::string line, long status) {
  return {name, std::move(line), Kind::kStatus, status, -1, ""};
}
LineCase Length(const char* name, std::string line, std::int64_t length) {
  return {name, std::move(line), Kind::kContentLength, 0, length, ""};
}
LineCase Location(const char* name, std::string line, std::string location) {
  return {name, std::move(line), Kind::kLocation, 0, -1, std::move(location)};
}
LineCase Plain(const char* name, std::string line, Kind kind) {
  return {name, std::move(line), kind, 0, -1, ""};
}

void PrintTo(const LineCase& c, std::ostream* os) { *os << c.name; }

class ReplyLineRead : public ::testing::TestWithParam<LineCase> {};

TEST_P(ReplyLineRead, TellsWhatTheLineIs) {
  const LineCase& c = GetParam();
  const ReplyLine read = ReadReplyLine(c.line);
  EXPECT_EQ(read.kind, c.kind);
  EXPECT_EQ(read.status, c.status);
  EXPECT_EQ(read.content_length, c.content_length);
  EXPECT_EQ(read.location, c.location);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ReplyLineRead,
    ::testing::Values(
        Status("StatusOfHttp11", "HTTP/1.1 200 OK\r\n", 200),
        Status("StatusOfHttp2WithoutReason", "HTTP/2 404\r\n", 404),
        Status("StatusNameInAnyCase", "http/1.0 302 Found\r\n", 302),
        Status("StatusOfTwoDigitsIsNone", "HTTP/1.1 20\r\n", 0),
        Status("StatusWithALetterIsNone", "HTTP/1.1 2x0 OK\r\n", 0),
        Status("StatusLineWithoutCodeIsNone", "HTTP/1.1\r\n", 0),
        Plain("BlankLineEndsTheHead", "\r\n", Kind::kEnd),
        Plain("BlanksAloneEndTheHead", " \t\r\n", Kind::kEnd),
        Length("LengthInAnyCase", "content-LENGTH: 20000\r\n", 20000),
        Length("LengthWithBlanksAround", "Content-Length:\t 7 \r\n", 7),
        Length("LengthZero", "Content-Length: 0\r\n", 0),
        Length("LengthWithSignIsNone", "Content-Length: +5\r\n", -1),
        Length("LengthWithLettersIsNone", "Content-Length: 12ab\r\n", -1),
        Length("EmptyLengthIsNone", "Content-Length: \r\n", -1),
        Length("LengthOfEighteenDigits", "Content-Length: 999999999999999999\r\n",
               999999999999999999),
        Length("LengthOfNineteenDigitsIsNone", "Content-Length: 9223372036854775807\r\n", -1),
        Location("LocationWithoutItsBlanks", "Location:  https://a.test/x \r\n",
                 "https://a.test/x"),
        Location("RelativeLocation", "location: /next\r\n", "/next"),
        Location("EmptyLocation", "Location:\r\n", ""),
        Plain("OtherFieldsAreOther", "Content-Type: text/plain\r\n", Kind::kOther),
        Plain("ALengthNamedElsewhereIsOther", "X-Content-Length: 5\r\n", Kind::kOther)),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kam
