#pragma once
// "AT90S2323HI": the AT90S2323 and AT90S2343 by high-voltage serial programming, seated as in
// "ATTINY1"; no calibration byte.
#include <array>

#include "algorithms/avr/ATTINY1.h"

namespace zelvar::avr {

class AT90S2323HI final : public HvSerialSet {
 public:
  static constexpr std::array<AvrType, 13> kTypes = {{
      {.name = "Exit"},
      hvsp::Row(hvsp::kSeat11, "1: AT90S2323", "Atiny12.bit", 0x7FF, 0x7F),
      hvsp::Row(hvsp::kSeat11, "2: AT90S2343", "Atiny12.bit", 0x7FF, 0x7F),
      {},
      {},
      {},
      {},
      {},
      {},
      {},
      {.name = "Exit"},
      hvsp::Row(hvsp::kSeat17, "1: AT90S2323", "Atiny12std.bit", 0x7FF, 0x7F),
      hvsp::Row(hvsp::kSeat17, "2: AT90S2343", "Atiny12std.bit", 0x7FF, 0x7F),
  }};

  static constexpr const char* kDescribe[] = {"$Fonc:",    "21 Erase",  "22 Blank",  "23 Write",
                                              "24 Verify", "32 WrData", "25 WrFuse", "26 Security",
                                              "$DisTool:", "30,",       "$end"};
  static constexpr const char* kConfig[] = {"0: (只有一种类型)",          "n=LB1,v=1,a=1,b=1",
                                            "n=LB2,v=1,a=1,b=2",          "n=RCEN,v=1,a=0,b=0",
                                            "n=SPIEN (只读),v=1,a=0,b=5", "$end"};
  static constexpr int kOperations[] = {kOpErase,      kOpBlank,    kOpWrite,    kOpVerify,
                                        kOpConfig,     kOpLock,     kOpRead,     kOpReadId,
                                        kOpReadConfig, kOpReadData, kOpWriteData};

 private:
  const AvrType& Type() const override { return ChosenRow(kTypes); }
  std::span<const char* const> DescribeList() const override { return kDescribe; }
  std::span<const char* const> ConfigTable() const override { return kConfig; }
  std::span<const int> Operations() const override { return kOperations; }
  void Init() override { SetUpSerial(kTypes); }
};

}  // namespace zelvar::avr
