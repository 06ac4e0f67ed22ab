#pragma once
// "SN8P2602": the SN8P2602A (DIP18), SN2501 (DIP14, DIP16) and SN2604K/S (DIP28) OTP
// microcontrollers by their serial protocol: a fixed entry key of eight line patterns, then
// 16-bit addresses and data shifted as doubled-bit nibbles (command 56); words held high byte
// first in the buffer. The lock option is bit 3 of the last code byte, as in "SN8P1602".
#include <array>

#include "algorithms/pic/OtpSet.h"

namespace zelvar::pic {

class SN8P2602 final : public OtpSet {
 public:
  static constexpr std::array<OtpType, 5> kTypes = {{
      {.name = "Exit"},
      {"DIP18", 15, 25, 16, 2047, "sn8p2602a.bit", 0x01FFF800},
      {"SN2501 DIP14", 20, 17, 24, 0, "sn8p25pin14_16.bit", 0x07FFE000},
      {"SN2501AX DIP16", 20, 17, 24, 0, "sn8p25pin14_16.bit", 0x0FFFF000},
      {"SN2604K/S DIP28", 34, 8, 10, 0, "sn8p2604pin28.bit", 0x3FFFFFFC0},
  }};
  static void CheckRow(const OtpType& t, TypeTableReport& r) { CheckOtpRow(t, r); }

  // A nibble as the shifted byte: each bit doubled (bit 3 gives bits 7-6 ... bit 0 bits 1-0).
  static std::uint8_t DoubledNibble(std::uint8_t nibble);

 private:
  void Init() override;
  TypeFacts Facts() const override;
  std::span<const char* const> DescribeList() const override;
  std::span<const char* const> ConfigTable() const override;
  std::span<const int> Operations() const override;
  void Blank() override;
  void Write() override;
  void Verify() override;
  void Read() override;
  void ReadId() override;

  static void SendValue(std::uint16_t v);
  static void Pattern(std::uint8_t p, std::uint8_t q);
  // Supplies and the entry key; false (StatusWord 1) when the supply is weak.
  bool Enter(std::uint8_t lastKey) const;
  static void ReadPreamble();
  static void ReadWord(std::uint16_t word);
  void Scan(const std::uint8_t* want);
};

}  // namespace zelvar::pic
