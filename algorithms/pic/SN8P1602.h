#pragma once
// "SN8P1602": the SN8P1602, SN8P1702, SN8P1702A, SN8P160X and SN8P1604 OTP microcontrollers by
// their parallel protocol: a byte on data port 0, strobes on FPGA register 18 lines (9 program,
// 8 read, 7 step, 3 byte latch, 5 mode, 1 the design's bus direction), programmed byte by byte
// or, with "hls=" non-zero in the chip line, a word at once. The lock option is bit 3 of the
// last code byte, set from the "Option" radio when writing.
#include <array>

#include "algorithms/pic/OtpSet.h"

namespace zelvar::pic {

class SN8P1602 final : public OtpSet {
 public:
  static constexpr std::array<OtpType, 6> kTypes = {{
      {.name = "Exit"},
      {"1: SN8P1602 ", 15, 25, 16, 2047, "sn8p1602.bit", 0x1FFFF800},
      {"2: SN8P1702", 29, 21, 16, 2047, "sn8p1702.bit", 0x01FFF800},
      {"3: SN8P1702A", 13, 21, 16, 2047, "sn8p1702a.bit", 0x01FFF800},
      {"4: SN8P160X", 14, 25, 16, 2047, "sn8p1602pin20.bit", 0x03FFFC00},
      {"5: SN8P1604", 9, 8, 10, 2047, "sn8p1604.bit", 0x3FFFFFFC0},
  }};
  static void CheckRow(const OtpType& t, TypeTableReport& r) { CheckOtpRow(t, r); }

 private:
  void Init() override;
  std::span<const char* const> DescribeList() const override;
  std::span<const char* const> ConfigTable() const override;
  std::span<const int> Operations() const override;
  void Blank() override;
  void Write() override;
  void Verify() override;
  void Read() override;

  bool PowerUp() const;
  void ReadWord() const;
  void ProgramWord(std::uint8_t a, std::uint8_t b) const;
  // Blank (nullptr) or Verify against the buffer.
  void Scan(const std::uint8_t* want);

  int mode_ = 0;  // "hls=": 0 byte by byte, else a word at once
};

// The lock option into the buffer: "Lock(加密)" (non-zero) clears bit 3 of the byte at the code's
// last address, "Unlock(不加密)" sets it. False (nothing changed) when there is no such byte.
bool SetLockBit(std::uint8_t* buffer, std::int32_t last, std::uint32_t lock);

}  // namespace zelvar::pic
