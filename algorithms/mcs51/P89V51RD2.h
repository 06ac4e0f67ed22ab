#pragma once
// "P89V51RD2": the P89V51RB2/RC2/RD2 in external host mode. The buffer shows the chip as 72 KB:
// block 0 at 0..0xFFFF and the 8 KB boot block at 0x10000..0x11FFF. A row walks block 0 up to its
// jump-at address, then goes on at its jump-to address: the RB2 and RC2 rows at E000H of the
// chip (their boot block, in the map), the RD2 row at buffer 0x10000 after Select-Block1 (chip
// 0..0x1FFF). Read, Blank and Verify walk the same ranges as Write.
#include <algorithm>
#include <array>
#include <span>
#include <string_view>

#include "algorithms/mcs51/SstHostEngine.h"
#include "link/LinkState.h"
#include "services/AppState.h"

namespace zelvar::mcs51 {

// A row: Write runs while the address is below `end`; at `jumpAt` it goes on at `jumpTo` (at or
// past 0x10000: in block 1 behind the switch).
struct V51Type {
  std::string_view name;
  std::uint32_t end = 0;
  std::uint32_t jumpTo = 0;
  std::uint32_t jumpAt = 0;
};

namespace p89v51rd2 {
constexpr const char* kDescribe[] = {"$Fonc:",    "21 Erase", "22 Blank",  "23 Write",  "24 Verify",
                                     "25 Config", "26 Secu",  "$DisTool:", "29,30,31,", "$end"};
constexpr const char* kConfig[] = {"0: (只有一种类型)",
                                   "n=SB1(加密位1),v=1,l=1,b=0",
                                   "n=SB2(加密位2),v=1,l=1,b=1",
                                   "n=SB3(加密位3),v=1,l=1,b=2",
                                   "n=6/12 Clock,v=1,l=1,b=3",
                                   "n=User/Isp(复位启动),v=1,l=1,b=4",
                                   "$end"};
// "User/Isp" (SC0), "6/12 Clock", then SC1, which every Config sends.
constexpr SstBitCommand kConfigBits[] = {
    {.bit = 4, .code = "1001", .hasAddress = true, .address = 0x5A00},
    {.bit = 3, .code = "1000", .hasAddress = true, .address = 0x5500},
    {.bit = -1, .code = "1001", .hasAddress = true, .address = 0xAA00}};
constexpr int kOps[] = {kOpErase,  kOpBlank, kOpWrite, kOpVerify,
                        kOpConfig, kOpLock,  kOpRead,  kOpReadId};
constexpr SstPolicy kPolicy{};
constexpr std::uint32_t kBootBytes = 8192;
}  // namespace p89v51rd2

class P89V51RD2 final : public SstHostSet {
 public:
  // Row 1 names no chip: its jump-at 0 moves the walk to 61440 at once, past its end.
  static constexpr std::array<V51Type, 5> kTypes = {{
      {.name = "Exit"},
      {.name = "1: ", .end = 16383, .jumpTo = 61440, .jumpAt = 0},
      {.name = "2: P89V51RB2", .end = 65536, .jumpTo = 57344, .jumpAt = 16384},
      {.name = "3: P89V51RC2", .end = 65536, .jumpTo = 57344, .jumpAt = 32768},
      {.name = "4: P89V51RD2", .end = 73728, .jumpTo = 65536, .jumpAt = 65536},
  }};

  static void CheckRow(const V51Type& t, TypeTableReport& r) {
    ParallelSet::CheckRow({.name = t.name, .lastAddress = 0xFFFF}, r);
    if (t.end > 0x10000 + p89v51rd2::kBootBytes) r.Fault("end past the boot block");
    if (t.jumpAt > t.end || (t.jumpAt & 0xFF) != 0 || (t.jumpTo & 0xFF) != 0) {
      r.Fault("jump not on a 256-byte block");
    }
  }

 private:
  const V51Type& Row() const { return kTypes[gApp.TypeIndex]; }
  std::uint32_t LastAddress() const override { return 0xFFFF; }
  // The boot block where the row's walk puts it: E000H of the map on the RB2 and RC2.
  std::uint32_t DataStart() const override {
    return Row().jumpTo < kSstBlock1Buffer && Row().jumpAt > 0 ? Row().jumpTo : kSstBlock1Buffer;
  }
  std::uint32_t DataLength() const override { return p89v51rd2::kBootBytes; }
  std::span<const char* const> DescribeList() const override { return p89v51rd2::kDescribe; }
  std::span<const char* const> ConfigTable() const override { return p89v51rd2::kConfig; }
  std::span<const int> Operations() const override { return p89v51rd2::kOps; }
  const SstPolicy& Policy() const override { return p89v51rd2::kPolicy; }
  std::span<const SstBitCommand> ConfigCommands() const override { return p89v51rd2::kConfigBits; }

  // VCC on the package's pin (the PLCC44 adapter's too) at 5 V, inside the P89V51RB2/RC2/RD2
  // datasheet's 4.5-5.5 V on every model; VPP stays at 0.
  void Init() override { SetUp(kTypes.size(), kPlcc44, 5000, 0); }

  // The RB2 and RC2 hold nothing between their code and their boot block at E000H.
  bool HasHole() const { return Row().jumpAt > 0 && Row().jumpTo < kSstBlock1Buffer; }
  std::array<HeldSpan, 2> HeldSpans() const {
    return {{{0, Row().jumpAt - 1}, {Row().jumpTo, kSstBlock1Buffer - 1}}};
  }
  bool DataOutsideRow(bool verify) override {
    const HeldSpan window{0, kSstBlock1Buffer - 1};
    return HasHole() && DataOutsideChip({&window, 1}, HeldSpans(), verify);
  }
  void AfterRead() override {
    const HeldSpan window{0, kSstBlock1Buffer - 1};
    if (HasHole()) BlankOutsideChip({&window, 1}, HeldSpans());
  }

  // Write's walk: 0 up to the jump-at address, then from the jump-to address up to the end.
  SstWalk Walk() const override {
    const V51Type& t = Row();
    SstWalk w;
    if (t.jumpAt > 0) w.Add({.chip = 0, .buffer = 0, .bytes = std::min(t.jumpAt, t.end)});
    if (t.jumpTo < t.end && t.jumpAt < t.end) {
      const bool block1 = t.jumpTo >= 0x10000;
      w.Add({.chip = block1 ? t.jumpTo - 0x10000 : t.jumpTo,
             .buffer = t.jumpTo,
             .bytes = t.end - t.jumpTo,
             .block1 = block1});
    }
    return w;
  }
};

}  // namespace zelvar::mcs51
