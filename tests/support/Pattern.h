#pragma once
#include <cstdint>

namespace zelvar::test {

// The test pattern's byte at buffer offset `i`: every bit at 0 and 1 somewhere, different in each
// 256-byte block and in each 64 KiB bank (i * 7 + (i >> 8) alone repeats every 64 KiB, so a lost
// A16 or higher would read back the same bytes and pass).
inline std::uint8_t PatternByte(std::uint32_t i, std::uint8_t seed = 0x5A) {
  return static_cast<std::uint8_t>(i * 7 + seed + (i >> 8) + (i >> 16) * 0x3B);
}

}  // namespace zelvar::test
