#pragma once
// "AK64SCI": 16-bit serial EEPROMs of the AK6420 kind, most significant bit first. A word goes
// out high byte first, so the buffer's little-endian pairs are swapped on the way in and out; a
// write's address counts bytes (words on the 255-byte row), bits 8 and 9 in the opcode.
#include "algorithms/memory/WordSerialSet.h"

namespace zelvar::memory {

class AK64SCI final : public WordSerialSet {
  static constexpr std::uint8_t kRead = 0xA8, kWrite = 0xA4;
  SpiAddress ReadAddress() const override { return {{kRead, 0x00}, 2}; }
  SpiAddress WriteAddress(std::uint32_t a) const override {
    const std::uint32_t w = Size() == 255 ? 2 * a : a;
    return {{static_cast<std::uint8_t>((w >> 8) | kWrite), static_cast<std::uint8_t>(w)}, 2};
  }
  // Bits 8 and 9 of the address ride in the opcode: up to 1 KiB.
  bool Addressable(std::uint32_t size) const override { return size >= 2 && size <= 1024; }
  std::array<std::uint8_t, 2> WordOut(std::uint8_t lo, std::uint8_t hi) const override {
    return {hi, lo};
  }
  void BlockIn(std::uint8_t* block, std::uint32_t count) const override {
    for (std::uint32_t i = 0; i + 1 < count; i += 2) std::swap(block[i], block[i + 1]);
  }
};

}  // namespace zelvar::memory
