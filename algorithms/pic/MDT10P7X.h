#pragma once
// "MDT10P7X": the MDT10P73, 10P74, 10P55, 10P56, 10P43, 10P41A1 and 10P53 by the MDT serial-command
// protocol, one bitstream per seat. Rows 1-7 are the fan-out sockets, rows 11-17 the standard
// sockets with the same captions (the device list's TypeIndex picks the group); rows 8 and 9 name
// no chip. The table holds exactly its 18 rows.
#include "algorithms/pic/MdtSerial.h"

namespace zelvar::pic {

class MDT10P7X final : public MdtSerialSet {
 public:
  static constexpr std::array<MdtSerialType, 18> kTypes = {{
      {.name = "Exit"},
      {"1: 10P73 4kx16", 7, 26, 14, 8191, 0x3FFFFFF80, "mdt10p73.bit"},
      {"2: 10P74 4kx14", 1, 32, 31, 8191, 0xFFFFFFFFFF, "mdt10p40pin.bit"},
      {"3: 10P55 1024x14", 28, 25, 16, 2047, 0x7F00FE00, "mdt10p14_16_18fan.bit"},
      {"4: 10P56 1024x14", 28, 25, 16, 2047, 0x7FC3FE00, "mdt10p14_16_18fan.bit"},
      {"5: 10P43 512x14", 15, 25, 16, 1023, 0x1FFFF800, "mdt10p18pin.bit"},
      {"6: 10P41A1 1024x14", 28, 25, 16, 2047, 0x09FFF000, "mdt10p14_16_18fan.bit"},
      {"7: 10P53 1024x14", 20, 17, 24, 2047, 0x00FF0000, "mdt10p8pin.bit"},
      {.name = "Exit"},
      {.name = "Exit"},
      {.name = "Exit"},
      {"1: 10P73 4kx16", 7, 26, 14, 8191, 0x3FFFFFF80, "mdt10p73.bit"},
      {"2: 10P74 4kx14", 1, 32, 31, 8191, 0xFFFFFFFFFF, "mdt10p40pin.bit"},
      {"3: 10P55 1024x14", 17, 14, 27, 2047, 0x07012000, "mdt10p14_18std.bit"},
      {"4: 10P56 1024x14", 17, 14, 27, 2047, 0x07012000, "mdt10p14_18std.bit"},
      {"5: 10P43 512x14", 15, 25, 16, 1023, 0x1FFFF800, "mdt10p18pin.bit"},
      {"6: 10P41A1 1024x14", 20, 17, 24, 2047, 0x00E90000, "mdt10p16std.bit"},
      {"7: 10P53 1024x14", 20, 17, 24, 2047, 0x00FF0000, "mdt10p8pin.bit"},
  }};

 private:
  const Policy& policy() const override;
  std::span<const MdtSerialType> Rows() const override { return kTypes; }
  std::span<const char* const> DescribeList() const override;
  std::span<const char* const> ConfigTable() const override;
};

}  // namespace zelvar::pic
