#pragma once
// "STC89": the STC89C51RC to STC89C516RC+ parts, a code area and a 4 KB second area higher up,
// programmed in parallel byte by byte with the operation on P3.0..P3.7 (socket pins 10 to 17): a
// byte by a P3.2 pulse with P3.1 low, the chip erase by P3.3 with P3.1 low. Two configuration
// bytes (lock and option bits) go to addresses 0 and 1 of the configuration mode from the grid.
#include <array>
#include <cstdint>

#include "algorithms/mcs51/AreaWalk.h"
#include "algorithms/mcs51/ParallelEngine.h"

namespace zelvar::mcs51 {

class STC89 final : public ParallelSet {
 public:
  static constexpr std::array<TwoAreaType, 7> kTypes = {{
      {.name = "0: ", .lastAddress = 65535},
      {.name = "1: STC89C51RC (4K+4K)",
       .firstAreaEnd = 4096,
       .secondAreaStart = 11264,
       .lastAddress = 15359},
      {.name = "2: STC89C52RC (8K+4K)",
       .firstAreaEnd = 8192,
       .secondAreaStart = 11264,
       .lastAddress = 15359},
      {.name = "3: STC89C53RC (12K+4K)",
       .firstAreaEnd = 11264,
       .secondAreaStart = 11264,
       .lastAddress = 15359},
      {.name = "4: STC89C54RC+ (16K+4K)",
       .firstAreaEnd = 16384,
       .secondAreaStart = 60416,
       .lastAddress = 64511},
      {.name = "5: STC89C58RC+ (32K+4K)",
       .firstAreaEnd = 32768,
       .secondAreaStart = 60416,
       .lastAddress = 64511},
      {.name = "6: STC89C516RC+ (60K+4K)",
       .firstAreaEnd = 60416,
       .secondAreaStart = 60416,
       .lastAddress = 64511},
  }};

  // The walk in 32-byte steps within 16 address lines, and the parallel family's packages.
  static void CheckRow(const TwoAreaType& t, TypeTableReport& r);

 private:
  const TwoAreaType& Type() const { return kTypes[gApp.TypeIndex]; }
  std::uint32_t LastAddress() const override { return Type().lastAddress; }
  const AddressPins& Address() const override;
  std::span<const char* const> DescribeList() const override;
  std::span<const char* const> ConfigTable() const override;
  std::span<const int> Operations() const override;

  void Init() override;
  void Read() override;
  void Blank() override;
  void Verify() override;
  void Write() override;
  void Erase() override;
  void Config() override;

  static void PowerUp();
  static void ProgramByte(std::uint8_t b);
  bool EnterRead();
  bool ScanWalk(Scan kind);
  bool DataInHole(bool verify);
};

}  // namespace zelvar::mcs51
