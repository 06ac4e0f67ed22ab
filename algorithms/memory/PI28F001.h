#pragma once
// "PI28F001": boot-block flash (28F001BX, 28F002BC) with a write state machine: block erase with
// the status register polled until ready, the 0x40 byte program, VPP 12 V on pin 5, and the boot
// block unlocked by 12 V on the chip's RP# pin.
#include <array>
#include <span>

#include "algorithms/memory/FlashSet.h"

namespace zelvar::memory {

// A row's blocks from address 0 up: runs of `count` blocks of `kib` KiB; count 0 ends the map.
// The boot block, when the row has one, is the block at bootFirst.
struct BlockRun {
  std::uint32_t kib = 0;
  std::uint32_t count = 0;
};
struct BootLayout {
  std::array<BlockRun, 6> blocks{};
  std::uint8_t bootPin = 0;  // socket pin raised to VPP for the boot block, 0 = none
  std::uint32_t bootFirst = 0, bootLast = 0;
};

// The map covers the chip exactly and the boot range is one of its blocks.
constexpr bool LayoutFits(const BootLayout& l, std::uint32_t lastAddress) {
  std::uint32_t address = 0;
  bool bootFound = l.bootPin == 0;
  for (const BlockRun& r : l.blocks) {
    for (std::uint32_t i = 0; i < r.count; ++i) {
      const std::uint32_t size = r.kib * 1024;
      if (address == l.bootFirst && address + size - 1 == l.bootLast) bootFound = true;
      address += size;
    }
  }
  return address == lastAddress + 1 && bootFound;
}

class PI28F001 final : public FlashSet {
 public:
  // The chip's RP# (pin 30): 12 V there unlocks the boot block and leaves OE# free for reading
  // the status register.
  static constexpr std::uint8_t kRpPin = 34;
  // Every pin of the package, VPP (pin 1) and RP# (pin 30) with them.
  static constexpr std::uint64_t kContactPins = SocketPins(5, 36);
  static constexpr std::array<FlashType, 5> kTypes = {{
      {.name = "???"},
      {.name = "i28f001 BX-T ",
       .lastAddress = 0x1FFFF,
       .eraseVppPin = 5,
       .contactMask = kContactPins},
      {.name = "i28f001 BX-B ",
       .lastAddress = 0x1FFFF,
       .eraseVppPin = 5,
       .contactMask = kContactPins},
      {.name = "i28f002 BC-T ",
       .lastAddress = 0x3FFFF,
       .eraseVppPin = 5,
       .contactMask = kContactPins},
      {.name = "i28f002 BC-B ",
       .lastAddress = 0x3FFFF,
       .eraseVppPin = 5,
       .contactMask = kContactPins},
  }};
  static constexpr std::array<BootLayout, 5> kLayouts = {{
      {},
      {.blocks = {{{112, 1}, {4, 1}, {4, 1}, {8, 1}}},
       .bootPin = kRpPin,
       .bootFirst = 0x1E000,
       .bootLast = 0x1FFFF},
      {.blocks = {{{8, 1}, {4, 1}, {4, 1}, {112, 1}}},
       .bootPin = kRpPin,
       .bootFirst = 0x0000,
       .bootLast = 0x1FFF},
      {.blocks = {{{128, 1}, {96, 1}, {8, 1}, {8, 1}, {16, 1}}}},
      {.blocks = {{{16, 1}, {8, 1}, {8, 1}, {96, 1}, {128, 1}}}},
  }};
  static_assert(LayoutFits(kLayouts[1], kTypes[1].lastAddress));
  static_assert(LayoutFits(kLayouts[2], kTypes[2].lastAddress));
  static_assert(LayoutFits(kLayouts[3], kTypes[3].lastAddress));
  static_assert(LayoutFits(kLayouts[4], kTypes[4].lastAddress));
  static constexpr FlashPolicy kPolicy{.vppMillivolts = 12000, .initHardware = true};

  static void CheckRow(const FlashType& t, TypeTableReport& r) { CheckFlashRow(t, r); }

 protected:
  const FlashType& Type() const override { return ChosenRow(kTypes); }
  const FlashPolicy& Policy() const override { return kPolicy; }

 private:
  static constexpr const char* kList[] = {
      "$Fonc:",     "21 Erase",  "22 Blank",        "23 Write",
      "24 Verify",  "$DisTool:", "25,26,29,30,31,", "$Gridw:Addr space",
      "Addr start", "0000",      "Addr end",        "0FFFFF",
      "$end"};
  std::span<const char* const> DescribeList() const override { return kList; }
  const BootLayout& Layout() const { return ChosenRow(kLayouts); }
  bool InBootRange(std::uint32_t address) const;
  std::uint8_t WriteVppPin() const override { return Type().eraseVppPin; }
  bool Run(int op) override;
  static constexpr int kOwnOps[] = {kOpErase, kOpReadId};
  std::span<const int> OwnOperations() const override { return kOwnOps; }
  void BeginProgramBlock(const Program& p) override;
  void QueueProgramByte(std::uint8_t data, const Program& p) override;
  void EndProgramBlock(const Program& p) override;
  void Erase() override;
  bool EraseBlock(std::uint32_t address);
  void CommandWriteAt(std::uint32_t address, std::uint8_t data);
  // The status register once its ready bit is set; -1 when it never is.
  int WaitReady();
};

}  // namespace zelvar::memory
