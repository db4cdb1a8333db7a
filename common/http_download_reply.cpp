#include "common/http_download_reply.h"

#include <cstddef>

#include "common/ascii_text.h"

namespace kam {
namespace {

std::string_view Trim(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

// Plain decimal digits only; -1 for anything else (empty, signs, letters, a number too large for
// 63 bits).
std::int64_t ParseContentLength(std::string_view text) {
  text = Trim(text);
  if (text.empty() || text.size() > 18) return -1;
  std::int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return -1;
    value = value * 10 + (c - '0');
  }
  return value;
}

// The status code of a status line such as "HTTP/1.1 200 OK" or "HTTP/2 404".
long ParseStatusLine(std::string_view line) {
  const auto space = line.find(' ');
  if (space == std::string_view::npos) return 0;
  long code = 0;
  int digits = 0;
  for (std::size_t i = space + 1; i < line.size() && digits < 3; ++i, ++digits) {
    if (line[i] < '0' || line[i] > '9') return 0;
    code = code * 10 + (line[i] - '0');
  }
  return digits == 3 ? code : 0;
}

}  // namespace

ReplyLine ReadReplyLine(std::string_view line) {
  ReplyLine read;
  if (StartsWithIgnoringAsciiCase(line, "HTTP/")) {
    read.kind = ReplyLine::Kind::kStatus;
    read.status = ParseStatusLine(line);
    return read;
  }
  const std::string_view trimmed = Trim(line);
  if (trimmed.empty()) {
    read.kind = ReplyLine::Kind::kEnd;
  } else if (StartsWithIgnoringAsciiCase(trimmed, "content-length:")) {
    read.kind = ReplyLine::Kind::kContentLength;
    read.content_length = ParseContentLength(trimmed.substr(15));
  } else if (StartsWithIgnoringAsciiCase(trimmed, "location:")) {
    read.kind = ReplyLine::Kind::kLocation;
    read.location = Trim(trimmed.substr(9));
  }
  return read;
}

}  // namespace kam
