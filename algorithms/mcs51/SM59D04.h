#pragma once
// "SM59D04": the SyncMOS SM89D02/SM89D04 parts, a code area from 0 and a second flash area below
// 16 KB. The part enters its programming mode by an entry code clocked in serially (data on P1.2,
// pin 3; clock on P1.0, pin 1); then the address goes on port 0 and P2, the data byte through the
// design onto P0, a byte strobe on P3.1 (pin 11) inside a page window of P3.4 and P3.7 (pins 14
// and 17). Reads run at 3.3 V, the cycles at 5 V. The ISP size is a page count in the low nibble
// of option byte 1, which Security writes.
#include <array>
#include <cstdint>

#include "algorithms/mcs51/AreaWalk.h"
#include "algorithms/mcs51/ParallelEngine.h"

namespace zelvar::mcs51 {

class SM59D04 final : public ParallelSet {
 public:
  static constexpr std::array<TwoAreaType, 4> kTypes = {{
      {.name = "0: "},
      {.name = "1: SM89D????",
       .firstAreaEnd = 4096,
       .secondAreaStart = 11264,
       .lastAddress = 16383},
      {.name = "2:SM89D02G2", .firstAreaEnd = 8192, .secondAreaStart = 12288, .lastAddress = 16383},
      {.name = "3:SM89D04G2",
       .firstAreaEnd = 12288,
       .secondAreaStart = 12288,
       .lastAddress = 16383},
  }};

  // The walk in 64-byte pages within 16 KB, and the packages' pins as the parallel family's.
  static void CheckRow(const TwoAreaType& t, TypeTableReport& r);

  // The programming-mode entry code, clocked in most significant bit first, each byte followed by
  // a ninth clock with the data line high.
  static constexpr std::array<std::uint8_t, 7> kEntryCode = {0x53, 0x4D, 0x35, 0x39,
                                                             0x44, 0x30, 0x34};

 private:
  const TwoAreaType& Type() const { return kTypes[gApp.TypeIndex]; }
  std::uint32_t LastAddress() const override { return Type().lastAddress; }
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
  void ReadId() override;
  void ReadSignature() override;

  static void ClockPin10(int n);
  static void SendEntryByte(std::uint8_t b);
  static void PowerUp();
  bool ReadMode();
  bool ScanWalk(Scan kind, bool progress);
  // Data in the smaller types' hole between the two areas, where the chip holds nothing.
  bool DataInHole(bool verify);
  void BlankHole();
  void PageByte(std::uint8_t b);
  void OptionByte(std::uint32_t address, std::uint8_t b);
};

}  // namespace zelvar::mcs51
