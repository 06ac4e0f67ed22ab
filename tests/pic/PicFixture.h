#pragma once
// A 14-bit flash PIC model in the simulated programmer's socket, chosen through the runner as a
// catalogue line: the set's key and row, its items and its '#' device ID bytes.
#include <algorithm>
#include <map>
#include <memory>
#include <random>
#include <string>

#include "memory/ChipFixture.h"
#include "sim/chips/Pic14.h"

namespace zelvar::test {

struct PicLine {
  const char* part;
  std::string key;
  int row;
  std::map<std::string, int> items;
  const char* design;
  std::array<std::uint8_t, 4> id{};
};

class PicFixture : public ChipFixture {
 protected:
  std::shared_ptr<sim::Pic14Chip> ChoosePic(const PicLine& l) {
    auto chip = sim::MakePic14(l.part);
    fake.chipParams = l.items;
    gApp.ExpectedId = l.id;
    Choose(l.key, l.row, chip, std::string("MICROCHIP: ") + l.part, l.design);
    return chip;
  }
  // A random 14-bit image of `words` words in the buffer.
  void Image(std::uint32_t words, unsigned seed = 7) {
    std::mt19937 gen(seed);
    for (std::uint32_t w = 0; w < words; ++w) {
      const auto v = static_cast<std::uint16_t>(gen() & 0x3FFF);
      gApp.CodeBuffer[2 * w] = static_cast<std::uint8_t>(v & 0xFF);
      // Bits 6 and 7 of the high byte are set where a file may carry them: the chip has none.
      gApp.CodeBuffer[2 * w + 1] = static_cast<std::uint8_t>(v >> 8 | 0xC0);
    }
  }
  static std::uint16_t BufferWord(std::uint32_t w) {
    return static_cast<std::uint16_t>(gApp.CodeBuffer[2 * w] | gApp.CodeBuffer[2 * w + 1] << 8);
  }
  void ExpectSuppliesOff() const {
    EXPECT_EQ(prog->VccPin(), 0);
    EXPECT_EQ(prog->VppPin(), 0);
  }
  bool Logged(const std::string& text) const {
    return std::any_of(fake.log.begin(), fake.log.end(),
                       [&](const auto& l) { return l.text.find(text) != std::string::npos; });
  }
};

}  // namespace zelvar::test
