#pragma once
// "I82802": the N82802AA/AB/AC firmware hubs and the AT49LL020/040/080 with the Intel command set
// (read array 0xFF, identifier 0x90, block erase 0x20/0xD0, byte program 0x40 run by the design)
// and 12 V on VPP for erase, program and the identifier. A catalogue line with a signature has it
// checked before every operation that touches the array.
#include <array>
#include <span>

#include "algorithms/memory/FirmwareHub.h"

namespace zelvar::memory {

class I82802 final : public FirmwareHubSetOf<I82802> {
 public:
  static constexpr std::array<FwhType, 11> kTypes = {{
      {.name = "???"},
      {.name = "N82802AA", .lastAddress = 0x3FFFF, .vppPin = kFwhVppPin, .blockBytes = 0x10000},
      {.name = "N82802AB", .lastAddress = 0x7FFFF, .vppPin = kFwhVppPin, .blockBytes = 0x10000},
      {.name = "N82802AC", .lastAddress = 0xFFFFF, .vppPin = kFwhVppPin, .blockBytes = 0x10000},
      {},
      {},
      {},
      {},
      {.name = "AT49LL020",
       .lastAddress = 0x3FFFF,
       .vppPin = kFwhVppPin,
       .sectorKib = {0, 64, 128, 192, 224, 232, 240},
       .sectorCount = 7,
       .upperSectorsFrom = 192 * 1024},
      {.name = "AT49LL040",
       .lastAddress = 0x7FFFF,
       .vppPin = kFwhVppPin,
       .sectorKib = {0, 64, 128, 192, 256, 320, 384, 448, 464, 472, 480},
       .sectorCount = 11,
       .upperSectorsFrom = 448 * 1024},
      {.name = "AT49LL080",
       .lastAddress = 0xFFFFF,
       .vppPin = kFwhVppPin,
       .sectorKib = {0, 64, 128, 192, 256, 320, 384, 448, 512, 576, 640, 704, 768, 832, 896, 960},
       .sectorCount = 16},
  }};

 private:
  static constexpr const char* kList[] = {
      "$Fonc:",     "21 Erase",  "22 Blank",        "23 Write",
      "24 Verify",  "$DisTool:", "25,26,29,30,31,", "$Gridw:Addr space(地址范围)",
      "Addr start", "0000",      "Addr end",        "0FFFFFF",
      "$end"};
  std::span<const char* const> DescribeList() const override { return kList; }
  bool Offers(int op) const override;
  void Handle(int op) override;

  // One command byte through the design's cycle codes, at the address in the ports.
  static void CommandWrite(std::uint8_t data);
  // The identifier into ScratchBuffer, logged and kept; false when the power check failed.
  bool ReadId();
  // With a signature in the catalogue line, the chip's must match it: else "Type error!" and
  // StatusWord 1.
  bool TypeCheck();
  void Erase();
  void EraseAt(std::uint32_t address, std::uint8_t command, int waits);
  void Write();
  // Blank and Verify from "Addr start", FailAddress an offset from it.
  void Compare(bool blank);
  void Read();
};

}  // namespace zelvar::memory
