#pragma once
// "AT28CX": 28C page EEPROMs, 28 and 32 pins: pages loaded under WE# held low and read back every
// 256 bytes, the software data protection sequences written through the address pins and port 2.
// The HN58C65 has no software data protection (its datasheet): its row offers no Unprotect or
// Lock, whose command bytes that part would store as data.
#include <array>

#include "algorithms/memory/PageWriteSet.h"

namespace zelvar::memory {

namespace at28cx {
// The items after the operations, shared by both describe lists.
inline constexpr std::array<const char*, 10> kTail = {
    "$Gridw:Addr space(地址范围)", "Addr start",      "0000",      "Addr end",   "0FFFFFF",
    "$Radio1:00,Speed(写速度)",    "Nomal(标准速度)", "Mid(中速)", "Slow(慢速)", "$end"};
template <std::size_t N>
constexpr std::array<const char*, N + kTail.size()> WithTail(
    const std::array<const char*, N>& head) {
  std::array<const char*, N + kTail.size()> list{};
  for (std::size_t i = 0; i < N; ++i) list[i] = head[i];
  for (std::size_t i = 0; i < kTail.size(); ++i) list[N + i] = kTail[i];
  return list;
}
inline constexpr auto kList = WithTail(std::array<const char*, 6>{
    "$Fonc:", "20 Unprotect", "23 Write", "24 Verify", "$DisTool:", "21,22,25,28,29,30,31,"});
inline constexpr auto kUnprotectedList = WithTail(std::array<const char*, 5>{
    "$Fonc:", "23 Write", "24 Verify", "$DisTool:", "20,21,22,25,28,29,30,31,"});
}  // namespace at28cx

class AT28CX final : public PageWriteSetOf<AT28CX> {
 public:
  static constexpr std::uint64_t kPins6To36No34 = SocketPins(6, 33) | SocketPins(35, 36);
  static constexpr std::array<PageType, 10> kTypes = {{
      {.name = "???"},
      {.name = "28C256 (32K)",
       .lastAddress = 0x7FFF,
       .pageMask = 63,
       .vccPin = 34,
       .wePin = 33,
       .contactMask = SocketPins(7, 34)},
      {.name = "28C257 (32K)", .lastAddress = 0x7FFF, .pageMask = 63, .vccPin = 36, .wePin = 35},
      {.name = "28C512 (64K)", .lastAddress = 0xFFFF, .pageMask = 127, .vccPin = 36, .wePin = 35},
      {.name = "28C010 (128K)",
       .lastAddress = 0x1FFFF,
       .pageMask = 127,
       .vccPin = 36,
       .wePin = 35,
       .contactMask = kPins6To36No34},
      // A17 on pin 30 (socket 34) from the 28C020 up, A18 on pin 1 (socket 5) on the 28C040.
      {.name = "28C020 (256K)",
       .lastAddress = 0x3FFFF,
       .pageMask = 127,
       .vccPin = 36,
       .wePin = 35,
       .contactMask = SocketPins(6, 36)},
      {.name = "28C040 (512K)",
       .lastAddress = 0x7FFFF,
       .pageMask = 255,
       .vccPin = 36,
       .wePin = 35,
       .contactMask = SocketPins(5, 36)},
      {.name = "28C040A (512K)",
       .lastAddress = 0x7FFFF,
       .pageMask = 255,
       .vccPin = 36,
       .wePin = 35,
       .contactMask = SocketPins(5, 36)},
      // 28 pins: pin 1 (RDY/BUSY on some makers' parts) and pin 26 not connected are left out.
      {.name = "AT28C64B (8K)",
       .lastAddress = 0x1FFF,
       .pageMask = 63,
       .vccPin = 34,
       .wePin = 33,
       .contactMask = SocketPins(8, 34, 32)},
      {.name = "HN58C65 (8K)",
       .lastAddress = 0x1FFF,
       .pageMask = 31,
       .vccPin = 34,
       .wePin = 33,
       .contactMask = SocketPins(8, 34, 32)},
  }};
  // VCC from "vcc=" as its sister sets take it: without it the part ran at whatever level the
  // chip chosen before had left.
  static constexpr PagePolicy kPolicy{.vppMillivolts = 12000, .readBackEvery = 256};
  static constexpr int kOperations[] = {kOpUnProtect, kOpWrite, kOpVerify, kOpLock, kOpRead};
  static constexpr std::size_t kNoProtectionRow = 9;

 private:
  static constexpr int kUnprotected[] = {kOpWrite, kOpVerify, kOpRead};
  bool NoProtection() const { return &Type() == &kTypes[kNoProtectionRow]; }
  std::span<const int> Operations() const override {
    if (NoProtection()) return kUnprotected;
    return kOperations;
  }
  std::span<const char* const> DescribeList() const override {
    if (NoProtection()) return at28cx::kUnprotectedList;
    return at28cx::kList;
  }
};

}  // namespace zelvar::memory
