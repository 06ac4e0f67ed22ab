#pragma once
// The PIC16C5x parallel program/verify engine, once for "P16C54" (PIC16C54/56/58, 18-pin DIP on
// "pic16c54dip18.bit") and "P16C57" (PIC16C55/57, 28-pin DIP on "pic16c57dip28.bit"). The chips
// have no serial interface: the word goes over their port pins (FPGA registers 16 and 17 carry
// bits 0-3 and 4-11), line 3 pulses the address on to the next word, line 2 low is the
// programming pulse, line 1 lets the data pins go for a read and line 4 holds the control
// inputs low while VPP comes up. The address starts at the configuration word; the four user-ID
// words follow the program memory. One pulse a word, no erase (the chips are OTP in the socket).
// A set gives its rows, its package and the few points where it differs (`ParallelPolicy`).
#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "algorithms/pic/McuSet.h"

namespace zelvar::pic {

namespace pic16c5x_sets {
inline constexpr int kOps[] = {kOpBlank, kOpWrite, kOpVerify, kOpConfig, kOpRead, kOpReadConfig};
struct ParallelPolicy {
  bool secondWriteSettle = true;  // Write waits once more after VPP is up
  bool readSettle = false;        // Read waits after VPP is up
  bool idLine = false;            // Read config logs "ID=" in place of "UserInfo="
};
inline constexpr const char* kConfig[] = {"0: (只有一种类型)", "n=WDTE(看门狗),l=1,v=1,a=0,b=2",
                                          "n=Security(加密位),v=1,a=0,b=3", "$end"};
}  // namespace pic16c5x_sets

class ParallelEpromSet : public McuSet {
 protected:
  virtual const pic16c5x_sets::ParallelPolicy& Parallel() const = 0;
  // The 100 us steps of a program word's pulse.
  virtual int PulseSteps() const { return 2; }

  bool SizesFromLine() const override { return false; }
  // "vcc=", 4.4 V below 2.5 V; "vpp=", 12.5 V below 10 V.
  int SetupVccMillivolts() const override;
  int SetupVppMillivolts() const override;
  std::span<const int> Operations() const override { return pic16c5x_sets::kOps; }
  std::span<const char* const> ConfigTable() const override { return pic16c5x_sets::kConfig; }
  void Enter() const override { EnterMode(true); }

  void Blank() override;
  void Write() override;
  void Verify() override;
  void Config() override;
  void Read() override;
  void ReadConfig() override;

  // --- The engine's steps.
  void PowerUp() const;
  // Power-up, the data direction (`reading`: the design lets the pins go), VPP with the control
  // inputs held low, then released.
  void EnterMode(bool reading) const;
  static void ReadNext();
  static void AddressPulse();
  void ProgramWord(std::uint16_t w) const;
  static void ProgramShort(std::uint16_t w);
  // The configuration word Config writes: rows' bits (the others 1), the oscillator from the
  // radio in bits 0-1.
  std::uint16_t ConfigWord() const;
  std::uint32_t Words() const { return static_cast<std::uint32_t>(row_.lastAddress + 1) / 2; }

