#pragma once
// "SM59128": the SyncMOS SM59128 (and the smaller parts) strobed on EA (pin 31), with A16 on ALE
// (pin 30) and the operation on the six pins P3.0..P3.5.
#include "algorithms/mcs51/Sm59Engine.h"

namespace zelvar::mcs51 {

class SM59128 final : public Sm59Set {
 private:
  static constexpr Sm59Policy kPolicy{
      .strobePin = 31,
      .a16Pin = 30,
      .eaLow = 0,
      .vppMillivolts = 5000,
      .idle = {"000011"},
      .read = {"000000"},
      .readConfig = {"100000"},
      .program = {.pattern = {"000000"}, .afterWait = kCmdWait50us, .afterCount = 1},
      .erase = {.pattern = {"110000"},
                .insideWait = kCmdWait100us,
                .insideCount = 2,
                .afterWait = kCmdLongWait,
                .afterCount = 10,
                .flushEach = true},
      .lock = {.pattern = {"100000"}, .afterWait = kCmdSettle, .afterCount = 1},
      .ispErase = {.pattern = {"110001"},
                   .insideWait = kCmdSettle,
                   .insideCount = 1,
                   .afterWait = kCmdSettle,
                   .afterCount = 1},
      .configWrite = {.pattern = {"111101"},
                      .insideWait = kCmdSettle,
                      .insideCount = 1,
                      .afterWait = kCmdSettle,
                      .afterCount = 1},
      .eraseAddress = 0,
  };
  static constexpr const char* kDescribe[] = {"$Fonc:",
                                              "34 EraseIsp",
                                              "21 Erase",
                                              "22 Blank",
                                              "23 Write",
                                              "24 Verify",
                                              "25 WriteCfg",
                                              "26 Security",
                                              "$DisTool:",
                                              "28,30,31,",
                                              "$Radio1:02,ISP space",
                                              "0: No ISP",
                                              "1: FE00-FFFF",
                                              "2: FC00-FFFF",
                                              "3: FA00-FFFF",
                                              "4: F800-FFFF",
                                              "5: F600-FFFF",
                                              "6: F400-FFFF",
                                              "7: F200-FFFF",
                                              "8: F000-FFFF",
                                              "$end"};

  const Sm59Policy& Policy() const override { return kPolicy; }
  std::span<const char* const> DescribeList() const override { return kDescribe; }
};

}  // namespace zelvar::mcs51
