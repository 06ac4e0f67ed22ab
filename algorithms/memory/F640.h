#pragma once
// "F640": 8- and 16-bit block flash of the Intel command set (block erase 0x20/0xD0, status
// 0x70, identifier 0x90, lock bits 0x60), 1 Mbit to 64 Mbit, in TSOP48, TSOP40, SOP44 and DIP32
// packages through adapters. It stands on the large-flash designs of "P29F640" (the same bus
// routines, sim/designs/P29F640.h) with its own program commands: 71 a word, 72 a byte, 68 the
// program pulse setting. Each block is erased on its own, boot blocks at both ends of the chip.
#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "algorithms/TypeRules.h"
#include "algorithms/memory/MemorySet.h"
#include "algorithms/memory/P29F640.h"

namespace zelvar::memory {

struct F640Type {
  std::string_view bitstream;
  std::uint8_t width = 8;
  std::uint8_t vccPin = 0, vppPin = 0, gndPin = 0;
  std::array<std::uint32_t, 8> sizes{};        // last addresses by "mem="
  std::uint32_t bootBlock = 0, mainBlock = 0;  // words on 16-bit rows, bytes on 8-bit rows
  std::array<std::uint64_t, 8> masks{};        // contact pins by "mem=", 0: no check
  // The socket pin of the chip's RP#, where the adapter lets 12 V unlock the boot block; 0 where
  // the row offers no unlock.
  std::uint8_t rpPin = 0;
  constexpr bool wide() const { return width == 16; }
};

// The rules: a bitstream, width 8 or 16, sizes powers of two with a mask only where a size is,
// VCC, VPP and ground distinct and on the socket (or an adapter code), the boot block a power of
// two that divides the main block.
void CheckF640Row(const F640Type& t, TypeTableReport& r);

class F640 final : public MemorySet {
 public:
  static constexpr std::array<F640Type, 9> kTypes = [] {
    using namespace p29f640_rows;
    constexpr std::array<std::uint32_t, 8> kUpTo8{0, kMbit1, kMbit2, kMbit4, kMbit8};
    std::array<F640Type, 9> t{};
    t[1] = {"intel48tsop16.bit", 16, 21, 45, kGroundPins11And30, kUpTo64, 0x1000, 0x8000, {}};
    t[2] = {"intel40ts08.bit", 8,      kAdapterSupply101, 1, kAdapterSupply101,
            kUpTo64,           0x2000, 0x10000,           {}};
    t[3] = {"intel48tsop16.bit", 16, 21, 45, kGroundPins11And30, kUpTo64, 0x1000, 0x10000, {}};
    t[4] = {"intel40ts08.bit", 8,      kAdapterSupply101, 1, kAdapterSupply101,
            kUpTo64,           0x2000, 0x20000,           {}};
    t[5] = {"intel44sop.bit", 16, 21, 47, kGroundPins11And30, kUpTo8, 0x1000, 0x8000, {}};
    t[6] = {"intel44sop.bit", 8, 21, 47, kGroundPins11And30, kUpTo8, 0x1000, 0x8000, {}};
    t[7] = {"intel44sop.bit", 8, 11, 32, 5, kUpTo8, 0x1000, 0x8000, {}};
    // The 28F001BX's two 4 KiB parameter blocks sit beside its 8 KiB boot block: 8 KiB steps
    // would never address the second one, so the erase steps by 4 KiB at both ends.
    // Every pin of the DIP32 is connected: the 1 Mbit size ("mem=1") checks all of them.
    t[8] = {"p28f001bxdip32.bit",   8, 36, 5, 20, kUpTo64, 0x1000, 0x20000,
            {0, SocketPins(5, 36)}, 34};
    return t;
  }();
  static void CheckRow(const F640Type& t, TypeTableReport& r) { CheckF640Row(t, r); }

  // The program pulse setting of command 68 from "prt=" (8 when absent).
  static std::uint8_t PulseSetting(int prt);
  // The block addresses Erase (main step = the row's main block) and Lock (main step = 8 boot
  // blocks) visit below `n`: boot-block steps in the first 8 boot blocks and the last 8.
  static std::vector<std::uint32_t> BlockWalk(std::uint32_t n, std::uint32_t boot,
                                              std::uint32_t main);

 private:
  const F640Type& Type() const { return ChosenRow(kTypes); }
  void Init() override;
  TypeFacts Facts() const override;
  std::span<const char* const> DescribeList() const override;
  bool Run(int op) override;
  void SetAddress(std::uint32_t address) override;

  std::uint32_t ChipUnit(std::uint32_t a) const { return Type().wide() ? a >> 1 : a; }
  std::uint32_t RangeStart() const;
  bool PowerUp();
  static void WriteCommand(std::uint8_t c);
  void ClearLockBits() const;
  bool BootUnlockChosen() const;
  bool SelectProgramSupplies() const;
  bool ReadsBlank(std::uint32_t a, std::uint32_t units, std::uint8_t& bad);
  void Scan(int op);
  void Write();
  void Erase();
  void Lock();
  bool ReadId();
  // With a signature in the catalogue line, the chip's must match it before Erase, Write and
  // Lock: else "Type error!" and StatusWord 1.
  bool TypeCheck();

  const char* refusal_ = nullptr;
  int mem_ = 0, dly_ = 1, oth_ = 0, vcc_ = 5000, vpp_ = 12000;
};

}  // namespace zelvar::memory
