#pragma once
// "SST28VF040": 28SF/VF040-style sector flash (256-byte sectors) with the read-sequence software
// data protection, released before every erase and write; no VPP. The byte program is the
// datasheet's set-up 10h and the byte (SST28SF040A/SST28VF040A data sheet, S71077).
#include <array>
#include <span>

#include "algorithms/memory/FlashSet.h"

namespace zelvar::memory {

class SST28VF040 final : public FlashSetOf<SST28VF040> {
 public:
  static constexpr std::uint64_t kPins6To36No34 = SocketPins(6, 36, 34);
  static constexpr std::array<FlashType, 7> kTypes = {{
      {.name = "???"},
      {.name = "28f256A", .lastAddress = 0x7FFF},
      {.name = "28f257A", .lastAddress = 0x7FFF},
      {.name = "28f512A", .lastAddress = 0xFFFF},
      {.name = "28f010A", .lastAddress = 0x1FFFF, .contactMask = kPins6To36No34},
      {.name = "28f020A", .lastAddress = 0x3FFFF, .contactMask = kPins6To36No34},
      // A18 on pin 1 (socket pin 5) and A17 on pin 30 (socket pin 34).
      {.name = "28f040A", .lastAddress = 0x7FFFF, .contactMask = SocketPins(5, 36)},
  }};
  // The identifier by the Read-ID command (90h): the data sheet gives no 12 V mode on A9.
  static constexpr FlashPolicy kPolicy{.vccFloor = 2500,
                                       .vppMillivolts = 0,
                                       .write = FlashRange::Chosen,
                                       .verify = FlashRange::Chosen,
                                       .softwareId = true};
  // The read cycles that release the protection, in order.
  static constexpr std::array<std::uint32_t, 7> kUnprotectReads = {0x1823, 0x1820, 0x1822, 0x0418,
                                                                   0x041B, 0x0419, 0x041A};

 private:
  static constexpr const char* kList[] = {"$Fonc:",
                                          "21 Erase",
                                          "22 Blank",
                                          "23 Write",
                                          "24 Verify",
                                          "$DisTool:",
                                          "25,26,28,29,30,31,",
                                          "$Gridw:Addr space(地址范围)",
                                          "Addr start",
                                          "0000",
                                          "Addr end",
                                          "0FFFFF",
                                          "$Radio1:00,擦除方式",
                                          "CHIP(快)",
                                          "SECTOR(慢)",
                                          "$end"};
  std::span<const char* const> DescribeList() const override { return kList; }
  static constexpr int kOwnOps[] = {kOpErase};
  std::span<const int> OwnOperations() const override { return kOwnOps; }
  void PrepareWrite() override { Unprotect(); }
  // The protection ignores the Read-ID command as it ignores every write: the identity check
  // before an erase or write releases it first, as that erase or write would.
  void PrepareIdEntry() override { Unprotect(); }
  void QueueProgramByte(std::uint8_t data, const Program&) override;
  void Unprotect();
  // CE# low, the byte strobed in with WE#, CE# high.
  static void ChipCommand(std::uint8_t data);
  void Erase() override;
};

}  // namespace zelvar::memory
