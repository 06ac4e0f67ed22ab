#pragma once
// "P18CXXX": the PIC18C EPROM and OTP parts (PIC18C242/252/442/452 and their 44-pin packages),
// programmed through the PIC18 4-bit command interface on the "pic18*" designs. One row serves
// every chip: the size ("fla=" bytes), the pulse length ("dly=" ticks), the package ("pkg="), the
// contact pins ("pm=") and the supply ("vcc=") come from the chip line. There is no erase (the
// windowed parts go under ultraviolet light), no data EEPROM and no ID check: a word is loaded
// with a table write, programmed by a NOP whose 4th clock is held for the pulse, and the pointer
// stepped on by a table write of FFFF. VPP is 13 V, the parts' programming voltage.
#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "algorithms/pic/McuSet.h"

namespace zelvar::pic {

namespace p18c {
// The configuration rows name the bits of the configuration bytes as the PIC18CXX2 data sheet
// numbers them (FOSC0 bit 0 of CONFIG1H, WDTEN bit 0 of CONFIG2H ...), so that each row's choice
// reaches its own bit.
inline constexpr const char* kDescribe[] = {
    "$Fonc:",    "22 Blank",  "23 Write",        "24 Verify",
    "25 Config", "$DisTool:", "21,26,28,30,31,", "$end"};
inline constexpr const char* kConfig[] = {"0: 18cxx2",
                                          "n=CP (加密),v=1,a=0,b=0",
                                          "n=CP (加密),v=1,a=0,b=1",
                                          "n=CP (加密),v=1,a=0,b=2",
                                          "n=CP (加密),v=1,a=0,b=3",
                                          "n=CP (加密),v=1,a=0,b=4",
                                          "n=CP (加密),v=1,a=0,b=5",
                                          "n=CP (加密),v=1,a=0,b=6",
                                          "n=CP (加密),v=1,a=0,b=7",
                                          "n=OSCSEN,v=1,a=1,b=5",
                                          "n=FOSC2,v=1,a=1,b=2",
                                          "n=FOSC1,v=1,a=1,b=1",
                                          "n=FOSC0,v=1,a=1,b=0",
                                          "n=BORV1,v=1,a=2,b=3",
                                          "n=BORV0,v=1,a=2,b=2",
                                          "n=BOREN,l=1,v=1,a=2,b=1",
                                          "n=PWRTEN,v=1,a=2,b=0",
                                          "n=WDTPS2,v=1,a=3,b=3",
                                          "n=WDTPS1,v=1,a=3,b=2",
                                          "n=WDTPS0,v=1,a=3,b=1",
                                          "n=WDTEN (看门狗),v=1,a=3,b=0,l=1",
                                          "n=CCP2MX (加密),v=1,a=5,b=0",
                                          "n=STVREN,v=1,a=6,b=0",
                                          "1: 18cxx8",
                                          "n=CP (加密),v=1,a=0,b=0",
                                          "n=CP (加密),v=1,a=0,b=1",
                                          "n=CP (加密),v=1,a=0,b=2",
                                          "n=CP (加密),v=1,a=0,b=3",
                                          "n=CP (加密),v=1,a=0,b=4",
                                          "n=CP (加密),v=1,a=0,b=5",
                                          "n=CP (加密),v=1,a=0,b=6",
                                          "n=CP (加密),v=1,a=0,b=7",
                                          "n=OSCSEN,v=1,a=1,b=5",
                                          "n=FOSC2,v=1,a=1,b=2",
                                          "n=FOSC1,v=1,a=1,b=1",
                                          "n=FOSC0,v=1,a=1,b=0",
                                          "n=BORV1,v=1,a=2,b=3",
                                          "n=BORV0,v=1,a=2,b=2",
                                          "n=BOREN,l=1,v=1,a=2,b=1",
                                          "n=PWRTEN,v=1,a=2,b=0",
                                          "n=WDTPS2,v=1,a=3,b=3",
                                          "n=WDTPS1,v=1,a=3,b=2",
                                          "n=WDTPS0,v=1,a=3,b=1",
                                          "n=WDTEN (看门狗),v=1,a=3,b=0,l=1",
                                          "n=rSTVREN,v=1,a=6,b=1",
                                          "2: 18c601",
                                          "n=CP (加密),v=1,a=0,b=0",
                                          "n=CP (加密),v=1,a=0,b=1",
                                          "n=CP (加密),v=1,a=0,b=2",
                                          "n=CP (加密),v=1,a=0,b=3",
                                          "n=CP (加密),v=1,a=0,b=4",
                                          "n=CP (加密),v=1,a=0,b=5",
                                          "n=CP (加密),v=1,a=0,b=6",
                                          "n=CP (加密),v=1,a=0,b=7",
                                          "n=FOSC1,v=1,a=1,b=1",
                                          "n=FOSC0,v=1,a=1,b=0",
                                          "n=BW,v=1,a=2,b=6",
                                          "n=PWRTEN,v=1,a=2,b=0",
                                          "n=WDTPS2,v=1,a=3,b=3",
                                          "n=WDTPS1,v=1,a=3,b=2",
                                          "n=WDTPS0,v=1,a=3,b=1",
                                          "n=WDTEN (看门狗),v=1,a=3,b=0,l=1",
                                          "n=STVREN,v=1,a=6,b=0",
                                          "$end"};
inline constexpr int kOps[] = {kOpBlank, kOpWrite, kOpVerify, kOpConfig, kOpRead, kOpReadConfig};
// The packages by "pkg=": the contact pins come from "pm=", not the package. The QFP44 adapter
// and the DIP28 seat take the pins and design the PIC18F sets use for them.
inline constexpr McuPackage kPackages[] = {
    {.pkg = 44,
     .bitstream = "pic18plcc44.bit",
     .vppPin = 22,
     .vccPin = 11,
     .groundPin = 10,
     .picture = "p44b.bmp"},
    {45, "pic18tqfp44.bit", 22, 11, 10},
    {40, "pic18dip40.bit", 1, 32, 31},
    {28, "pic18dip28.bit", 7, 26, 25},
    {29, "pic18f2331dip28.bit", 7, 26, 25},
    {18, "pic18dip18.bit", 15, 25, 16},
};
// The contact pins by "pm=" (0-8; a value beyond the table: none).
inline constexpr std::array<std::uint64_t, 9> kContact = {
    0,
    // Every pin of the 28- and 40-pin packages: RB7/PGD is their last pin.
    SocketPins(7, 34), SocketPins(1, 40),
    SocketPins(1, 15, 4) | SocketPins(17, 19) | SocketPins(22, 42, 37) | PinBits({44}), 0, 0, 0, 0,
    0};
inline constexpr int kVppMillivolts = 13000;
}  // namespace p18c

class P18CXXX final : public McuSet {
 public:
  static constexpr int kFirstRow = 0;
  static constexpr std::array<McuType, 1> kTypes = {{{.name = "all"}}};
  static constexpr std::string_view kRequiredItems = "fla=";
  static void CheckRow(const McuType& t, TypeTableReport& r);

 private:
  std::span<const McuType> Types() const override { return kTypes; }
  std::span<const McuPackage> Packages() const override { return p18c::kPackages; }
  std::span<const int> Operations() const override { return p18c::kOps; }
  std::span<const char* const> DescribeList() const override { return p18c::kDescribe; }
  std::span<const char* const> ConfigTable() const override { return p18c::kConfig; }
  void Init() override;
  std::uint32_t DataStart() const override { return kDataStart; }
  std::uint32_t DataLength() const override { return 0; }

  void Blank() override;
  void Write() override;
  void Verify() override;
  void Config() override;
  void Read() override;
  void ReadConfig() override;

  // --- The engine's steps.
  void Send(std::uint8_t command, std::uint16_t operand) const;
  void ClockIn(std::uint8_t command) const;
  void TablePointer(std::uint32_t address) const;
  // The program pulse: a NOP whose 4th clock is held for the delay count's ticks.
  void Pulse() const;
  // Loads, pulses and steps past the word at TBLPTR.
  void ProgramWord(std::uint8_t low, std::uint8_t high) const;
  void Enter() const override;
  bool ScanCode(Scan kind);
};

}  // namespace zelvar::pic
