#pragma once
// "P93C411" and "P93C411X16": the 93Cxx chips of P93 and P93X16 on the models without an FPGA,
// the chip in socket pins 15 to 18 and 23 to 26, the bus run by pin commands and the data-out line
// sampled by the programmer's own logic. P93C411 keeps one byte per chip address (its x16 rows
// the words' low bytes), P93C411X16 one 16-bit word, low byte first.
#include <array>
#include <span>

#include "algorithms/memory/MicrowireSet.h"

namespace zelvar::memory {

inline constexpr const char* kMicrowire411List[] = {"$Fonc:",
                                                    "21 Erase",
                                                    "22 Blank",
                                                    "23 Write",
                                                    "24 Verify",
                                                    "$DisTool:",
                                                    "25,26,28,29,30,31,",
                                                    "$Radio1:03,Delay(选择写延迟)",
                                                    "1  ms/byte",
                                                    "2  ms/byte",
                                                    "5  ms/byte ",
                                                    "10 ms/byte",
                                                    "20 ms/byte",
                                                    "50 ms/byte ",
                                                    "$end"};
inline constexpr const char* kMicrowire411X16List[] = {"$Fonc:",
                                                       "21 Erase",
                                                       "22 Blank",
                                                       "23 Write",
                                                       "24 Verify",
                                                       "$DisTool:",
                                                       "25,26,28,29,30,31,",
                                                       "$Radio1:03,选择写速度",
                                                       "1  ms/byte",
                                                       "2  ms/byte",
                                                       "5  ms/byte ",
                                                       "10 ms/byte",
                                                       "20 ms/byte",
                                                       "50 ms/byte ",
                                                       "$end"};

class P93C411 final : public MicrowireSet {
 public:
  static constexpr std::array<MicrowireType, 10> kTypes = {{
      {.name = "???"},
      Microwire411Row("1: 93c46    128x8", 7, 8, 127),
      Microwire411Row("2: 93c56  256x8", 9, 8, 255),
      Microwire411Row("3: 93c66    512x8", 9, 8, 511),
      Microwire411Row("4: 93c46    64x16", 6, 16, 63),
      Microwire411Row("5: 93c56  128x16", 8, 16, 127),
      Microwire411Row("6: 93c66    256x16", 8, 16, 255),
      Microwire411Row("7: 93c57  256x8", 8, 8, 255),
      Microwire411Row("8: 93c86   2Kx8", 11, 8, 2047),
      Microwire411Row("9: 93c86   1Kx16", 10, 16, 1023),
  }};
  static void CheckRow(const MicrowireType& t, TypeTableReport& r) {
    // An x16 row keeps one byte of each word: its last address counts words.
    MicrowireType bytes = t;
    if (t.dataBits == 16) bytes.lastAddress = t.lastAddress * 2 + 1;
    CheckMicrowireRow(bytes, r, nullptr);
  }

 private:
  const MicrowireType& Type() const override { return ChosenRow(kTypes); }
  bool WordUnits() const override { return false; }
  bool OwnLogic() const override { return true; }
  std::span<const char* const> DescribeList() const override { return kMicrowire411List; }
};

class P93C411X16 final : public MicrowireSet {
 public:
  static constexpr std::array<MicrowireType, 6> kTypes = {{
      {.name = "???"},
      Microwire411Row("1: 93c46    64x16", 6, 16, 127),
      Microwire411Row("2: 93c56/7  128x16", 8, 16, 255),
      Microwire411Row("3: 93c66    256x16", 8, 16, 511),
      Microwire411Row("4: 93c76    512x16", 10, 16, 1023),
      Microwire411Row("5: 93c86    1Kx16", 10, 16, 2047),
  }};
  static void CheckRow(const MicrowireType& t, TypeTableReport& r) {
    CheckMicrowireRow(t, r, nullptr);
  }

 private:
  const MicrowireType& Type() const override { return ChosenRow(kTypes); }
  bool WordUnits() const override { return true; }
  bool OwnLogic() const override { return true; }
  std::span<const char* const> DescribeList() const override { return kMicrowire411X16List; }
};

}  // namespace zelvar::memory
