#pragma once
// The bus routines of the large-flash designs ("P29F640", "F640"): register 18 carries the control
// lines and command cycles, registers 21 to 23 the address in the chip's own unit. Both sets
// queue these; neither flushes here.
#include <cstdint>

#include "link/Primitives.h"
#include "link/commands/P29F640.h"

namespace zelvar::memory::fpga_flash {

inline void SetLine(std::uint8_t n) {
  WriteFpgaReg18(static_cast<std::uint8_t>(n | p29f640::kLineSet));
}
inline void ClearLine(std::uint8_t n) {
  WriteFpgaReg18(n);
}
inline void Cycle(std::uint8_t code) {
  WriteFpgaReg18(p29f640::CycleCode(code));
}
inline void SetAddress(std::uint32_t address) {
  WriteFpgaRegister(p29f640::kAddressRegister, static_cast<std::uint8_t>(address));
  WriteFpgaRegister(p29f640::kAddressRegister + 1, static_cast<std::uint8_t>(address >> 8));
  WriteFpgaRegister(p29f640::kAddressRegister + 2, static_cast<std::uint8_t>(address >> 16));
}
// The bus lets go before OE# falls and OE# rises before the bus drives, so the chip's outputs
// never meet the design's.
inline void ReadMode() {
  SetLine(p29f640::kLineBusRead);
  ClearLine(p29f640::kLineOutputEnable);
  ClearLine(p29f640::kLineChipEnable);
}
inline void CommandMode() {
  SetLine(p29f640::kLineOutputEnable);
  ClearLine(p29f640::kLineBusRead);
  ClearLine(p29f640::kLineChipEnable);
}

}  // namespace zelvar::memory::fpga_flash
