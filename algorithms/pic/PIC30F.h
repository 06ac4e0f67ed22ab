#pragma once
// "PIC30F": the dsPIC30F digital signal controllers through the maker's standard ICSP protocol:
// 24-bit instructions executed on the chip (SIX) and W registers read back through VISI
// (REGOUT), with the table-read, table-write and flash-unlock sequences of the dsPIC30F
// programming guide. One row serves every chip: the program size in address units
// ("fla=", two a 24-bit word), the data EEPROM in bytes ("ee="), the package ("pkg=" or "isp="),
// the supply ("vcc=") and the configuration group ("cfg=") come from the chip line.
//
// The buffer holds each instruction word as four bytes (bits 0-7, 8-15, 16-23, a pad 0), so
// address unit a lies at buffer byte 2a; the data EEPROM follows the code as 16-bit words, high
// byte first. The chip's addresses: code from 0, the data EEPROM at the top of page 7Fh,
// configuration registers at F8:0000-000C, the device ID at FF:0000 and FF:0002.
#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "algorithms/pic/McuSet.h"

namespace zelvar::pic {

namespace pic30f {
inline constexpr const char* kDescribe[] = {
    "$Fonc:",    "21 Erase",  "22 Blank",  "23 Write", "24 Verify",
    "32 WrData", "25 Config", "$DisTool:", "26,30,",   "$end"};
// Groups by "cfg=": 0 the motor-control parts, 1 (and 3) the parts with boot and secure
// segments, 2 the motor-control parts with FOSC2. "a=" is the register index 0-6.
inline constexpr const char* kConfig[] = {
    "0:",
    "n=FCKSM1,v=1,a=0,b=15",
    "n=FCKSM0,v=1,a=0,b=14",
    "n=FOSC1,v=1,a=0,b=9",
    "n=FOSC0,v=1,a=0,b=8",
    "n=FPR3,v=1,a=0,b=3",
    "n=FPR2,v=1,a=0,b=2",
    "n=FPR1,v=1,a=0,b=1",
    "n=FPR0,v=1,a=0,b=0",
    "n=FWDTEN,v=1,a=1,b=15",
    "n=FWPSA1,v=1,a=1,b=5",
    "n=FWPSA0,v=1,a=1,b=4",
    "n=FWPSB3,v=1,a=1,b=3",
    "n=FWPSB2,v=1,a=1,b=2",
    "n=FWPSB1,v=1,a=1,b=1",
    "n=FWPSB0,v=1,a=1,b=0",
    "n=MCRREN,v=1,a=2,b=15",
    "n=PWMPIN,v=1,a=2,b=10",
    "n=HPOL,v=1,a=2,b=9",
    "n=LPOL,v=1,a=2,b=8",
    "n=BOREN,l=1,v=1,a=2,b=7",
    "n=BORV1,v=1,a=2,b=5",
    "n=BORV0,v=1,a=2,b=4",
    "n=FPWRT1,v=1,a=2,b=1",
    "n=FPWRT0,v=1,a=2,b=0",
    "n=GCP (加密),v=1,a=5,b=1",
    "n=GWRP,v=1,a=5,b=0",
    "n=BKBUG,v=1,a=6,b=15",
    "n=COE,v=1,a=6,b=14",
    "n=ICS1,v=1,a=6,b=1",
    "n=ICS0,v=1,a=6,b=0",
    "1:",
    "n=FCKSM1,v=1,a=0,b=15",
    "n=FCKSM0,v=1,a=0,b=14",
    "n=FOSC1,v=1,a=0,b=9",
    "n=FOSC0,v=1,a=0,b=8",
    "n=FPR3,v=1,a=0,b=3",
    "n=FPR2,v=1,a=0,b=2",
    "n=FPR1,v=1,a=0,b=1",
    "n=FPR0,v=1,a=0,b=0",
    "n=FWDTEN,v=1,a=1,b=15",
    "n=FWPSA1,v=1,a=1,b=5",
    "n=FWPSA0,v=1,a=1,b=4",
    "n=FWPSB3,v=1,a=1,b=3",
    "n=FWPSB2,v=1,a=1,b=2",
    "n=FWPSB1,v=1,a=1,b=1",
    "n=FWPSB0,v=1,a=1,b=0",
    "n=MCRREN,v=1,a=2,b=15",
    "n=BOREN,l=1,v=1,a=2,b=7",
    "n=BORV1,v=1,a=2,b=5",
    "n=BORV0,v=1,a=2,b=4",
    "n=FPWRT1,v=1,a=2,b=1",
    "n=FPWRT0,v=1,a=2,b=0",
    "n=RBS1,v=1,a=3,b=13",
    "n=RBS0,v=1,a=3,b=12",
    "n=EBS-,v=1,a=3,b=8",
    "n=BSS2,v=1,a=3,b=3",
    "n=BSS1,v=1,a=3,b=2",
    "n=BSS0,v=1,a=3,b=1",
    "n=BWRP,v=1,a=3,b=0",
    "n=RSS1,v=1,a=4,b=13",
    "n=RSS0,v=1,a=4,b=12",
    "n=SSS2,v=1,a=4,b=3",
    "n=SSS1,v=1,a=4,b=2",
    "n=SSS0,v=1,a=4,b=1",
    "n=SWRP,v=1,a=4,b=0",
    "n=GCP (加密),v=1,a=5,b=1",
    "n=GWRP,v=1,a=5,b=0",
    "n=BKBUG,v=1,a=6,b=15",
    "n=COE,v=1,a=6,b=14",
    "n=ICS1,v=1,a=6,b=1",
    "n=ICS0,v=1,a=6,b=0",
    "2:",
    "n=FCKSM1,v=1,a=0,b=15",
    "n=FCKSM0,v=1,a=0,b=14",
    "n=FOSC2,v=1,a=0,b=10",
    "n=FOSC1,v=1,a=0,b=9",
    "n=FOSC0,v=1,a=0,b=8",
    "n=FPR3,v=1,a=0,b=3",
    "n=FPR2,v=1,a=0,b=2",
    "n=FPR1,v=1,a=0,b=1",
    "n=FPR0,v=1,a=0,b=0",
    "n=FWDTEN,v=1,a=1,b=15",
    "n=FWPSA1,v=1,a=1,b=5",
    "n=FWPSA0,v=1,a=1,b=4",
    "n=FWPSB3,v=1,a=1,b=3",
    "n=FWPSB2,v=1,a=1,b=2",
    "n=FWPSB1,v=1,a=1,b=1",
    "n=FWPSB0,v=1,a=1,b=0",
    "n=MCRREN,v=1,a=2,b=15",
    "n=PWMPIN,v=1,a=2,b=10",
    "n=HPOL,v=1,a=2,b=9",
    "n=LPOL,v=1,a=2,b=8",
    "n=BOREN,l=1,v=1,a=2,b=7",
    "n=BORV1,v=1,a=2,b=5",
    "n=BORV0,v=1,a=2,b=4",
    "n=FPWRT1,v=1,a=2,b=1",
    "n=FPWRT0,v=1,a=2,b=0",
    "n=GCP (加密),v=1,a=5,b=1",
    "n=GWRP,v=1,a=5,b=0",
    "n=BKBUG,v=1,a=6,b=15",
    "n=COE,v=1,a=6,b=14",
    "n=ICS1,v=1,a=6,b=1",
    "n=ICS0,v=1,a=6,b=0",
    "3:",
    "n=FCKSM1,v=1,a=0,b=15",
    "n=FCKSM0,v=1,a=0,b=14",
    "n=FOSC1,v=1,a=0,b=9",
    "n=FOSC0,v=1,a=0,b=8",
    "n=FPR3,v=1,a=0,b=3",
    "n=FPR2,v=1,a=0,b=2",
    "n=FPR1,v=1,a=0,b=1",
    "n=FPR0,v=1,a=0,b=0",
    "n=FWDTEN,v=1,a=1,b=15",
    "n=FWPSA1,v=1,a=1,b=5",
    "n=FWPSA0,v=1,a=1,b=4",
    "n=FWPSB3,v=1,a=1,b=3",
    "n=FWPSB2,v=1,a=1,b=2",
    "n=FWPSB1,v=1,a=1,b=1",
    "n=FWPSB0,v=1,a=1,b=0",
    "n=MCRREN,v=1,a=2,b=15",
    "n=BOREN,l=1,v=1,a=2,b=7",
    "n=BORV1,v=1,a=2,b=5",
    "n=BORV0,v=1,a=2,b=4",
    "n=FPWRT1,v=1,a=2,b=1",
    "n=FPWRT0,v=1,a=2,b=0",
    "n=RBS1,v=1,a=3,b=13",
    "n=RBS0,v=1,a=3,b=12",
    "n=EBS-,v=1,a=3,b=8",
    "n=BSS2,v=1,a=3,b=3",
    "n=BSS1,v=1,a=3,b=2",
    "n=BSS0,v=1,a=3,b=1",
    "n=BWRP,v=1,a=3,b=0",
    "n=RSS1,v=1,a=4,b=13",
    "n=RSS0,v=1,a=4,b=12",
    "n=SSS2,v=1,a=4,b=3",
    "n=SSS1,v=1,a=4,b=2",
    "n=SSS0,v=1,a=4,b=1",
    "n=SWRP,v=1,a=4,b=0",
    "n=GCP (加密),v=1,a=5,b=1",
    "n=GWRP,v=1,a=5,b=0",
    "n=BKBUG,v=1,a=6,b=15",
    "n=COE,v=1,a=6,b=14",
    "n=ICS1,v=1,a=6,b=1",
    "n=ICS0,v=1,a=6,b=0",
    "$end",
};

inline constexpr McuPackage kPackages[] = {
    {44, "pic30plcc44.bit", 22, 11, 10, 0},
    {45, "pic30qfp44.bit", 22, 11, 10, 0},
    {40, "pic30dip40.bit", 1, 32, 31, PinBits({1, 26, 31, 32})},
    {28, "pic30dip28.bit", 7, 26, 25, PinBits({7, 24, 25, 26})},
    {18, "pic30dip18.bit", 15, 25, 16, 0},
};
// The in-system header: VPP and VDD on their own lines, no socket ground, no contact test.
inline constexpr McuPackage kIsp{0, "pic30isp.bit", 21, 22, 0, 0};
inline constexpr const char* kIspLegend =
    "1----PGC(CLK)\n9----PGD(DATA)\n7----VDD(3.3~5V)\n8----MCLR(12.5V)\n2----VSS(GND)\nend";
inline constexpr int kOps[] = {kOpErase, kOpBlank,  kOpWrite,      kOpVerify,   kOpConfig,
                               kOpRead,  kOpReadId, kOpReadConfig, kOpReadData, kOpWriteData};
// MCLR at VIHH (9-13.25 V on these parts).
inline constexpr int kVppMillivolts = 12500;
}  // namespace pic30f

class PIC30F final : public McuSet {
 public:
  static constexpr int kFirstRow = 0;
  static constexpr std::array<McuType, 1> kTypes = {{{.name = "all"}}};
  static constexpr std::string_view kRequiredItems = "fla=";
  static void CheckRow(const McuType& t, TypeTableReport& r);

