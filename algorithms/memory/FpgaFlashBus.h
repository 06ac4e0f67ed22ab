#pragma once
// The bus routines of the large-flash designs ("P29F640", "F640"): register 18 carries the control
// lines and command cycles, registers 21 to 23 the address in the chip's own unit. The line and
// address routines only queue; the power-up, block scan, pair write and erase waits below flush as
// they say. Each set names its own differences (supply order, lines, address unit) in the fields.
#include <cstdint>
#include <functional>
#include <optional>

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

// What a set does with line 6 while the bus goes idle.
enum class LineSix { kLeave, kSet, kClear };

// The supplies off, the adapter's ground back (the contact check leaves its own) before VCC, then
// the bus idle: control lines high, address 0, the bus listening with OE# low.
struct PowerUpSteps {
  std::uint32_t gndPin = 0;
  std::uint8_t vccPin = 0;
  bool vppPinOff = true;             // deselect the VPP pin before VCC
  std::optional<int> vccMillivolts;  // set while VCC is off; none leaves it as it is
  std::optional<int> vppMillivolts;  // set again only when the programmer's differs
  LineSix six = LineSix::kLeave;
  bool strobeAddressCycle = false;  // a WE# pulse after the address cycle
};
// False when the power check fails (nothing after it is queued).
bool PowerUp(const PowerUpSteps& s);

// Read, Blank or Verify in blocks from the chip's `chipAddress` on (ReadMode first): block bytes
// from offset 0 land in `into` (Read) or are compared with `expected` (Verify) or with 0xFF
// (Blank, both null), up to chip byte `end`. Nothing is powered down here.
struct BlockScan {
  std::uint32_t start = 0;        // the first byte of the range
  std::uint32_t end = 0;          // exclusive
  std::uint32_t chipAddress = 0;  // `start` in the chip's unit
  std::uint32_t blockBytes = 8192;
  bool progressFromStart = true;    // progress shows start + offset (else the offset)
  bool readKeepsRangeOnly = false;  // Read copies only the range's bytes of a block
  std::uint8_t* into = nullptr;
  const std::uint8_t* expected = nullptr;
};
struct ScanStop {
  bool same = true;          // false: `offset` holds the first differing byte, `byte` its value
  std::uint32_t offset = 0;  // else the offset the loop stopped at
  std::uint8_t byte = 0xFF;
};
ScanStop ScanBlocks(const BlockScan& s);

// The buffer from offset 0 to chip bytes start .. end - 1, two bytes a step: a 16-bit chip (or a
// word command) takes both in one command, an 8-bit one a byte a command (the last byte only when
// inside the range). A flush follows the step at offset k when (k & flushMask) is 0.
struct PairWrite {
  std::uint32_t start = 0;
  std::uint32_t end = 0;
  const std::uint8_t* data = nullptr;
  bool wide = true;
  std::uint8_t wordCommand = 0;
  std::uint8_t byteCommand = 0;
  std::uint32_t flushMask = 0xFF;
  std::function<void(std::uint32_t k)> beforeStep;  // the set's progress (and per-block steps)
  std::function<void()> afterCommand;               // the set's program wait, if any
};
void WritePairs(const PairWrite& w);

// `count` waits of `waitCommand`, each flushed, the progress spread over `span`; progress ends.
void EraseWaits(int count, std::uint32_t span, std::uint8_t waitCommand);

// The identifier block at the address set (512 bytes); its first four bytes become the read ID.
const std::uint8_t* ReadIdBlock();

// The first `bytes` of the read ID against the line's: true when they match or the line gives
// none; otherwise "Type error!" and StatusWord 1. `readId` reads the chip's ID (false: failed).
bool IdentityMatches(std::size_t bytes, const std::function<bool()>& readId);

}  // namespace zelvar::memory::fpga_flash
