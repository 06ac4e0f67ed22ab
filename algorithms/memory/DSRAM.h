#pragma once
// "DSRAM" (also bound by "TESTRAM"): battery-backed NVRAM modules and static RAMs of 2 KiB to
// 512 KiB, written byte after byte over the whole chip and verified; no erase or blank check.
#include <array>
#include <span>
#include <string_view>

#include "algorithms/TypeRules.h"
#include "algorithms/memory/MemorySet.h"

namespace zelvar::memory {

struct RamType {
  std::string_view name;
  std::uint8_t packagePins = 0;  // 24, 28 or 32 at the bottom of the socket
  std::uint32_t lastAddress = 0;
  std::uint8_t vccPin = 0;
  std::uint8_t wePin = 0;  // the chip's write enable
  std::uint64_t contactMask = 0;

  constexpr std::uint32_t highBits() const { return ~lastAddress; }
};

// The rules of a RAM row: VCC on the package's top pin, WE# on the package and a pin the design
// can strobe (29 by pin commands, 35, 33, 5 or 7 by a strobe command), off VCC, ground, CE# (26)
// and OE# (28); the size a power of two whose address lines lie on the package.
void CheckRamRow(const RamType& t, TypeTableReport& r);

class DSRAM final : public MemorySet {
 public:
  static constexpr std::array<RamType, 9> kTypes = {{
      {.name = "???"},
      {.name = "DS1220AB (2Kx8)",
       .packagePins = 24,
       .lastAddress = 0x7FF,
       .vccPin = 32,
       .wePin = 29,
       .contactMask = SocketPins(9, 32)},
      {.name = "DS1225AB/AD (8Kx8)",
       .packagePins = 28,
       .lastAddress = 0x1FFF,
       .vccPin = 34,
       .wePin = 33,
       .contactMask = SocketPins(8, 34, 32)},
      {.name = "W24129 (16Kx8)",
       .packagePins = 28,
       .lastAddress = 0x3FFF,
       .vccPin = 34,
       .wePin = 33,
       .contactMask = SocketPins(8, 34, 32)},
      {.name = "DS1230Y/AB (32Kx8)",
       .packagePins = 28,
       .lastAddress = 0x7FFF,
       .vccPin = 34,
       .wePin = 33,
       .contactMask = SocketPins(7, 34)},
      {.name = "62512 (64Kx8)",
       .packagePins = 32,
       .lastAddress = 0xFFFF,
       .vccPin = 36,
       .wePin = 33,
       .contactMask = SocketPins(7, 36, 34)},
      {.name = "DS1245Y (128Kx8)",
       .packagePins = 32,
       .lastAddress = 0x1FFFF,
       .vccPin = 36,
       .wePin = 33,
       .contactMask = SocketPins(6, 36, 34)},
      {.name = "DS1249 (256Kx8)",
       .packagePins = 32,
       .lastAddress = 0x3FFFF,
       .vccPin = 36,
       .wePin = 33,
       .contactMask = SocketPins(6, 36)},
      {.name = "DS1250Y (512Kx8)",
       .packagePins = 32,
       .lastAddress = 0x7FFFF,
       .vccPin = 36,
       .wePin = 33,
       .contactMask = SocketPins(5, 36)},
  }};
  // Address bits 8 to 18, then WE# of the 28- and 32-pin rows held high.
  static constexpr AddressPins kPins{{31, 30, 27, 29, 8, 32, 7, 35, 6, 34, 5}, 33};

  static void CheckRow(const RamType& t, TypeTableReport& r) { CheckRamRow(t, r); }

 private:
  static constexpr const char* kList[] = {
      "$Fonc:", "23 Write", "24 Verify", "$DisTool:", "21,22,25,26,28,29,30,31,", "$end"};
  const RamType& Type() const { return ChosenRow(kTypes); }
  void Init() override;
  TypeFacts Facts() const override { return {Type().lastAddress, Type().contactMask}; }
  std::span<const char* const> DescribeList() const override { return kList; }
  void SetAddress(std::uint32_t address) override { PutAddress(address, Type().highBits(), kPins); }
  bool Run(int op) override;
  void Write();
  // Verify and Read: VCC on, chip and outputs enabled at address 0; false when power fails.
  bool StartReads();
  void EndReads();
};

}  // namespace zelvar::memory
