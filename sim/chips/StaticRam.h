#pragma once
// JEDEC byte-wide static RAM and battery-backed NVRAM modules (DS1220AB, DS1225AB, DS1230Y,
// DS1245Y, DS1249Y, DS1250Y), written from their datasheets: a write cycle stores the data bus at
// the address latched as WE# fell (with CE# low, OE# high); CE# and OE# low with WE# high read.
// Writes are inhibited while VCC is below the write-protect level (4.5 V for the 10 % parts,
// 4.75 V for the 5 % "AB" parts), which the power check below the supply range covers.
//
// Rules the datasheets leave open, kept here:
// - An NVRAM keeps its cells when VCC goes (the lithium cell holds them); a plain SRAM model
//   would lose them, so only NVRAM parts are modelled: a set that switches VCC off between Write
//   and Verify cannot verify a plain SRAM.
#include <memory>
#include <string_view>

#include "sim/chips/ByteWide.h"

namespace zelvar::sim {

class StaticRam final : public ByteWideChip {
 public:
  StaticRam(std::string_view name, ByteWidePinout pinout, std::uint32_t size);

 protected:
  void Write(Programmer& p, std::uint32_t address, std::uint8_t data) override;
  std::uint8_t Read(Programmer& p, std::uint32_t address) override;
};

// A model by part name ("DS1230Y", ...); nullptr for a part without one.
std::shared_ptr<StaticRam> MakeStaticRam(std::string_view part);

}  // namespace zelvar::sim
