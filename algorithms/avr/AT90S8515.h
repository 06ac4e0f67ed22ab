#pragma once
// "AT90S8515": the AT90S4414 and AT90S8515 by the word-write engine, in the 40-pin DIP
// ("at90s8515dip40.bit", RESET 9, VCC 40, GND 20) or, by a "*P44" or "*Q44" title, on the 44-pin
// adapter ("at90s8515plcc44.bit", socket pins 8, 42, 20). The clock-line check runs before every
// entry. "AT90S8535" shares the lists below.
#include <array>

#include "algorithms/avr/HvWordEngine.h"

namespace zelvar::avr {

namespace at90s40 {
inline constexpr const char* kDescribe[] = {"$Fonc:",
                                            "21 Erase",
                                            "22 Blank",
                                            "23 Write",
                                            "24 Verify",
                                            "32 WrData",
                                            "25 WrFuse",
                                            "26 Security",
                                            "$DisTool:",
                                            "30,",
                                            "$Radio1:00,Lock mode",
                                            "Lock(加密)",
                                            "No write(禁止再写)",
                                            "$end"};
inline constexpr const char* kConfig[] = {"0: (只有一种类型)", "n=RCEN(内部震荡),v=1,a=0,b=0",
                                          "n=ISP(在线装载),v=1,a=0,b=5", "$end"};
inline constexpr int kOperations[] = {kOpErase,      kOpBlank,    kOpWrite,    kOpVerify,
                                      kOpConfig,     kOpLock,     kOpRead,     kOpReadId,
                                      kOpReadConfig, kOpReadData, kOpWriteData};
// The contact mask of the 44-pin adapter: PLCC pins 1, 12, 23 and 34 are not connected.
inline constexpr std::uint64_t kPlcc44Mask = SocketPins(1, 9) | SocketPins(11, 20) |
                                             SocketPins(22, 31) | SocketPins(33, 42) |
                                             SocketPins(48, 48);

// The two items of the "Lock mode" radio: 0 programs both lock bits, 1 LB1 only.
class At90s40Set : public HvWordSet {
 protected:
  const AvrType& Type() const override { return row_; }
  std::span<const char* const> DescribeList() const override { return kDescribe; }
  std::span<const char* const> ConfigTable() const override { return kConfig; }
  std::span<const int> Operations() const override { return kOperations; }
  int LockByteOfRadio(std::uint32_t radio) const override {
    return radio == 0 ? 0x00 : radio == 1 ? 0x04 : -1;
  }
  int RadioOfLock(bool lb1, bool lb2) const override {
    if (lb1) return -1;
    return lb2 ? 1 : 0;
  }
  bool FuseReadBs() const override { return true; }
  // Both adapters' packages: the placement picture first.
  static bool Plcc44Title();

  AvrType row_{};
};
}  // namespace at90s40

class AT90S8515 final : public at90s40::At90s40Set {
 public:
  static constexpr std::array<AvrType, 3> kTypes = {{
      {.name = "Exit"},
      {.name = "1: AT90S4414",
       .vppPin = 9,
       .vccPin = 40,
       .groundPin = 20,
       .codeLast = 0xFFF,
       .eepromLast = 0xFF,
       .contactMask = SocketPins(1, 40)},
      {.name = "2: AT90S8515",
       .vppPin = 9,
       .vccPin = 40,
       .groundPin = 20,
       .codeLast = 0x1FFF,
       .eepromLast = 0x1FF,
       .contactMask = SocketPins(1, 40)},
  }};

 private:
  static constexpr HvParallelPolicy kPolicy{};
  const HvParallelPolicy& Policy() const override { return kPolicy; }
  std::uint32_t WriteFlushBytes() const override { return 256; }
  void Init() override;
  bool Enter() override { return EnterClocked(); }
};

}  // namespace zelvar::avr
