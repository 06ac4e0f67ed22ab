#pragma once
// "SAMSUNG3X": Samsung S3F9 flash microcontrollers by their serial programming interface, in
// circuit through the 10-pin header (row 0) or in the 20-, 16- and 8-pin and QFP44 sockets.
// Register-18 lines: 1 serial data (SDT), 2 serial clock (SCK), 3-5 the design's controls. A
// command or address byte is eight clocked bits and a ninth clock; memory goes byte by byte.
#include <array>

#include "algorithms/pic/OtpSet.h"

namespace zelvar::pic {

class SAMSUNG3X final : public OtpSet {
 public:
  static constexpr int kFirstRow = 0;
  static constexpr std::array<OtpType, 5> kTypes = {{
      {"Samsung3xxxx(ISP)", 21, 22, 0, 2047, "samsung3isp.bit", 0},
      {"20PIN", 14, 30, 11, 2047, "samsung3f20pin.bit", 0x3FFFFC00},
      {"16PIN", 14, 30, 11, 2047, "samsung3f20pin.bit", 0x3FC3FC00},
      {"8PIN", 14, 30, 11, 2047, "samsung3f20pin.bit", 0x3C003C00},
      {"QFP44", 13, 9, 10, 2047, "samsung3f44pin.bit", 0x00009780},
  }};
  static void CheckRow(const OtpType& t, TypeTableReport& r) { CheckOtpRow(t, r); }

  // The third byte of the protection command for OptionValues word 0's bit `bit` (0 No read,
  // 1 Protect, 2 LCD lock).
  static std::uint8_t ProtectCode(int bit) { return static_cast<std::uint8_t>(0x3F - bit); }

 private:
  void Init() override;
  TypeFacts Facts() const override;
  std::span<const char* const> DescribeList() const override;
  std::span<const char* const> ConfigTable() const override;
  std::span<const int> Operations() const override;
  void Erase() override;
  void Blank() override;
  void Write() override;
  void Verify() override;
  void Read() override;
  void Lock() override;

  static void Clock();
  static void SendByte(std::uint8_t b);
  static void ShiftByte(std::uint8_t b);
  bool Enter() const;
  static void Leave();
  static void ReadPreamble();
  static void ReadByte();
  void Scan(const std::uint8_t* want);
};

}  // namespace zelvar::pic