 private:
  std::span<const McuType> Types() const override { return kTypes; }
  std::span<const McuPackage> Packages() const override { return pic30f::kPackages; }
  const McuPackage* IspPackage() const override { return &pic30f::kIsp; }
  const char* IspLegend() const override { return pic30f::kIspLegend; }
  std::span<const int> Operations() const override { return pic30f::kOps; }
  std::span<const char* const> DescribeList() const override { return pic30f::kDescribe; }
  std::span<const char* const> ConfigTable() const override { return pic30f::kConfig; }
  void Init() override;
  // The last buffer byte of the code, and the data area behind it.
  std::uint32_t LastAddress() const override { return CodeBytes() - 1; }
  std::uint32_t DataStart() const override { return CodeBytes(); }
  std::uint32_t DataLength() const override { return dataSize_; }
  std::uint32_t CodeBytes() const { return static_cast<std::uint32_t>(row_.lastAddress + 1) * 2; }

  void Erase() override;
  void Blank() override;
  void Write() override;
  void Verify() override;
  void Config() override;
  void Read() override;
  void ReadId() override;
  void ReadConfig() override;
  void ReadData() override;
  void WriteData() override;

  // --- The engine's steps.
  void Send(std::uint8_t command, std::uint32_t data) const;
  void Six(std::uint32_t instruction) const;
  void Nops(int n) const;
  void Regout() const;
  void MovLiteral(std::uint32_t k, int w) const;
  void PcReset() const;
  void ReadPointer(std::uint32_t address) const;
  void ReadFourWords() const;
  void ReadSixteenWords() const;
  void WriteFourWords(const std::uint8_t* bytes) const;
  void SetNvmcon(std::uint16_t value) const;
  // The unlock, WR set, the wait, WR cleared; `nops` on each side of the wait.
  void FlashCycle(int nops, int ticks, bool settle = false) const;
  void Enter() const override;
  void ReadDeviceId();
  // The ID read all ones or all zeros: nothing answers.
  bool Silent() const;
  bool LineIdMatches() const;
  bool ChipCheck();
  bool CheckBeforeChange() override { return ChipCheck(); }
  void ConfigWrite(const std::array<std::uint16_t, 7>& registers);
  // Reads the code block of 16 words at address unit `a` into 64 buffer-form bytes.
  void ReadBlock(std::uint32_t a, std::uint8_t* dest) const;
  void ScanCode(Scan kind);

  std::uint32_t dataSize_ = 0;
  std::array<std::uint8_t, 4> deviceId_{};
  std::array<std::uint8_t, 64> configImage_{};
};

}  // namespace zelvar::pic
