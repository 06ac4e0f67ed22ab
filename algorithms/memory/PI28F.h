#pragma once
// "PI28F": Intel-style 12 V bulk-erase flash (28F256 to 28F040, 28F004/008), VPP 12 V on pin 5,
// programmed and erased with Intel's quick-pulse programming and quick-erase algorithms (28F010
// and 28F020 datasheets): each byte gets 40h, its data, a program pulse and the program-verify
// C0h, then is read, up to 25 pulses; an erase first programs every byte to 00h, then gives 10 ms
// erase pulses, each followed by erase verify (A0h) of every address from the first that has not
// yet read FFh, up to 1000 pulses.
#include <array>
#include <span>

#include "algorithms/memory/FlashSet.h"

namespace zelvar::memory {

class PI28F final : public FlashSetOf<PI28F> {
 public:
  // Rows 7 to 10 are unused slots; the device lists name rows 11 to 15.
  static constexpr std::array<FlashType, 16> kTypes = {{
      {.name = "???"},
      {.name = "i28f256", .lastAddress = 0x7FFF, .eraseVppPin = 5},
      {.name = "i28f257", .lastAddress = 0x7FFF, .eraseVppPin = 5},
      {.name = "i28f512",
       .lastAddress = 0xFFFF,
       .eraseVppPin = 5,
       .contactMask = SocketPins(5, 5) | SocketPins(7, 36, 34)},
      // VPP on pin 1 (socket pin 5) is checked with the others; pin 30 is A17 of the 28F020.
      {.name = "i28f010",
       .lastAddress = 0x1FFFF,
       .eraseVppPin = 5,
       .contactMask = SocketPins(5, 36, 34)},
      {.name = "i28f020",
       .lastAddress = 0x3FFFF,
       .eraseVppPin = 5,
       .contactMask = SocketPins(5, 36)},
      {.name = "i28f040", .lastAddress = 0x7FFFF, .eraseVppPin = 5},
      {},
      {},
      {},
      {},
      {.name = "28f004 BX-T", .lastAddress = 0x7FFFF, .eraseVppPin = 5},
      {.name = "28f004 Bx-B", .lastAddress = 0x7FFFF, .eraseVppPin = 5},
      {.name = "28f008 Bx-T ", .lastAddress = 0xFFFFF, .eraseVppPin = 5},
      {.name = "28f008 Bx-B ", .lastAddress = 0xFFFFF, .eraseVppPin = 5},
      {.name = "28f008SA", .lastAddress = 0xFFFFF, .eraseVppPin = 5},
  }};
  static constexpr FlashPolicy kPolicy{.vccFloor = 2500,
                                       .vppMillivolts = 12000,
                                       .write = FlashRange::Chosen,
                                       .verify = FlashRange::Chosen};

 private:
  static constexpr const char* kList[] = {
      "$Fonc:",     "21 Erase",  "22 Blank",        "23 Write",
      "24 Verify",  "$DisTool:", "25,26,29,30,31,", "$Gridw:Addr space",
      "Addr start", "0000",      "Addr end",        "0FFFFF",
      "$end"};
  std::span<const char* const> DescribeList() const override { return kList; }
  std::uint8_t WriteVppPin() const override { return Type().eraseVppPin; }
  // The bytes go to the chip in EndProgramBlock, each verified as it is programmed.
  void QueueProgramByte(std::uint8_t, const Program&) override {}
  void EndProgramBlock(const Program& p) override;
  static constexpr int kOwnOps[] = {kOpErase, kOpReadId};
  std::span<const int> OwnOperations() const override { return kOwnOps; }
  void Erase() override;
  // Quick-pulse programming of data[0 .. count) to address .. address + count - 1 (bytes of FFh
  // need no pulse); false, with FailAddress (the offset from `address`) and FailByte set, when a
  // byte does not verify within 25 pulses. Sent.
  bool QuickPulseProgram(std::uint32_t address, const std::uint8_t* data, std::uint32_t count);
  // Erase verify from `address` on: the first address that does not read FFh, or the chip's end.
  std::uint32_t EraseVerifyFrom(std::uint32_t address);
  // The bus read once with OE# low, the data bus an input meanwhile; queued.
  void QueueVerifyRead();
};

}  // namespace zelvar::memory
