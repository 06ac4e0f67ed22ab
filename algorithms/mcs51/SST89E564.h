#pragma once
// "SST89E564": the SST89C54/C58, SST89E/V554RC and SST89E/V564RD in external host mode. Block 0
// is the code; block 1 is the data area at buffer 0x10000, reached by Select-Block1 beside a
// 64 KB block 0 and at its own addresses (F000H, E000H) on the smaller parts. The entry checks the
// maker byte 0xBF and refuses another chip; the walk keeps to the row (block 0 up to the row's
// last address, then block 1).
#include <array>
#include <cstdio>
#include <span>

#include "algorithms/mcs51/SstHostEngine.h"
#include "link/LinkState.h"
#include "link/Primitives.h"
#include "services/AppState.h"
#include "services/Messages.h"

namespace zelvar::mcs51 {

namespace sst89e564 {
constexpr const char* kDescribe[] = {"$Fonc:",    "21 Erase", "22 Blank",  "23 Write", "24 Verify",
                                     "25 Config", "26 Secu",  "$DisTool:", "30,31,",   "$end"};
constexpr const char* kConfig[] = {"0: (只有一种类型)",
                                   "n=SB1(加密位1),l=1,v=1,a=0,b=0",
                                   "n=SB2(加密位2),l=1,v=1,a=0,b=1",
                                   "n=SB3(加密位3),l=1,v=1,a=0,b=2",
                                   "n=SC0 (User/ISP),l=1,v=1,a=0,b=3",
                                   "n=6/12 clock,l=1,v=1,a=0,b=4",
                                   "$end"};
constexpr SstBitCommand kConfigBits[] = {
    {.bit = 3, .code = "1001", .hasAddress = true, .address = 0x5A00},
    {.bit = 4, .code = "1000", .hasAddress = true, .address = 0x5500}};
constexpr int kOps[] = {kOpErase, kOpBlank, kOpWrite,  kOpVerify,    kOpConfig,
                        kOpLock,  kOpRead,  kOpReadId, kOpReadConfig};
constexpr SstPolicy kPolicy{.checkedEntry = true, .signatureAtZero = true, .shortErase = true};
}  // namespace sst89e564

class SST89E564 final : public SstHostSet {
 public:
  // Rows 4 and 6: the 564RD's block 1 lies beside its 64 KB block 0, behind Select-Block1.
  static constexpr std::array<SstType, 7> kTypes = {{
      {.name = "Exit"},
      {.name = "1: SST89C54", .lastAddress = 0x3FFF, .block1Start = 0xF000, .block1Bytes = 0x1000},
      {.name = "2: SST89C58", .lastAddress = 0x7FFF, .block1Start = 0xF000, .block1Bytes = 0x1000},
      {.name = "3: SST89E554RC",
       .lastAddress = 0x7FFF,
       .block1Start = 0xE000,
       .block1Bytes = 0x2000},
      {.name = "4: SST89E564RD",
       .lastAddress = 0xFFFF,
       .block1Start = kSstBehindSwitch,
       .block1Bytes = 0x2000},
      {.name = "5: SST89V554RC",
       .lastAddress = 0x7FFF,
       .block1Start = 0xE000,
       .block1Bytes = 0x2000,
       .vccMillivolts = 3300},
      {.name = "6: SST89V564RD",
       .lastAddress = 0xFFFF,
       .block1Start = kSstBehindSwitch,
       .block1Bytes = 0x2000,
       .vccMillivolts = 3300},
  }};

 private:
  const SstType& Row() const { return kTypes[gApp.TypeIndex]; }
  std::uint32_t LastAddress() const override { return Row().lastAddress; }
  std::uint32_t DataStart() const override { return kSstBlock1Buffer; }
  std::uint32_t DataLength() const override { return Row().block1Bytes; }
  std::span<const char* const> DescribeList() const override { return sst89e564::kDescribe; }
  std::span<const char* const> ConfigTable() const override { return sst89e564::kConfig; }
  std::span<const int> Operations() const override { return sst89e564::kOps; }
  const SstPolicy& Policy() const override { return sst89e564::kPolicy; }
  std::span<const SstBitCommand> ConfigCommands() const override { return sst89e564::kConfigBits; }

  void Init() override { SetUp(kTypes.size(), kPlcc44, SstRowVcc(kTypes, gApp.TypeIndex), 5000); }

  SstWalk Walk() const override {
    const SstType& t = Row();
    SstWalk w;
    w.Add({.chip = 0, .buffer = 0, .bytes = t.lastAddress + 1});
    const bool behind = t.block1Start == kSstBehindSwitch;
    w.Add({.chip = behind ? 0 : t.block1Start,
           .buffer = kSstBlock1Buffer,
           .bytes = t.block1Bytes,
           .block1 = behind});
    return w;
  }

  // The Read-ID block's bytes 60H and 61H.
  void ReadConfig() override {
    if (!Enter()) return;
    const std::uint8_t* block = gLink.ScratchBuffer.data();
    char line[32];
    std::snprintf(line, sizeof line, "0x60=%02x,0x61=%02x", block[0x60], block[0x61]);
    AddMessageLine(line);
  }
};

}  // namespace zelvar::mcs51
