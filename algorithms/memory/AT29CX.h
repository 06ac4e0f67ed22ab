#pragma once
// "AT29CX": Atmel AT29C page-write flash, 28 and 32 pins, written as "SST29EE" writes its parts.
#include <array>

#include "algorithms/memory/PageWriteSet.h"

namespace zelvar::memory {

class AT29CX final : public PageWriteSetOf<AT29CX> {
 public:
  // Pin 1 (socket pin 5) is A18 and pin 30 (socket pin 34) A17 where the part has them, not
  // connected on the smaller ones.
  static constexpr std::uint64_t kPins6To36No34 = SocketPins(6, 33) | SocketPins(35, 36);
  static constexpr std::array<PageType, 8> kTypes = {{
      {.name = "???"},
      {.name = "29C256 (32K)", .lastAddress = 0x7FFF, .pageMask = 63, .vccPin = 34, .wePin = 7},
      // 32 pins: 1, 2 and 30 not connected.
      {.name = "29C257 (32K)",
       .lastAddress = 0x7FFF,
       .pageMask = 63,
       .vccPin = 36,
       .wePin = 35,
       .contactMask = SocketPins(7, 33) | SocketPins(35, 36)},
      {.name = "29C512 (64K)",
       .lastAddress = 0xFFFF,
       .pageMask = 127,
       .vccPin = 36,
       .wePin = 35,
       .contactMask = SocketPins(7, 33) | SocketPins(35, 36)},
      {.name = "29C010A (128K)",
       .lastAddress = 0x1FFFF,
       .pageMask = 127,
       .vccPin = 36,
       .wePin = 35,
       .contactMask = kPins6To36No34},
      {.name = "29C020 (256K)",
       .lastAddress = 0x3FFFF,
       .pageMask = 255,
       .vccPin = 36,
       .wePin = 35,
       .contactMask = SocketPins(6, 36)},
      {.name = "29C040  (512K)",
       .lastAddress = 0x7FFFF,
       .pageMask = 255,
       .vccPin = 36,
       .wePin = 35,
       .contactMask = SocketPins(5, 36)},
      {.name = "29C040A (512K)",
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
                                          "$Radio1:00,Speed(写速度)",
                                          "Nomal(标准速度)",
                                          "Mid(中速)",
                                          "Slow(慢速)",
                                          "$end"};
  std::span<const char* const> DescribeList() const override { return kList; }
};

}  // namespace zelvar::memory
