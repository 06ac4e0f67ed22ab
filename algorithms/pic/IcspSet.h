#pragma once
// The 14-bit ICSP engine, once for every 14-bit flash PIC set, on the small-microcontroller
// frame. Program word n lies at buffer bytes 2n (low) and 2n + 1 (bits 8-13), the data EEPROM
// byte by byte from 0x4200. The engine drives the designs' commands 49 (chip command), 50 (chip
// command and a word read back) and 51 (chip command and a data word); it gives power-up and
// mode entry in the order a policy names, word programming, block reads of 32 or 16 words a
// reply, and the handlers built from them. A set gives its row table, its describe and config
// lists, an `IcspPolicy` (command codes as it sends them, power-up order, program wait, reply
// size, type check) and the steps in which its chips differ (its erase above all).
#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "algorithms/pic/McuSet.h"

namespace zelvar::pic {

using PicType = McuType;
using PicPackage = McuPackage;

// The DIP28 and DIP40 rows of the PIC16F87x and PIC16F7x tables.
constexpr PicType Dip28(std::string_view name, std::int32_t last, std::int32_t eeLast = 0) {
  return {.name = name,
          .vppPin = 7,
          .vccPin = 26,
          .groundPin = 25,
          .lastAddress = last,
          .eepromLast = eeLast,
          .contactMask = SocketPins(7, 34)};
}
constexpr PicType Dip40(std::string_view name, std::int32_t last, std::int32_t eeLast = 0) {
  return {.name = name,
          .vppPin = 1,
          .vccPin = 32,
          .groundPin = 31,
          .lastAddress = last,
          .eepromLast = eeLast,
          .contactMask = SocketPins(1, 40)};
}

// The PLCC44 and QFP44 adapters bring VPP, VDD and VSS to socket pins 22, 11 and 10.
inline constexpr PicPackage kPlcc44{.pkg = 44,
                                    .bitstream = "pic16plcc44.bit",
                                    .vppPin = 22,
                                    .vccPin = 11,
                                    .groundPin = 10,
                                    .contactMask = PinBits({10, 11, 16, 19, 22}),
                                    .picture = "p44b.bmp"};
inline constexpr PicPackage kQfp44{.pkg = 45,
                                   .bitstream = "pic16qfp44.bit",
                                   .vppPin = 22,
                                   .vccPin = 11,
                                   .groundPin = 10,
                                   .contactMask = PinBits({10, 11, 17, 20, 22}),
                                   .picture = "qfp44.bmp"};
inline constexpr PicPackage kPicDip40{40, "pic16dip40.bit", 1, 32, 31, SocketPins(1, 40)};
// Every pin of the 28-pin package, MCLR/VPP on pin 1 (socket pin 7) with them.
inline constexpr PicPackage kPicDip28{28, "pic16dip28.bit", 7, 26, 25, SocketPins(7, 34)};
inline constexpr PicPackage kPicDip18{18, "pic16dip18.bit", 15, 25, 16, SocketPins(12, 29)};
// The in-system header: VPP and VDD on its own lines, no socket ground, no contact test.
inline constexpr PicPackage kPicIsp{0, "pic16isp.bit", 21, 22, 0, 0};
inline constexpr const char* kIspLegend =
    "5----RB3(PGM)\n1----RB6(CLK)\n9----RB7(DATA)\n7----VDD(3.3~5V)\n8----MCLR(12.5V)\n"
    "2----VSS(GND)\nend";

// The order in which a handler's power-up brings the supplies: VDD and then VPP on MCLR (with
// the ground selected first where the set does so), or VPP first.
enum class PowerUp { kVddFirst, kGroundThenVddFirst, kVppFirst, kVppFirstGroundAtSetup };

// The chip command codes as a set sends them: with the don't-care bits set, or plain.
struct IcspCodes {
  std::uint8_t loadConfig, loadProgram, loadData, readProgram, readData, increment;
  std::uint8_t beginProgram;  // the word programming's begin
  std::uint8_t endProgram;    // 0: the set sends none
  std::uint8_t beginData;     // the data EEPROM byte's begin
  std::uint8_t endData = 0;   // 0: the set sends none
};
inline constexpr IcspCodes kDontCareCodes{0xF0, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0x18, 0, 0x18};

struct IcspPolicy {
  IcspCodes codes = kDontCareCodes;
  PowerUp powerUp = PowerUp::kVddFirst;
  int fixedTicks = 0;  // the program wait in ticks; 0: "dly=", or `defaultTicks` without it
  int defaultTicks = 1;
  std::uint8_t programWait = 26;  // the wait byte the program wait repeats
  int replyWords = 32;
  bool typeCheck = false;
  std::uint16_t readConfigLoad = 0x00FF;  // the data word of Read config's Load Configuration
  bool configToGrid = true;               // Read config puts ID and word into the grid
  bool offersIsp = true;                  // "isp=" chooses the in-system header
  std::uint16_t blankConfig = 0x3FFF;     // the configuration bits Blank wants erased
  bool keepsLastWord = false;             // the last word is the chip's calibration: Write skips it
  bool comparesLastWord = true;           // Blank and Verify compare the last word
  bool readOkLine = true;                 // Read ends with "OK"
  bool dataLine = true;                   // Read data ends with its line
};

// Checks a row by the frame's rules, and names the designs the set's packages load.
void CheckPicRow(const PicType& t, TypeTableReport& r);

class IcspSet : public McuSet {
 public:
  static void CheckRow(const PicType& t, TypeTableReport& r) { CheckPicRow(t, r); }

 protected:
  virtual const IcspPolicy& Policy() const = 0;
  std::span<const PicPackage> Packages() const override;
  const PicPackage* IspPackage() const override;
  const char* IspLegend() const override { return kIspLegend; }
  int SetupVccMillivolts() const override;

  void Blank() override;
  void Write() override;
  void Verify() override;
  void Config() override;
  void Read() override;
  void ReadConfig() override;
  void ReadData() override;
  void WriteData() override;

  // --- The engine's steps.
  static void Command(std::uint8_t c);
  static void ReadCommand(std::uint8_t c);
  static void Load(std::uint8_t c, std::uint16_t word);
  void PowerUpChip() const;
  // The programming-mode entry: power-up, VPP on MCLR, the ICSP mode register.
  void Enter() const override;
  void ProgramWord(std::uint16_t w) const;
  // Load Configuration with `load`, then eight words of configuration space into `words`.
  void ReadConfigSpace(std::uint16_t load, std::uint16_t* words, int count = 8) const;
  // The configuration word to write: the grid's word with every bit that has no row in the
  // chosen "cfg=" group left erased (1).
  std::uint16_t ConfigToWrite(int word = 0) const;
  // The configuration word Config writes; by default ConfigToWrite().
  virtual std::uint16_t ConfigWord() const { return ConfigToWrite(); }
  // Reads the configuration word back and fails when it is not `written`.
  bool ConfigReadsBack(std::uint16_t written);
  bool TypeMatches();
  bool CheckBeforeChange() override { return TypeMatches(); }
  void WriteIds(std::uint32_t id) const;
  virtual int ProgramTicks() const;
  // The last buffer byte Write (`write`), or Blank and Verify, reach.
  std::int32_t ScanLast(bool write) const;

  std::uint16_t keptId_ = 0xFFFF, keptConfig_ = 0x3FFF;

 private:
  bool ScanWords(bool blank);
};

}  // namespace zelvar::pic
