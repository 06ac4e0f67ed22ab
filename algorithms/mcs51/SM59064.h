#pragma once
// "SM59064": the SyncMOS SM59 parts up to 64 KB, strobed on ALE (pin 30) with EA held low; the
// operation on P3.4 and P3.5, and P3.0, P3.1 and P3.3 for the ISP area and its size code.
#include "algorithms/mcs51/Sm59Engine.h"

namespace zelvar::mcs51 {

class SM59064 final : public Sm59Set {
 private:
  static constexpr Sm59Policy kPolicy{
      .strobePin = 30,
      .a16Pin = 0,
      .eaLow = 31,
      .vppMillivolts = 0,
      .idle = {"000000"},
      .read = {"000000"},
      .readConfig = {"000010"},
      .program = {.pattern = {"000000"}, .afterWait = kCmdWait50us, .afterCount = 1},
      .erase = {.pattern = {"000011"},
                .afterWait = kCmdLongWait,
                .afterCount = 8,
                .flushEach = true},
      .lock = {.pattern = {"000010"}, .afterWait = kCmdWait100us, .afterCount = 3},
      .ispErase = {.pattern = {"000100"}, .afterWait = kCmdSettle, .afterCount = 1},
      .configWrite = {.pattern = {"110100"}, .afterWait = kCmdWait100us, .afterCount = 2},
      .eraseAddress = 0xFFFF,
  };
  static constexpr const char* kDescribe[] = {"$Fonc:",
                                              "34 EraseIsp",
                                              "25 WriteCfg",
                                              "21 Erase",
                                              "22 Blank",
                                              "23 Write",
                                              "24 Verify",
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
