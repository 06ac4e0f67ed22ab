#pragma once
// "SST29XF": 5 V 29F and 3.3 V 39LF/VF flash with the JEDEC unlock sequences: chip erase by the
// six-cycle sequence and a fixed wait, byte program with a speed-chosen program time.
#include <array>
#include <span>

#include "algorithms/memory/FlashSet.h"

namespace zelvar::memory {

class SST29XF final : public FlashSetOf<SST29XF> {
 public:
  static constexpr std::uint64_t kPins6To36No34 = SocketPins(6, 36, 34);
  static constexpr std::uint64_t kPins7To36No34 = SocketPins(7, 36, 34);
  static constexpr std::array<FlashType, 10> kTypes = {{
      {.name = "???"},
      {.name = "1: 29f256", .lastAddress = 0x7FFF, .vccMillivolts = 5000},
      // Chip pins 1, 2 (A16 on the larger parts) and 30 are not connected.
      {.name = "2: 29f512",
       .lastAddress = 0xFFFF,
       .contactMask = kPins7To36No34,
       .vccMillivolts = 5000},
      {.name = "3: 29F010",
       .lastAddress = 0x1FFFF,
       .contactMask = kPins6To36No34,
       .vccMillivolts = 5000},
      {.name = "4: 29F020",
       .lastAddress = 0x3FFFF,
       .contactMask = SocketPins(6, 36),
       .vccMillivolts = 5000},
      {.name = "5: 29F040",
       .lastAddress = 0x7FFFF,
       .contactMask = SocketPins(5, 36),
       .vccMillivolts = 5000},
      {.name = "6: 39LF/VF512",
       .lastAddress = 0xFFFF,
       .contactMask = kPins7To36No34,
       .vccMillivolts = 3300},
      {.name = "7: 39LF/VF010",
       .lastAddress = 0x1FFFF,
       .contactMask = kPins6To36No34,
       .vccMillivolts = 3300},
      {.name = "8: 39LF/VF020",
       .lastAddress = 0x3FFFF,
       .contactMask = SocketPins(6, 36),
       .vccMillivolts = 3300},
      {.name = "9: 39LF/VF040",
       .lastAddress = 0x7FFFF,
       .contactMask = SocketPins(5, 36),
       .vccMillivolts = 3300},
  }};
  // The SST39SF/VF and SST29SF datasheets give the software ID entry only.
  static constexpr FlashPolicy kPolicy{.vppMillivolts = 0,
                                       .initHardware = true,
                                       .write = FlashRange::Chosen,
                                       .verify = FlashRange::Chosen,
                                       .softwareId = true};
  // The erase time: 21 waits of 100 ms, longer than the parts' 100 ms chip erase.
  static constexpr int kEraseWaits = 21;

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
                                          "0FFFFFF",
                                          "$Radio1:01,写速度",
                                          "快",
                                          "正常",
                                          "慢",
                                          "$end"};
  std::span<const char* const> DescribeList() const override { return kList; }
  static constexpr int kOwnOps[] = {kOpErase};
  std::span<const int> OwnOperations() const override { return kOwnOps; }
  void QueueProgramByte(std::uint8_t data, const Program& p) override;
  void Erase() override;
};

}  // namespace zelvar::memory
