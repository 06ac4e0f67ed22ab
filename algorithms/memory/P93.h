#pragma once
// "P93" and "P93X16": Microwire EEPROMs of the 93Cxx kind on socket pins 17 to 24 through the
// "p93cxxx.bit" design; P93 keeps one byte per chip address (an x16 row its words' low bytes),
// P93X16 one 16-bit word per chip address, low byte first.
#include <array>
#include <span>

#include "algorithms/memory/MicrowireSet.h"

namespace zelvar::memory {

inline constexpr const char* kMicrowireList[] = {"$Fonc:",
                                                 "21 Erase",
                                                 "22 Blank",
                                                 "23 Write",
                                                 "24 Verify",
                                                 "$DisTool:",
                                                 "25,26,28,29,30,31,",
                                                 "$Radio1:03,Delay(写速度)",
                                                 "1  ms/byte",
                                                 "2  ms/byte",
                                                 "5  ms/byte ",
                                                 "10 ms/byte",
                                                 "20 ms/byte",
                                                 "50 ms/byte ",
                                                 "$Radio2:00,VCC(电压)",
                                                 "5V",
                                                 "3.3V",
                                                 "2.5V",
                                                 "$end"};

class P93 final : public MicrowireSet {
 public:
  static constexpr std::array<MicrowireType, 10> kTypes = {{
      {.name = "???"},
      MicrowireRow("1: 93c46    128x8", 7, 8, 127),
      MicrowireRow("2: 93c56  256x8", 9, 8, 255),
      MicrowireRow("3: 93c66    512x8", 9, 8, 511),
      MicrowireRow("4: 93c46    64x16", 6, 16, 63),
      MicrowireRow("5: 93c56  128x16", 8, 16, 127),
      MicrowireRow("6: 93c66    256x16", 8, 16, 255),
      MicrowireRow("7: 93c57  256x8", 8, 8, 255),
      MicrowireRow("8: 93c86   2Kx8", 11, 8, 2047),
      MicrowireRow("9 93c76 1x8", 11, 8, 1023),
  }};
  static void CheckRow(const MicrowireType& t, TypeTableReport& r) {
    // An x16 row keeps one byte of each word: its last address counts words.
    MicrowireType bytes = t;
    if (t.dataBits == 16) bytes.lastAddress = t.lastAddress * 2 + 1;
    CheckMicrowireRow(bytes, r);
  }

 private:
  const MicrowireType& Type() const override { return ChosenRow(kTypes); }
  bool WordUnits() const override { return false; }
  std::span<const char* const> DescribeList() const override { return kMicrowireList; }
};

class P93X16 final : public MicrowireSet {
 public:
  static constexpr std::array<MicrowireType, 6> kTypes = {{
      {.name = "???"},
      MicrowireRow("1: 93c46    64x16", 6, 16, 127),
      MicrowireRow("2: 93c56  128x16", 8, 16, 255),
      MicrowireRow("3: 93c66    256x16", 8, 16, 511),
      MicrowireRow("4: 93c76   512x16", 10, 16, 1023),
      MicrowireRow("5: 93c86   1Kx16", 10, 16, 2047),
  }};
  static void CheckRow(const MicrowireType& t, TypeTableReport& r) { CheckMicrowireRow(t, r); }

 private:
  const MicrowireType& Type() const override { return ChosenRow(kTypes); }
  bool WordUnits() const override { return true; }
  std::span<const char* const> DescribeList() const override { return kMicrowireList; }
};

}  // namespace zelvar::memory
