#pragma once
// "MSU2958": the MSU2951 to MSU2958 (4 to 32 KB) programmed byte-parallel: A0..A7 on port 0,
// A8..A15 on P2, the data byte on P0 and a P3.7 (pin 17) pulse inside ALE low per byte, EA/VPP
// at 4.5 V. The chip erase follows a pre-erase pulse; the "Era Delay" radio chooses its length.
#include <array>
#include <cstdint>

#include "algorithms/mcs51/ParallelEngine.h"

namespace zelvar::mcs51 {

class MSU2958 final : public ParallelSet {
 public:
  static constexpr std::array<ParallelType, 9> kTypes = {{
      {.name = "Exit"},
      {.name = "1: MSU2951", .lastAddress = 4095},
      {.name = "2: MSU2952", .lastAddress = 8191},
      {.name = "3: MSU2953", .lastAddress = 8191},
      {.name = "4: MSU2954", .lastAddress = 16383},
      {.name = "5: MSU2955", .lastAddress = 16383},
      {.name = "6: MSU2956", .lastAddress = 24575},
      {.name = "7: MSU2957", .lastAddress = 24575},
      {.name = "8: MSU2958", .lastAddress = 32767},
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
  static void Pulse17();
  bool EnterRead(bool vppByModel);
  void PreErase();
};

}  // namespace zelvar::mcs51
