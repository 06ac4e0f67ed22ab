#pragma once
// "AT29C256": the Atmel AT29C256 alone (WE# on its pin 1), erased by the six-byte software chip
// erase its datasheet gives; it has no chip clear through OE#.
#include <array>

#include "algorithms/memory/PageWriteSet.h"

namespace zelvar::memory {

class AT29C256 final : public PageWriteSetOf<AT29C256> {
 public:
  // The row has no mask of its own: the contact check takes the 28-pin package's pins 7 to 34.
  static constexpr std::array<PageType, 2> kTypes = {{
      {.name = "???"},
      {.name = "29C256 (32K)",
       .lastAddress = 0x7FFF,
       .pageMask = 63,
       .vccPin = 34,
       .wePin = 7,
       .contactMask = SocketPins(7, 34)},
  }};
  static constexpr PagePolicy kPolicy{.erase = PageErase::Software};
  static constexpr int kOperations[] = {kOpErase, kOpBlank, kOpWrite, kOpVerify, kOpRead};

 private:
  static constexpr const char* kList[] = {
      "$Fonc:",     "21 Erase",  "22 Blank",           "23 Write",
      "24 Verify",  "$DisTool:", "25,26,28,29,30,31,", "$Gridw:Addr space(地址范围)",
      "Addr start", "0000",      "Addr end",           "0FFFFFF",
      "$end"};
  std::span<const char* const> DescribeList() const override { return kList; }
};

}  // namespace zelvar::memory
