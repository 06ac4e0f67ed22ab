#pragma once
// "X5045": the X5045/X5043 supervisors' 512-byte SPI EEPROM with block lock and watchdog, run by
// the "x5045dip08.bit"/"x5045dip14.bit" designs, which have no shift engine: every SPI line is
// set one level at a time on register 18 and the data-out line sampled bit by bit. A byte is
// written at a time, its write cycle waited out by status polls; the status register holds the
// block lock (the "Protect" choice) and the watchdog period (the "WDT time" choice).
#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "algorithms/TypeRules.h"
#include "algorithms/memory/SerialSet.h"

namespace zelvar::memory {

struct X5045Type {
  std::string_view name;
  std::string_view bitstream = {};
  std::uint32_t lastAddress = 0;
  std::uint8_t vccPin = 0;
  std::uint8_t gndPin = 0;
  std::uint64_t contactMask = 0;
};

// The status byte the "Protect" and "WDT time" choices give: WD1/WD0 in bits 5 and 4, the block
// lock in bits 3 and 2.
constexpr std::uint8_t X5045Status(std::uint32_t protect, std::uint32_t watchdog) {
  return static_cast<std::uint8_t>((watchdog & 3) << 4 | (protect & 3) << 2);
}

class X5045 final : public SerialSet {
 public:
  static constexpr std::array<X5045Type, 3> kTypes = {{
      {.name = "???"},
      {.name = "1: X5045/43(8pin)",
       .bitstream = "x5045dip08.bit",
       .lastAddress = 511,
       .vccPin = 24,
       .gndPin = 20,
       .contactMask = SocketPins(17, 24, 20, 23)},
      {.name = "1: X5045/43(14pin)",
       .bitstream = "x5045dip14.bit",
       .lastAddress = 511,
       .vccPin = 27,
       .gndPin = 20,
       .contactMask =
           SocketPins(14, 15) | SocketPins(19, 19) | SocketPins(21, 22) | SocketPins(27, 27)},
  }};
  static void CheckRow(const X5045Type& t, TypeTableReport& r);

 private:
  static constexpr const char* kList[] = {"$Fonc:",
                                          "23 Write",
                                          "25 WriteStatus",
                                          "24 Verify",
                                          "$DisTool:",
                                          "26,28,30,31,",
                                          "$Radio1:00,Protect(保护)",
                                          "No used(不保护)",
                                          "180h-1ffh",
                                          "100h-1ffh",
                                          "000h-1fffh",
                                          "$Radio2:03,WDT time(看门狗时间)",
                                          "1.4秒",
                                          "600ms",
                                          "200ms",
                                          "No(禁止)",
                                          "$end"};
  const X5045Type& Type() const { return ChosenRow(kTypes); }
  void Init() override;
  TypeFacts Facts() const override;
  std::span<const char* const> DescribeList() const override { return kList; }
  bool Offers(int op) const override;
  void Handle(int op) override;

  bool PowerUp() const;
  // Read, Verify, Blank.
  void Scan(ScanMode mode);
  // Every byte from the buffer, or 0xFF for Erase.
  void Write(bool erase);
  void WriteStatus();
  void ReadStatus();
  // Waits out the write cycle by status polls; false (StatusWord 1, VCC off) when it never ends.
  bool WaitReady() const;
};

}  // namespace zelvar::memory
