#pragma once
// "AT28C256": the AT28C64B and the 28C256, written as "AT28CX" writes them, with the chip clear
// (12 V on OE#, a long WE# pulse) as Erase.
#include <array>

#include "algorithms/memory/PageWriteSet.h"

namespace zelvar::memory {

class AT28C256 final : public PageWriteSetOf<AT28C256> {
 public:
  static constexpr std::array<PageType, 3> kTypes = {{
      {.name = "???"},
      {.name = "AT28C64B (8K)",
       .lastAddress = 0x1FFF,
       .pageMask = 63,
       .vccPin = 34,
       .wePin = 33,
       .contactMask = SocketPins(8, 31) | SocketPins(33, 34)},
      {.name = "28C256 (32K)",
       .lastAddress = 0x7FFF,
       .pageMask = 63,
       .vccPin = 34,
       .wePin = 33,
       .contactMask = SocketPins(7, 34)},
  }};
  static constexpr PagePolicy kPolicy{
      .vppMillivolts = 12000, .readBackEvery = 256, .erase = PageErase::OeHigh};
  static constexpr int kOperations[] = {kOpUnProtect, kOpErase, kOpBlank, kOpWrite,
                                        kOpVerify,    kOpLock,  kOpRead};

 private:
  static constexpr const char* kList[] = {"$Fonc:",
                                          "21 Erase",
                                          "22 Blank",
                                          "23 Write",
                                          "24 Verify",
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
