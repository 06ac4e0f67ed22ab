#pragma once
// "SST89E554": the SST89E5xRD, SST89E/V554RC and SST89E/V564RD in external host mode without the
// block switch: block 0 from 0 to the row's last address and block 1 at its own chip address, both
// at the same buffer addresses. The 564RD rows (4 and 6) reach block 0 only: their block 1 lies
// beside the 64 KB block 0 behind Select-Block1, which this set does not send, so they have no
// data area (the "SST89E564" set reaches it).
#include <array>
#include <span>

#include "algorithms/mcs51/SstHostEngine.h"
#include "services/AppState.h"

namespace zelvar::mcs51 {

namespace sst89e554 {
constexpr const char* kDescribe[] = {"$Fonc:",    "21 Erase", "22 Blank",  "25 Config", "23 Write",
                                     "24 Verify", "26 Secu",  "$DisTool:", "29,30,31,", "$end"};
constexpr const char* kConfig[] = {"0: (只有一种类型)",
                                   "n=SB1(加密位1),l=1,v=1,a=0,b=0",
                                   "n=SB2(加密位2),l=1,v=1,a=0,b=1",
                                   "n=SB3(加密位3),l=1,v=1,a=0,b=2",
                                   "n=SC0 (User/ISP),l=1,v=1,a=0,b=3",
                                   "n=SC0 (User/ISP),l=1,v=1,a=0,b=4",
                                   "n=6/12 clock,l=1,v=1,a=0,b=5",
                                   "$end"};
constexpr SstBitCommand kConfigBits[] = {
    {.bit = 3, .code = "1001", .hasAddress = true, .address = 0x5A00},
    {.bit = 4, .code = "1001", .hasAddress = true, .address = 0xAA00},
    {.bit = 5, .code = "1000", .hasAddress = true, .address = 0x5500}};
constexpr int kOps[] = {kOpErase,  kOpBlank, kOpWrite, kOpVerify,
                        kOpConfig, kOpLock,  kOpRead,  kOpReadId};
constexpr SstPolicy kPolicy{};
}  // namespace sst89e554

// Block 0 from 0 to the row's last address, then block 1 at its chip address when the set reaches
// it; buffer addresses are chip addresses.
inline SstWalk InPlaceWalk(const SstType& t) {
  SstWalk w;
  w.Add({.chip = 0, .buffer = 0, .bytes = t.lastAddress + 1});
  if (t.block1Start <= 0xFFFF) {
    w.Add({.chip = t.block1Start, .buffer = t.block1Start, .bytes = t.block1Bytes});
  }
  return w;
}

class SST89E554 final : public SstHostSet {
 public:
  static constexpr int kFirstRow = 0;
  static constexpr std::array<SstType, 7> kTypes = {{
      {.name = "0: SST89E51RD", .lastAddress = 0xFFF, .block1Start = 0xE000, .block1Bytes = 0x2000},
      {.name = "1: SST89E52RD",
       .lastAddress = 0x1FFF,
       .block1Start = 0xE000,
       .block1Bytes = 0x2000},
      {.name = "2: SST89E54RD",
       .lastAddress = 0x3FFF,
       .block1Start = 0xE000,
       .block1Bytes = 0x2000},
      {.name = "3: SST89E554RC",
       .lastAddress = 0x7FFF,
       .block1Start = 0xE000,
       .block1Bytes = 0x2000},
      {.name = "4: SST89E564RD", .lastAddress = 0xFFFF, .block1Start = kSstNoBlock1},
      {.name = "5: SST89V554RC",
       .lastAddress = 0x7FFF,
       .block1Start = 0xE000,
       .block1Bytes = 0x2000,
       .vccMillivolts = 3300},
      {.name = "6: SST89V564RD",
       .lastAddress = 0xFFFF,
       .block1Start = kSstNoBlock1,
       .vccMillivolts = 3300},
  }};

 private:
  const SstType& Row() const { return kTypes[gApp.TypeIndex]; }
  bool HasData() const { return Row().block1Start <= 0xFFFF; }
  std::uint32_t LastAddress() const override { return Row().lastAddress; }
  std::uint32_t DataStart() const override { return HasData() ? Row().block1Start : 0; }
  std::uint32_t DataLength() const override { return HasData() ? Row().block1Bytes : 0; }
  std::span<const char* const> DescribeList() const override { return sst89e554::kDescribe; }
  std::span<const char* const> ConfigTable() const override { return sst89e554::kConfig; }
  std::span<const int> Operations() const override { return sst89e554::kOps; }
  const SstPolicy& Policy() const override { return sst89e554::kPolicy; }
  std::span<const SstBitCommand> ConfigCommands() const override { return sst89e554::kConfigBits; }
  SstWalk Walk() const override { return InPlaceWalk(Row()); }

  void Init() override {
    SetUp(kTypes.size(), kPlcc44, SstRowVcc(kTypes, gApp.TypeIndex), 0, kFirstRow);
  }
};

}  // namespace zelvar::mcs51
