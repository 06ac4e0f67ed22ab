#pragma once
// "EMC78P451": EM78P451P and EM78P451AQ by the 451's line protocol on "em78p451.bit": four lines
// through FPGA register 18, a word as two 7-bit halves on data port 0 (bits 0-6, then bits 7-12),
// two pulses of line 1 a word, two spaces (0 program memory, 2 the option word). The EM78P451AQ
// row has no socket wiring and is refused.
#include "algorithms/pic/Em78p.h"

namespace zelvar::pic {

class EMC78P451 final : public Em78Set {
 public:
  static constexpr std::array<Em78Type, 3> kTypes = {{
      {.name = "Exit"},
      {"EM78P451P (4Kx13)", 2, 38, 1, 8191, 0xABF8003003},
      {.name = "EM78P451AQ (4Kx13)", .lastAddress = 8191},
  }};

  // Start 0x1FFF: Osc "RC" (0) clears bit 12; CLKS (0) bit 10; HLF (0) bit 8; PTB (word 0)
  // bit 9; WDT (word 1) bit 11; RCT (word 2) bit 7; HLP (word 3) bit 6; DEL1 (word 4) bit 5;
  // DEL0 (word 5) bit 4.
  static std::uint16_t Encode(std::uint32_t osc, std::uint32_t clks, std::uint32_t hlf,
                              const std::array<std::uint32_t, 6>& grid);
  // A word of one read in buffer form from its two bus samples (bits 0-6; bits 7-12 from bit 0).
  static constexpr void ToBuffer(std::uint8_t& a, std::uint8_t& b) {
    a = static_cast<std::uint8_t>((a & 0x7F) | (b & 1) << 7);
    b = static_cast<std::uint8_t>(b >> 1 & 31);
  }

 private:
  std::span<const Em78Type> Rows() const override { return kTypes; }
  const char* Bitstream() const override { return "em78p451.bit"; }
  std::span<const char* const> DescribeList() const override;
  std::span<const char* const> ConfigTable() const override;
  void SetupSteps() override;

  void Blank() override;
  void Write() override;
  void Verify() override;
  void Read() override;
  void Config() override;
  void ReadConfig() override;

  std::uint16_t ConfigWord() const;
  void PowerUp() const;
  void EnterSpace(int space) const;
  // Reads a block of 32 words into `dest` in buffer form.
  void ReadBlock(std::uint8_t* dest) const;
};

}  // namespace zelvar::pic
