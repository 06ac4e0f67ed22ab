#pragma once
// "PHI89NEW": sixteen Philips flash 80C51 types of three generations (P89C5xBP, P89C51RA+..RD+,
// P89C51RA2..RD2, P89C5xX2) on the Philips-type engine: its own entry with every pin low first, a
// short data strobe framed by P3.3, a chip erase of two long waits, the ID bytes at 5, 6 and 4,
// Security with the security bits at 0 to 2; no Config.
#include <array>
#include <span>

#include "algorithms/mcs51/PhiRx2Engine.h"

namespace zelvar::mcs51 {

namespace phi89new {
constexpr const char* kDescribe[] = {"$Fonc:",    "21 Erase",     "22 Blank",
                                     "23 Write",  "24 Verify",    "26 Security",
                                     "$DisTool:", "25,29,30,31,", "$end"};
}  // namespace phi89new

class PHI89NEW final : public PhiRx2Set {
 public:
  static constexpr std::array<ParallelType, 17> kTypes = {{
      {.name = "Exit"},
      {.name = "1: P89C51BP  4Kx8", .lastAddress = 4095},
      {.name = "2: P89C52BP  8Kx8", .lastAddress = 8191},
      {.name = "3: P89C54BP 16Kx8", .lastAddress = 16383},
      {.name = "4: P89C58BP 32Kx8", .lastAddress = 32767},
      {.name = "5: P89C51RA+ 8Kx8", .lastAddress = 8191},
      {.name = "6: P89C51RB+ 16Kx8", .lastAddress = 16383},
      {.name = "7: P89C51RC+ 32Kx8", .lastAddress = 32767},
      {.name = "8: P89C51RD+ 64Kx8", .lastAddress = 65535},
      {.name = "9: P89C51RA2 8Kx8", .lastAddress = 8191},
      {.name = "10:P89C51RB2 16Kx8", .lastAddress = 16383},
      {.name = "11:P89C51RC2 32Kx8", .lastAddress = 32767},
      {.name = "12:P89C51RD2 64Kx8", .lastAddress = 65535},
      {.name = "13: P89C51X2  4Kx8", .lastAddress = 4095},
      {.name = "14: P89C52X2  8Kx8", .lastAddress = 8191},
      {.name = "15: P89C54X2 16Kx8", .lastAddress = 16383},
      {.name = "16: P89C58X2 32Kx8", .lastAddress = 32767},
  }};
  // The P89C58BP row: its third ID byte may read 0xF8 or 0xFE.
  static constexpr int kP89C58BPRow = 4;

 private:
  std::span<const ParallelType> Types() const override { return kTypes; }
  std::span<const char* const> DescribeList() const override { return phi89new::kDescribe; }
  std::span<const int> Operations() const override;

  void EnterProgramMode() override;
  void DataStrobe(std::uint8_t b) override;
  bool ClockOffAtPowerUp() const override { return true; }
  bool IdMatches(const std::array<std::uint8_t, 4>& read,
                 const std::array<std::uint8_t, 4>& expected) const override;
  void ReadSignature() override;
  bool EnterScan();

  void Read() override;
  void Blank() override;
  void Verify() override;
  void Erase() override;
  void Write() override;
  void Lock() override;
};

}  // namespace zelvar::mcs51
