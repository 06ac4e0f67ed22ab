#pragma once
// "BR90": 16-bit serial EEPROMs taking every bit after the opcode least significant first: each
// byte is bit-reversed on the way out and in, low byte first. The word address follows the
// opcode; on the 512- and 1024-word parts its low bits ride in the opcode's bits 0 and 1.
#include "algorithms/memory/WordSerialSet.h"

namespace zelvar::memory {

class BR90 final : public WordSerialSet {
 public:
  static constexpr std::uint8_t Reversed(std::uint8_t b) {
    b = static_cast<std::uint8_t>((b & 0xF0) >> 4 | (b & 0x0F) << 4);
    b = static_cast<std::uint8_t>((b & 0xCC) >> 2 | (b & 0x33) << 2);
    return static_cast<std::uint8_t>((b & 0xAA) >> 1 | (b & 0x55) << 1);
  }
  // The opcode and address byte for the byte address `a` of a chip of `words` 16-bit words.
  static SpiAddress Address(std::uint8_t opcode, std::uint32_t a, std::uint32_t words) {
    const auto bit = [a](int n) { return ((a >> n) & 1) != 0; };
    if (words <= 256) return {{opcode, Reversed(static_cast<std::uint8_t>(a >> 1))}, 2};
    if (words == 512) {
      return {{static_cast<std::uint8_t>(opcode | (bit(1) ? 1 : 0)),
               Reversed(static_cast<std::uint8_t>(a >> 2))},
              2};
    }
    if (words == 1024) {
      return {{static_cast<std::uint8_t>(opcode | (bit(1) ? 2 : 0) | (bit(2) ? 1 : 0)),
               Reversed(static_cast<std::uint8_t>(a >> 3))},
              2};
    }
    return {};
  }

 private:
  static constexpr std::uint8_t kRead = 0xA8, kWrite = 0xA4;
  SpiAddress ReadAddress() const override { return Address(kRead, 0, Size() / 2); }
  SpiAddress WriteAddress(std::uint32_t a) const override { return Address(kWrite, a, Size() / 2); }
  // Whole words, in one of the three address forms.
  bool Addressable(std::uint32_t size) const override {
    return size % 2 == 0 && Address(kRead, 0, size / 2).count != 0;
  }
  std::array<std::uint8_t, 2> WordOut(std::uint8_t lo, std::uint8_t hi) const override {
    return {Reversed(lo), Reversed(hi)};
  }
  void BlockIn(std::uint8_t* block, std::uint32_t count) const override {
    for (std::uint32_t i = 0; i < count; ++i) block[i] = Reversed(block[i]);
  }
};

}  // namespace zelvar::memory
