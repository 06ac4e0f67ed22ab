#pragma once
// "SST29EE": SST 29EE page-write flash, 28 and 32 pins: pages loaded under WE# held low, software
// data protection through the unlock cycles, chip erase by the six-byte sequence.
#include <array>

#include "algorithms/memory/PageWriteSet.h"

namespace zelvar::memory {

class SST29EE final : public PageWriteSetOf<SST29EE> {
 public:
  static constexpr std::uint64_t kPins6To36No34 = SocketPins(6, 33) | SocketPins(35, 36);
  // The 32-pin parts: A15 on pin 3, WE# on 31 and VCC on 32 of the 29EE512 too; pin 30 is A17
  // and pin 1 A18 where the part has them, else not connected.
  // The 28-pin part has WE# on its pin 1 (socket pin 7) and A14 on pin 27 (socket pin 33).
  static constexpr std::array<PageType, 8> kTypes = {{
      {.name = "-----"},
      {.name = "29ee256 (32K)", .lastAddress = 0x7FFF, .pageMask = 63, .vccPin = 34, .wePin = 7},
      {.name = "29ee257 (32K)", .lastAddress = 0x7FFF, .pageMask = 63, .vccPin = 36, .wePin = 35},
      {.name = "29ee512 (64K)",
       .lastAddress = 0xFFFF,
       .pageMask = 127,
       .vccPin = 36,
       .wePin = 35,
       .contactMask = SocketPins(7, 36, 34)},
      {.name = "29ee010 (128K)",
       .lastAddress = 0x1FFFF,
       .pageMask = 127,
       .vccPin = 36,
       .wePin = 35,
       .contactMask = kPins6To36No34},
      {.name = "29ee020 (256K)",
       .lastAddress = 0x3FFFF,
       .pageMask = 127,
       .vccPin = 36,
       .wePin = 35,
       .contactMask = SocketPins(6, 36)},
      {.name = "29ee040 (512K)",
       .lastAddress = 0x7FFFF,
       .pageMask = 255,
       .vccPin = 36,
       .wePin = 35,
       .contactMask = SocketPins(5, 36)},
      {.name = "29ee040A (512K)",
       .lastAddress = 0x7FFFF,
       .pageMask = 255,
       .vccPin = 36,
       .wePin = 35,
       .contactMask = SocketPins(5, 36)},
  }};
  static constexpr PagePolicy kPolicy{.unlockCommands = true, .erase = PageErase::Software};
  static constexpr int kOperations[] = {kOpUnProtect, kOpErase, kOpBlank, kOpWrite,
                                        kOpVerify,    kOpLock,  kOpRead};

 private:
  static constexpr const char* kList[] = {"$Fonc:",
                                          "20 Unprotect",
                                          "21 Erase",
                                          "22 Blank",
                                          "23 Write",
                                          "24 Verify",
                                          "26 Protect",
                                          "$DisTool:",
                                          "25,28,29,30,31,",
                                          "$Gridw:Addr space(地址范围)",
                                          "Addr start",
                                          "0000",
                                          "Addr end",
                                          "0FFFFFF",
                                          "$Radio1:00,写速度",
                                          "标准速度",
                                          "中速",
                                          "慢速",
                                          "$end"};
  std::span<const char* const> DescribeList() const override { return kList; }
};

}  // namespace zelvar::memory
