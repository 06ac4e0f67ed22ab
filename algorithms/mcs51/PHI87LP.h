#pragma once
// "PHI87LP": the one-time-programmable 87LPC760 (1 KB), 761 and 762 (2 KB) through the "lp76x"
// designs' byte shifter (command 47 a byte out, 48 a byte into the reply), RST at 10.8 V. Models
// 6300 and up take rows 11 on; row 10 is the ISP header, its legend by "pkg=". Every operation but
// Config and Read ID first reads the maker code at FC30 and refuses a chip without 0x15. The
// configuration word at FD00/FD01 carries the oscillator choice in bits 0 to 2 ("$Radio1:").
#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "algorithms/mcs51/Mcs51Set.h"

namespace zelvar::mcs51 {

// A row: caption, design, RST/VPP, VCC and ground pins, the last address when the chip line
// gives no "len=", and the contact pins.
struct Lp76xType {
  std::string_view name;
  const char* bitstream = nullptr;
  std::uint8_t vppPin = 0, vccPin = 0, groundPin = 0;
  std::uint32_t lastAddress = 0;
  std::uint64_t contactMask = 0;
};

void CheckLp76xRow(const Lp76xType& t, TypeTableReport& r);

namespace phi87lp {
constexpr const char* kDescribe[] = {"$Fonc:",
                                     "22 Blank",
                                     "23 Write",
                                     "24 Verify",
                                     "25 Config",
                                     "$DisTool:",
                                     "21,26,30,31,",
                                     "$Radio1:00,Osc(震荡方式)",
                                     "4-20MHZ",
                                     "100KHZ-4MHZ",
                                     "32-100KHZ",
                                     "RC(内部6MHZ)",
                                     "?",
                                     "?",
                                     "?",
                                     "Ext osc(外部振荡)",
                                     "$end"};
constexpr const char* kConfig[] = {"0: ",
                                   "n=6/12 clock,v=1,a=0,b=3",
                                   "n=BOV2.5,v=1,a=0,b=4",
                                   "n=PRHI,v=1,a=0,b=5",
                                   "n=RPD,v=1,a=0,b=6",
                                   "n=WDTE,v=1,a=0,b=7",
                                   "n=SB1(加密1),v=1,a=0,b=14",
                                   "n=SB2(加密2),v=1,a=0,b=15",
                                   "$end"};
constexpr int kOps[] = {kOpBlank, kOpWrite,  kOpVerify,    kOpConfig,
                        kOpRead,  kOpReadId, kOpReadConfig};
}  // namespace phi87lp

class PHI87LP final : public Mcs51Set {
 public:
  static void CheckRow(const Lp76xType& t, TypeTableReport& r) { CheckLp76xRow(t, r); }
  static constexpr std::array<Lp76xType, 14> kTypes = {{
      {},
      {.name = "1: P87LP760  (1k)",
       .bitstream = "lp76x.bit",
       .vppPin = 9,
       .vccPin = 30,
       .groundPin = 10,
       .lastAddress = 1023,
       .contactMask = 0xE0000300},
      {.name = "2: P87LP761  (2k)",
       .bitstream = "lp76x.bit",
       .vppPin = 9,
       .vccPin = 30,
       .groundPin = 10,
       .lastAddress = 2047,
       .contactMask = 0xE0000300},
      {.name = "3: P87LP762  (2k)",
       .bitstream = "lp76x.bit",
       .vppPin = 9,
       .vccPin = 30,
       .groundPin = 10,
       .lastAddress = 2047,
       .contactMask = 0xE0000300},
      {},
      {},
      {},
      {},
      {},
      {},
      {.name = "1: P87LP76x  (1k)", .bitstream = "lp76xpIsp.bit", .vppPin = 21, .vccPin = 22},
      {.name = "11: P87LP760  (1k)",
       .bitstream = "lp76xp16.bit",
       .vppPin = 15,
       .vccPin = 24,
       .groundPin = 16,
       .lastAddress = 1023,
       .contactMask = 0x0380C000},
      {.name = "12: P87LP761  (2k)",
       .bitstream = "lp76xp16.bit",
       .vppPin = 15,
       .vccPin = 24,
       .groundPin = 16,
       .lastAddress = 2047,
       .contactMask = 0x0380C000},
      {.name = "13: P87LP762  (2k)",
       .bitstream = "lp76xp20.bit",
       .vppPin = 14,
       .vccPin = 25,
       .groundPin = 15,
       .lastAddress = 2047,
       .contactMask = 0x07006000},
  }};

 private:
  const Lp76xType& Row() const { return kTypes[static_cast<std::size_t>(gApp.TypeIndex)]; }
  std::span<const char* const> DescribeList() const override { return phi87lp::kDescribe; }
  std::span<const char* const> ConfigTable() const override { return phi87lp::kConfig; }
  std::span<const int> Operations() const override { return phi87lp::kOps; }
  std::uint32_t LastAddress() const override { return lastAddress_; }

  void Init() override;
  void Blank() override;
  void Write() override;
  void Verify() override;
  void Config() override;
  void Read() override;
  void ReadId() override;
  void ReadConfig() override;

  void PowerUp() const;
  // Power-up, the maker code read, supplies off; false (logged, StatusWord 1) for another chip.
  bool ChipCheck();
  // Chip check, power-up at address `first` and the power check: the start of every range.
  bool Start(std::uint16_t first);
  bool Scan(Scan kind);

  std::uint32_t lastAddress_ = 0;
  std::uint16_t configWord_ = 0;
};

}  // namespace zelvar::mcs51
