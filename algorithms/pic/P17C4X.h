#pragma once
// "P17C4X": the PIC17C4x EPROM and OTP parts (PIC17C42A, PIC17C43, PIC17C44), programmed a word
// at a time through the "pic17*" designs: FPGA register 18 names a line (bit 7 its level), ports
// 0 and 1 are the high and low bus latches. Line 4 high drives the latches onto the chip's bus and
// latches an address at the clock (line 3); three clocks with line 4 low step to the next word,
// the chip putting the word out after the first (commands 2 and 1 take its low and high byte);
// line 2 is the program pulse; line 5 the mode line, raised before VPP and dropped at the end.
// One row serves every chip: the size ("fla=" words), the package ("pkg="), the contact pins
// ("pm=") and the supply ("vcc=") come from the chip line; VPP is 13 V.
//
// The configuration bits sit one a location at FE00h-FE0Fh, programmed by a pulse each: FOSC1:0
// from option word 0 (the oscillator radio), WDTPS1:0, PM0, bit 5, PM1 and PM2 from option word 1
// (the postscaler radio and the grid rows that name word 1). The option words hold the chip's own
// bits, as Read config gives them and as the radios' items are ordered (LF 00 ... EC 11, WDT off
// 00 ... postscaler 1 11): a bit at 0 programs its location, a bit at 1 leaves it erased.
#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "algorithms/pic/McuSet.h"

namespace zelvar::pic {

namespace p17 {
inline constexpr const char* kDescribe[] = {"$Fonc:",
                                            "22 Blank",
                                            "23 Write",
                                            "24 Verify",
                                            "25 WtConfig",
                                            "$DisTool:",
                                            "21,26,28,30,31,",
                                            "$Radio1:03, Oscillator(震荡方式)",
                                            "LF",
                                            "RC",
                                            "XT",
                                            "EC",
                                            "$Radio2:03,WDT Postscaler",
                                            "disabled,16-bit",
                                            "enabled,post=64",
                                            "enabled,post=256",
                                            "enabled,post=1",
                                            "$end"};
inline constexpr const char* kConfig[] = {"0: No config",
                                          "n=FOSC0,v=1,a=0,b=0,c=1,m=0x01",
                                          "n=FOSC1,v=1,a=0,b=1,c=1,m=0x02",
                                          "n=WDTBS0,v=1,a=1,b=2,c=2,m=0x01",
                                          "n=WDTBS1,v=1,a=1,b=3,c=2,m=0x02",
                                          "n=PM0,v=1,a=1,b=4",
                                          "n=-,v=1,a=1,b=5",
                                          "n=PM1,v=1,a=1,b=6",
                                          "n=PM2,v=1,a=1,b=15",
                                          "$end"};
inline constexpr int kOps[] = {kOpBlank, kOpWrite, kOpVerify, kOpConfig, kOpRead, kOpReadConfig};
// "pkg=" 40 seats the chip turned half round on models below 6300 (pin 1 in socket pin 21) and
// upright from socket pin 1 on models 6300 and up.
inline constexpr McuPackage kPackages[] = {
    {.pkg = 40,
     .bitstream = "pic17dip40.bit",
     .vppPin = 12,
     .vccPin = 21,
     .groundPin = 30,
     .placeRow = 1,
     .placePins = 40,
     .pin1Side = 1},
    {.pkg = 45,
     .bitstream = "pic17TQFP44.bit",
     .vppPin = 11,
     .vccPin = 21,
     .groundPin = 31,
     .picture = "qfp44.bmp"},
    {.pkg = 44,
     .bitstream = "pic17PLCC44.bit",
     .vppPin = 33,
     .vccPin = 42,
     .groundPin = 31,
     .picture = "p44.bmp"},
};
inline constexpr McuPackage kPackages6300[] = {
    {40, "pic17dip40std.bit", 32, 1, 10},
    kPackages[1],
    kPackages[2],
};
inline constexpr std::array<std::uint64_t, 9> kContact = {
    0,
    SocketPins(7, 33),
    SocketPins(1, 40),
    SocketPins(1, 21) | SocketPins(23, 42) | PinBits({47, 48}),
    0,
    0,
    0,
    0,
    0};
inline constexpr int kVppMillivolts = 13000;
inline constexpr std::uint16_t kConfigAddress = 0xFE00;
}  // namespace p17

class P17C4X final : public McuSet {
 public:
  static constexpr int kFirstRow = 0;
  static constexpr std::array<McuType, 1> kTypes = {{{.name = "PIC17c all"}}};
  static constexpr std::string_view kRequiredItems = "fla=";
  static void CheckRow(const McuType& t, TypeTableReport& r);

  // The sixteen configuration locations' program flags from option words 0 and 1 (true pulses
  // the location): a bit at 0 is programmed; the reserved locations 7-14 are always pulsed.
  static std::array<bool, 16> ConfigFlags(std::uint32_t word0, std::uint32_t word1);

 private:
  std::span<const McuType> Types() const override { return kTypes; }
  std::span<const McuPackage> Packages() const override;
  std::span<const int> Operations() const override { return p17::kOps; }
  std::span<const char* const> DescribeList() const override { return p17::kDescribe; }
  std::span<const char* const> ConfigTable() const override { return p17::kConfig; }
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
  static void Strobe(std::uint8_t line, int times);
  static void SetAddress(std::uint16_t address);
  // Reads the word at the address into the next reply (low byte first) and steps to the next.
  static void ReadWord();
  void Enter() const override;
  // Power-up, address 0 and the words in blocks of 64 bytes; the mode line dropped at the end.
  bool ScanCode(Scan kind);
};

}  // namespace zelvar::pic
