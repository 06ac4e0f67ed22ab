#pragma once
// "SM894051": the SyncMOS 20-pin flash 8051s of 1, 2 and 4 KB, at socket pins 11 to 30 (ground
// 20, VCC 30, RST/VPP 11 at 10.5 V for every operation). The set reaches the chip through four
// registers: P3.1 and P3.0 (socket pins 13 and 12) choose the register, command 38 puts the byte
// on P1 and a pulse on XTAL1 (pin 15) latches it; a command in register 3 runs while P3.3 (pin
// 17) is low. Reads sample P1 with command 37, 64 bytes a reply.
#include <array>
#include <cstdint>

#include "algorithms/mcs51/ParallelEngine.h"

namespace zelvar::mcs51 {

class SM894051 final : public Mcs51Set {
 public:
  static constexpr std::array<ParallelType, 4> kTypes = {{
      {.name = "Exit"},
      {.name = "1: 89C1051 (1k)", .lastAddress = 1023},
      {.name = "2: 89C2051 (2k)", .lastAddress = 2047},
      {.name = "3: 89C4051 (4k)", .lastAddress = 4095},
  }};

  // Whole 64-byte reads within the 12 address bits of the family; the 20-pin seat's supply pins.
  static void CheckRow(const ParallelType& t, TypeTableReport& r);

 private:
  std::uint32_t LastAddress() const override { return kTypes[gApp.TypeIndex].lastAddress; }
  std::span<const char* const> DescribeList() const override;
  std::span<const int> Operations() const override;

  void Init() override;
  void Read() override;
  void Blank() override;
  void Verify() override;
  void Write() override;
  void Erase() override;
  void Lock() override;

  static void PowerUp();
  static bool ProgrammingEntry();
  static void PutRegister(int r, std::uint8_t b);
  static void LoadReadAddress(std::uint32_t a);
  static void RunCommand(std::uint8_t command, std::uint8_t wait, int count);
  bool Scan(Scan kind);
};

}  // namespace zelvar::mcs51
