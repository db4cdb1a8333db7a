// The lines of a reply's head as libcurl hands them to a download, one a call: the status line
// that opens each reply on the way (interim ones and redirects too), the two fields a download
// acts on, and the blank line that ends the head.
#pragma once

#include <cstdint>
#include <string_view>

namespace kam {

struct ReplyLine {
  enum class Kind { kStatus, kEnd, kContentLength, kLocation, kOther };
  Kind kind = Kind::kOther;
  // kStatus: the three-digit code; 0 when the line has none.
  long status = 0;
  // kContentLength: the value when it is plain decimal digits and fits in 63 bits; else -1.
  std::int64_t content_length = -1;
  // kLocation: the address, without the blanks around it (a view into the line).
  std::string_view location;
};

ReplyLine ReadReplyLine(std::string_view line);

}  // namespace kam
