// The bytes of the generated large body (/__big), a pattern that a reader can check at any
// offset: a shifted or repeated chunk shows up as a mismatch.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kam::demo {

inline char BigBodyByte(std::uint64_t offset) {
  return static_cast<char>((offset * 131u + (offset >> 13)) & 0xFFu);
}

inline void FillBigBody(std::uint64_t offset, char* out, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) out[i] = BigBodyByte(offset + i);
}

}  // namespace kam::demo
