#pragma once
// "MSU2964": the MSU2964 (64 KB, also programmed as 32, 16, 8 or 4 KB) through its JEDEC-style
// commands: the address low byte on P0 (command 33), A8..A15 on P2, the data on P1 (port 0), a
// write cycle by a P3.7 (pin 17) pulse inside ALE low; each byte after AA/55/A0 at 5555/2AAA, the
// chip erase by the six-cycle sequence after an unlock pulse. The "Era Delay" radio chooses the
// erase time.
#include <array>
#include <cstdint>

#include "algorithms/mcs51/ParallelEngine.h"

namespace zelvar::mcs51 {

class MSU2964 final : public ParallelSet {
 public:
  static constexpr std::array<ParallelType, 6> kTypes = {{
      {.name = "Exit"},
      {.name = "1:MSU2964    64K", .lastAddress = 65535},
      {.name = "2:MSU2964as32K 32K", .lastAddress = 32767},
      {.name = "3:MSU2964as16K 16K", .lastAddress = 16383},
      {.name = "4:MSU2964as8K  8K", .lastAddress = 8191},
      {.name = "5:MSU2964as4K  4K", .lastAddress = 4095},
  }};

 private:
  std::uint32_t LastAddress() const override { return kTypes[gApp.TypeIndex].lastAddress; }
  const AddressPins& Address() const override;
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
  void AddressOnP0(std::uint32_t a);
  void NextOnP0();
  static void WriteCycle(std::uint8_t b);
  void Command(std::uint32_t a, std::uint8_t b);
  void ReadCycle(std::uint32_t a, std::uint8_t* dest);
  bool EnterRead();
  void PreErase();

  std::uint8_t byte_ = 0;
};

}  // namespace zelvar::mcs51