 private:
  bool ScanWords(bool blank);
  bool ConfigReadsBack(std::uint16_t written);
};

namespace p16c54 {
inline constexpr pic16c5x_sets::ParallelPolicy kPolicy{};
inline constexpr McuPackage kPackages[] = {
    {18, "pic16c54dip18.bit", 15, 25, 16, SocketPins(12, 29)}};
constexpr McuType Row(std::string_view name, std::int32_t last) {
  return {.name = name,
          .vppPin = 15,
          .vccPin = 25,
          .groundPin = 16,
          .lastAddress = last,
          .contactMask = SocketPins(12, 29)};
}
inline constexpr const char* kDescribe[] = {"$Fonc:",
                                            "22 Blank",
                                            "23 Write",
                                            "24 Verify",
                                            "25 Config",
                                            "$DisTool:",
                                            "21,26,28,30,31,",
                                            "$Gridw:Option",
                                            "User.ID(用户信息)",
                                            "FFFF",
                                            "$Radio1:01,Osc(震荡方式)",
                                            "LP(低频晶震)",
                                            "XT(普通晶震)",
                                            "HS(高频晶震)",
                                            "RC(阻容振荡)",
                                            "$end"};
}  // namespace p16c54

namespace p16c57 {
inline constexpr pic16c5x_sets::ParallelPolicy kPolicy{
    .secondWriteSettle = false, .readSettle = true, .idLine = true};
// The 28-pin chip from socket pin 7: VDD 8, VSS 10, MCLR 34; chip pins 3 and 5 are not
// connected, so socket pins 9 and 11 have no contact to check.
inline constexpr std::uint64_t kContacts = PinBits({7, 8, 10}) | SocketPins(12, 34);
inline constexpr McuPackage kPackages[] = {{28, "pic16c57dip28.bit", 34, 8, 10, kContacts}};
constexpr McuType Row(std::string_view name, std::int32_t last) {
  return {.name = name,
          .vppPin = 34,
          .vccPin = 8,
          .groundPin = 10,
          .lastAddress = last,
          .contactMask = kContacts};
}
inline constexpr const char* kDescribe[] = {"$Fonc:",
                                            "22 Blank",
                                            "23 Write",
                                            "24 Verify",
                                            "25 Config",
                                            "$DisTool:",
                                            "21,26,28,30,31,",
                                            "$Gridw:Option",
                                            "User.ID(用户信息)",
                                            "FFFF",
                                            "$Radio1:01,Osc(震荡方式)",
                                            "LP(低频晶震)",
                                            "XT(普通晶震)",
                                            "HS(高频晶震)",
                                            "RC(阻容振荡)",
                                            "$Radio2:00,Speed(写速度)",
                                            "100 uS",
                                            "200 uS",
                                            "300 uS",
                                            "$end"};
}  // namespace p16c57

class P16C54 final : public ParallelEpromSet {
 public:
  static constexpr std::array<McuType, 4> kTypes = {{
      {.name = "Exit"},
      p16c54::Row("1: PIC16C54 (512)", 1023),
      p16c54::Row("2: PIC16C56 (1K)", 2047),
      p16c54::Row("3: PIC16C58 (2K)", 4095),
  }};
  static void CheckRow(const McuType& t, TypeTableReport& r) {
    CheckMcuRow(t, r);
    r.bitstreams.emplace_back(p16c54::kPackages[0].bitstream);
  }

 private:
  const pic16c5x_sets::ParallelPolicy& Parallel() const override { return p16c54::kPolicy; }
  std::span<const McuType> Types() const override { return kTypes; }
  std::span<const McuPackage> Packages() const override { return p16c54::kPackages; }
  std::span<const char* const> DescribeList() const override { return p16c54::kDescribe; }
};

class P16C57 final : public ParallelEpromSet {
 public:
  static constexpr std::array<McuType, 3> kTypes = {{
      {.name = "Exit"},
      p16c57::Row("4: PIC16C55 (512)", 1023),
      p16c57::Row("5: PIC16C57 (2k)", 4095),
  }};
  static void CheckRow(const McuType& t, TypeTableReport& r) {
    CheckMcuRow(t, r);
    r.bitstreams.emplace_back(p16c57::kPackages[0].bitstream);
  }

 private:
  const pic16c5x_sets::ParallelPolicy& Parallel() const override { return p16c57::kPolicy; }
  std::span<const McuType> Types() const override { return kTypes; }
  std::span<const McuPackage> Packages() const override { return p16c57::kPackages; }
  std::span<const char* const> DescribeList() const override { return p16c57::kDescribe; }
  // "100 uS", "200 uS", "300 uS".
  int PulseSteps() const override;
};

}  // namespace zelvar::pic
