#pragma once
// "STC12CX": the STC12C 20-, 28- and 32-pin flash 8051s in their byte-wide programming mode: port
// 1 the bus, line 7 its strobe, control codes on the bus while line 6 is high, an eight-byte entry
// code. The row gives the size ("len=" overrides it), "pkg=" the package and its design; a
// package the set has no design for is refused. The configuration bytes sit at F000 to F003 (F001
// in word 64, the others in words 0 to 2).
#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "algorithms/mcs51/Mcs51Set.h"

namespace zelvar::mcs51 {

struct StcType {
  std::string_view name;
  std::uint32_t lastAddress = 0;
};

void CheckStcRow(const StcType& t, TypeTableReport& r);

namespace stc12cx {
// The list names Config by its own operation, 25.
constexpr const char* kDescribe[] = {"$Fonc:",       "21 Erase",     "22 Blank",
                                     "23 Write",     "24 Verify",    "25 Config",
                                     "$DisTool:",    "26,28,30,31,", "$Radio1:00,Isp Space",
                                     "0K ISP Space", "1K ISP Space", "2K ISP Space",
                                     "4K ISP Space", "$end"};
constexpr const char* kConfig[] = {"0: (只有一种类型)",
                                   "n=Lock,v=1,a=0,b=0",
                                   "n=SB,v=1,a=0,b=1",
                                   "n=HWBS,v=1,a=0,b=3",
                                   "n=ISPAS0,v=1,a=0,b=4,c=1,m=01",
                                   "n=ISPAS1,v=0,a=0,b=5,c=1,m=02",
                                   "n=ENLVR,v=1,a=0,b=6",
                                   "n=LVFWP,v=1,a=0,b=7",
                                   "n=ENROSC,v=1,a=1,b=1",
                                   "n=HWBS2,v=1,a=1,b=5",
                                   "n=OSCDN,v=1,a=1,b=6",
                                   "n=HWPS0,v=1,a=2,b=0",
                                   "n=HWPS1,v=1,a=2,b=1",
                                   "n=HWPS2,v=1,a=2,b=2",
                                   "n=HWWIDL,v=1,a=2,b=3",
                                   "n=HWENW,v=1,a=2,b=5",
                                   "$end"};
constexpr int kOps[] = {kOpErase, kOpBlank, kOpWrite, kOpVerify, kOpConfig, kOpRead, kOpReadConfig};
}  // namespace stc12cx

class STC12CX final : public Mcs51Set {
 public:
  static void CheckRow(const StcType& t, TypeTableReport& r) { CheckStcRow(t, r); }
  static constexpr std::array<StcType, 6> kTypes = {{
      {.name = "Exit"},
      {.name = "STC12C1052", .lastAddress = 0xFFF},
      {.name = "STC12C2052", .lastAddress = 0x1FFF},
      {.name = "STC12C3052", .lastAddress = 0x2FFF},
      {.name = "STC12C4052", .lastAddress = 0x3FFF},
      {.name = "STC12C5052", .lastAddress = 0x4FFF},
  }};
  static constexpr std::string_view kRequiredItems = "pkg=";

 private:
  std::span<const char* const> DescribeList() const override { return stc12cx::kDescribe; }
  std::span<const char* const> ConfigTable() const override { return stc12cx::kConfig; }
  std::span<const int> Operations() const override { return stc12cx::kOps; }
  std::uint32_t LastAddress() const override { return lastAddress_; }

  void Init() override;
  void Erase() override;
  void Blank() override;
  void Write() override;
  void Verify() override;
  void Config() override;
  void Read() override;
  void ReadConfig() override;

  bool Scan(Scan kind);

  std::uint32_t lastAddress_ = 0;
};

}  // namespace zelvar::mcs51
