#pragma once
// "SST49LF008": the SST49LF002A to SST49LF008A firmware hubs with the JEDEC command set: unlock
// cycles to 0x5555 and 0x2AAA, the byte program the design runs per byte, block or chip erase,
// and the software ID. The buffer holds the chip image at the chip's own addresses, so a range
// takes the buffer bytes at its own addresses.
#include <array>
#include <span>

#include "algorithms/memory/FirmwareHub.h"

namespace zelvar::memory {

class SST49LF008 final : public FirmwareHubSetOf<SST49LF008> {
 public:
  static constexpr std::array<FwhType, 5> kTypes = {{
      {.name = "???"},
      {.name = "SST49LF002A", .lastAddress = 0x3FFFF, .blockBytes = 0x4000},
      {.name = "SST49LF003A",
       .lastAddress = 0x7FFFF,
       .firstAddress = 0x20000,
       .blockBytes = 0x10000},
      {.name = "SST49LF004A", .lastAddress = 0x7FFFF, .blockBytes = 0x10000},
      {.name = "SST49LF008A", .lastAddress = 0xFFFFF, .blockBytes = 0x10000},
  }};

 private:
  static constexpr const char* kList[] = {"$Fonc:",
                                          "21 Erase",
                                          "22 Blank",
                                          "23 Write",
                                          "24 Verify",
                                          "$DisTool:",
                                          "25,26,29,30,31,",
                                          "$Radio1:00,Verify(写校验)",
                                          "Disable(禁止)",
                                          "Enable(允许)",
                                          "$Gridw:Addr space(地址范围)",
                                          "Addr start",
                                          "0000",
                                          "Addr end",
                                          "0FFFFFF",
                                          "$end"};
  std::span<const char* const> DescribeList() const override { return kList; }
  bool Offers(int op) const override;
  void Handle(int op) override;
  void EndPowerUp() override;

  // "Addr start", not below the chip's first address.
  std::uint32_t RangeFrom() const;
  // The SST49LF003A holds nothing below its first address: data there in the range fails Verify
  // and stops Write before it changes anything. True when it found such a byte.
  bool DataBelowChip(bool verify);
  void Erase();
  void Write();
  void Read();
  void ReadId();
  // With a signature in the catalogue line, the chip's must match it before Erase and Write:
  // else "Type error!" and StatusWord 1.
  bool TypeCheck();
  // One write cycle at 0x5555 or 0x2AAA through the design's cycle codes.
  static void UnlockCycle(std::uint16_t address, std::uint8_t data);
  // The five cycles every erase command starts with.
  static void EraseUnlock();
};

}  // namespace zelvar::memory
