#pragma once
// "STC516X2": the STC89LE5xAD/X2 parts (4 to 64 KB) with an ISP area whose size the high nibble of
// configuration byte 0 keeps. The address is latched: A8..A15 on P3 (socket pins 10 to 17), the
// low byte sent on P0 and latched by a pulse on P1.7 (pin 8). Ten mode pins set the operation; a
// byte is a P2.6 (pin 27) pulse; reads sample P0 with command 34 while P2.4 (pin 25) is low, 64 a
// reply.
#include <array>
#include <cstdint>

#include "algorithms/mcs51/ParallelEngine.h"

namespace zelvar::mcs51 {

class STC516X2 final : public Mcs51Set {
 public:
  static constexpr std::array<ParallelType, 7> kTypes = {{
      {.name = "Exit"},
      {.name = "1:STC89LE51AD/X2   4K", .lastAddress = 0xFFF},
      {.name = "2:STC89LE52AD/X2   8K", .lastAddress = 0x1FFF},
      {.name = "3:STC89LE54AD/X2   16K", .lastAddress = 0x3FFF},
      {.name = "4:STC89LE58AD/X2   32K", .lastAddress = 0x7FFF},
      {.name = "5:STC89LE516AD/X2   64K", .lastAddress = 0xFFFF},
      {.name = "6:STC89LE516X2   64K", .lastAddress = 0xFFFF},
  }};

  // The parallel family's sizes and packages.
  static void CheckRow(const ParallelType& t, TypeTableReport& r) { ParallelSet::CheckRow(t, r); }

 private:
  std::uint32_t LastAddress() const override { return kTypes[gApp.TypeIndex].lastAddress; }
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
  void ReadConfig() override;
  void ReadId() override;
  void ReadSignature() override;
  bool CheckBeforeChange() override;

  static void PowerUp();
  void SetAddress(std::uint32_t a);
  static void ProgramByte(std::uint8_t v);
  static void ReadingStep(std::uint32_t x);
  void ReadingBlock(std::uint32_t a, std::uint8_t* dest);
  // One byte of each of two addresses, each in its own mode, into the first two reply bytes.
  void TwoBytes(const char* first, const char* second, std::uint8_t* dest);
  bool Scan(Scan kind);

  std::uint8_t low_ = 0;
};

}  // namespace zelvar::mcs51
