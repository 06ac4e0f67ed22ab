#pragma once
// "SST89C5X": the SST89C54 and SST89C58 in external host mode: 16 or 32 KB of block 0 and the
// 4 KB block 1 at F000H, VPP (5 V) on EA# while writing, and the re-map bits RB0 and RB1 beside the
// security bits.
#include <array>
#include <span>

#include "algorithms/mcs51/SST89E554.h"

namespace zelvar::mcs51 {

namespace sst89c5x {
constexpr const char* kDescribe[] = {"$Fonc:",    "21 Erase",     "22 Blank",
                                     "23 Write",  "24 Verify",    "26 Security",
                                     "$DisTool:", "25,29,30,31,", "$end"};
constexpr const char* kConfig[] = {"0: (只有一种类型)",
                                   "n=SB1(加密位1),l=1,v=1,a=0,b=0",
                                   "n=SB2(加密位2),l=1,v=1,a=0,b=1",
                                   "n=SB3(加密位3),l=1,v=1,a=0,b=2",
                                   "n=RB0,l=1,v=1,a=0,b=3",
                                   "n=RB1,l=1,v=1,a=0,b=4",
                                   "$end"};
constexpr SstBitCommand kSecurityBits[] = {{.bit = 0, .code = "1111"},
                                           {.bit = 1, .code = "0011"},
                                           {.bit = 2, .code = "0101"},
                                           {.bit = 3, .code = "1000"},
                                           {.bit = 4, .code = "1001"}};
constexpr int kOps[] = {kOpErase, kOpBlank, kOpWrite, kOpVerify, kOpLock, kOpRead, kOpReadId};
constexpr SstPolicy kPolicy{.vppForWrite = true};
}  // namespace sst89c5x

class SST89C5X final : public SstHostSet {
 public:
  static constexpr std::array<SstType, 3> kTypes = {{
      {.name = "Exit"},
      {.name = "1: SST89C54", .lastAddress = 0x3FFF, .block1Start = 0xF000, .block1Bytes = 0x1000},
      {.name = "2: SST89C58", .lastAddress = 0x7FFF, .block1Start = 0xF000, .block1Bytes = 0x1000},
  }};

 private:
  const SstType& Row() const { return kTypes[gApp.TypeIndex]; }
  std::uint32_t LastAddress() const override { return Row().lastAddress; }
  std::uint32_t DataStart() const override { return Row().block1Start; }
  std::uint32_t DataLength() const override { return Row().block1Bytes; }
  std::span<const char* const> DescribeList() const override { return sst89c5x::kDescribe; }
  std::span<const char* const> ConfigTable() const override { return sst89c5x::kConfig; }
  std::span<const int> Operations() const override { return sst89c5x::kOps; }
  const SstPolicy& Policy() const override { return sst89c5x::kPolicy; }
  std::span<const SstBitCommand> SecurityCommands() const override {
    return sst89c5x::kSecurityBits;
  }
  SstWalk Walk() const override { return InPlaceWalk(Row()); }

  // VPP at the rows' 5 V: Write routes it to EA/VPP, where 0 V would hold EA# low and refuse
  // every byte.
  void Init() override { SetUp(kTypes.size(), kPlcc44, 5000, kVpp); }
  static constexpr int kVpp = 5000;
};

}  // namespace zelvar::mcs51
