#pragma once
// Microchip 12-bit-core PICs in their serial programming mode, from the makers' programming
// guides and data sheets: the flash PIC16F54/57, PIC12F508/509/510, PIC16F505/506 and
// PIC10F200/204/206, and the one-time-programmable PIC16C505 and PIC12C508/509 (with the
// PIC12CE518/519). What they share: the commands (6
// bits, least significant first, taken as the clock falls; only the low four bits decode, the
// upper two are don't-care), the 16-bit data field (start bit, 12 data bits and two don't-care
// bits, stop bit; read data driven from the second to the fifteenth rising edge, the two
// don't-care bits as 0), the configuration word ahead of word 0 and the four user-ID words after
// the program memory. Each sheet gives its pinout, size, implemented configuration bits, code
// protection bits, programming time and the factory oscillator calibration: a MOVLW 0xCxx in the
// last program word, and on the flash parts with a backup copy a second one right after the user
// IDs (word "words" + 4). Rules the sheets leave open, kept here:
// - Power: VDD at 2.0-5.5 V with the VSS pin grounded. The OTP parts take VIHH from 12.0 V, the
//   family's usual figure (the set-ups give 12.0 V).
// - Entry: VDD first, then MCLR from low into the sheet's VIHH window with clock and data low;
//   MCLR high on an unpowered chip harms it. The entry points the address at the configuration
//   word; one Increment Address moves it to word 0. The counter runs over twice the program
//   words and then wraps to word 0; words above the user IDs (and the backup calibration) read
//   as erased and take no programming. MCLR falling or VDD going ends the mode.
// - Programming: Load Data latches the word, Begin Programming starts the externally timed
//   cycle, End Programming ends it; the cell takes the latch's 0 bits (program only; on the OTP
//   part a bit never returns to 1) when at least the sheet's programming time passed (2 ms for
//   the flash parts, the 100 us pulse of the EPROM part), else it is unchanged. Any other command
//   during the cycle is a host fault. Configuration bits the part does not implement read as 1
//   and take nothing.
// - Bulk Erase (flash parts only): with the address at the configuration word it erases the
//   program memory, the calibration word in it included, and the configuration word; with it on
//   a user-ID word (or the backup calibration), the four user IDs and the backup calibration; in
//   the program memory, the program memory. It takes 10 ms; commands meanwhile are ignored, and
//   an erase cut short by leaving the mode erases nothing. The OTP part ignores the command.
// - Code protection: with a code protection bit at 0 the program memory reads as 0, except the
//   calibration word; the user IDs stay readable.
#include <array>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "sim/Programmer.h"

namespace zelvar::sim {

struct Pic12Sheet {
  std::string_view name;
  int pins = 18;
  int vdd = 14, vss = 5, mclr = 4, clock = 12, data = 13;  // chip pins
  std::uint32_t words = 512;
  std::uint16_t configBits = 0x00F;   // implemented configuration bits
  std::uint16_t protectBits = 0x008;  // code protection: any of them at 0
  std::uint16_t calibration = 0;      // the factory MOVLW in the last word; 0: none
  bool backupCalibration = false;     // a copy after the user IDs
  bool otp = false;
  double programUs = 2000;
  // VIHH: from VDD + `vihhAboveVdd` (when not 0) or `vihhMin`, up to `vihhMax`.
  int vihhMin = 12500, vihhMax = 13500, vihhAboveVdd = 0;
};

class Pic12Chip final : public ChipModel {
 public:
  explicit Pic12Chip(const Pic12Sheet& sheet);

  std::string Name() const override { return std::string(sheet_.name); }
  int PinCount() const override { return sheet_.pins; }
  std::vector<int> GroundPins() const override { return {sheet_.vss}; }
  int MaxMillivolts(int pin) const override { return pin == sheet_.mclr ? 14000 : 6500; }
  bool Powered(const Programmer& p) const override;
  void OnPins(Programmer& p) override;
  int Drive(int pin) const override;

  const Pic12Sheet& sheet() const { return sheet_; }
  // The configuration word as the chip reads it out.
  std::uint16_t ConfigRead() const {
    return static_cast<std::uint16_t>((config & sheet_.configBits) | (~sheet_.configBits & 0xFFF));
  }
  bool Protected() const { return (config & sheet_.protectBits) != sheet_.protectBits; }

  std::vector<std::uint16_t> code;
  std::array<std::uint16_t, 4> ids{0xFFF, 0xFFF, 0xFFF, 0xFFF};
  std::uint16_t config = 0xFFF;
  std::uint16_t backup = 0xFFF;  // the backup calibration word, where the part has one
  bool inMode = false;
  int entries = 0, erases = 0;
  double lastPulseUs = 0;  // Begin to End Programming of the last cycle

 private:
  enum class Phase { kCommand, kDataIn, kDataOut };
  enum class Work { kNone, kProgram, kErase };
  static constexpr std::uint32_t kAtConfig = 0xFFFFFFFF;

  int Level(const Programmer& p, int chipPin) const;
  bool MclrHigh(const Programmer& p) const;
  void Command(Programmer& p, std::uint8_t c);
  void Finish(Programmer& p, bool leaving);
  std::uint16_t ReadWord() const;
  std::uint16_t* Cell();

  Pic12Sheet sheet_;
  bool lastPowered_ = false, lastMclr_ = false;
  int lastClock_ = 0;
  Phase phase_ = Phase::kCommand;
  int count_ = 0;
  std::uint32_t shift_ = 0;
  bool loading_ = false;
  std::uint32_t pc_ = kAtConfig;
  std::uint16_t latch_ = 0xFFF, out_ = 0;
  bool driving_ = false;
  int outBit_ = 0;
  Work work_ = Work::kNone;
  double workStart_ = 0;
  std::uint32_t erasePc_ = 0;
};

// The part named by `chipName`, "" when none.
std::string_view Pic12PartOf(std::string_view chipName);
std::shared_ptr<Pic12Chip> MakePic12(std::string_view part);

}  // namespace zelvar::sim
