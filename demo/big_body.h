// The bytes of the generated large body (/__big), a pattern that a reader can check at any
// offset: a shifted or repeated chunk shows up as a mismatch.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace kam::demo {

// (offset * 131 + offset / 8192) mod 256.
inline char BigBodyByte(std::uint64_t offset) {
  return static_cast<char>((offset * 131u + (offset >> 13)) & 0xFFu);
}

// The pattern repeats every 256 blocks of 8 KiB; copying from one period keeps the server far
// faster than any client, so a benchmark measures the client.
inline void FillBigBody(std::uint64_t offset, char* out, std::size_t count) {
  constexpr std::size_t kPeriod = 256 * 8192;
  static const std::vector<char> period = [] {
    std::vector<char> bytes(kPeriod);
    for (std::size_t i = 0; i < kPeriod; ++i) bytes[i] = BigBodyByte(i);
    return bytes;
  }();
  while (count > 0) {
    const std::size_t at = static_cast<std::size_t>(offset % kPeriod);
    const std::size_t run = std::min(count, kPeriod - at);
    std::memcpy(out, period.data() + at, run);
    offset += run;
    out += run;
    count -= run;
  }
}

}  // namespace kam::demo
