#pragma once
// The engine of the JTAG CPLD sets ("XC95X", "C8051JTAG", "LATTICEJTAG"): register shifts through
// the JTAG designs' command 79, the register-18 lines (TCK, drive enable, TMS), waits and clock
// pulses, the chip start, and the refusals and power-down the three sets share. The sets differ
// by a `JtagFlavour` (how a shift ends, how register values are written as hex text), not by
// copies of the engine. Their fuse map is the JEDEC text of the large-PLD window (view kind 2).
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "algorithms/TypeRules.h"
#include "algorithms/memory/SerialSet.h"

namespace zelvar::memory {

// One type row of a JTAG set: the socket types power the chip on `vccPin`; the in-system rows
// (VCC pin 0) reach a chip on the user's board through the 10-pin header.
struct JtagType {
  std::string_view name{};
  std::string_view bitstream{};  // empty: the row has no design and is refused at set-up
  std::uint8_t vccPin = 0;
  std::uint8_t groundPin = 0;
  std::uint32_t lastFuse = 0;  // the end of the block loop
  std::uint64_t contactMask = 0;
};

// The rules of a JTAG row: a socket row has distinct VCC and ground pins on the 48-pin socket, its
// contact mask holds the ground pin and stays on the socket; an in-system row names no pins and no
// mask.
void CheckJtagRow(const JtagType& t, TypeTableReport& r);

// What differs between the sets' shifts.
struct JtagFlavour {
  std::uint8_t shiftEnd = 12;  // the end code of command 79, 15
  bool digitHex = false;       // hex text one digit per 4 bits (else two digits per byte)
};

// Shift modes.
inline constexpr int kIr = 1, kDr = 2, kIrRead = 3, kDrRead = 4;

inline constexpr const char* kNotFindChip = "Not find chip!*没有连接好芯片!";
inline constexpr const char* kNoVcc = "No VCC (vcc=) in the device list! *器件列表缺少电压(vcc=)!";
inline constexpr const char* kTypeError = "Type error!*型号错误!";
inline constexpr const char* kIspLegend =
    "1----TCK\n3----TDO\n5----TMS\n9----TDI\n2----GND\n4----VCC\nend";

class JtagSet : public SerialSet {
 public:
  // The read-back of the last shifts: bit i of a shift in bit i % 8 of byte i / 8.
  std::array<std::uint8_t, 512> tdo{};

 protected:
  explicit JtagSet(JtagFlavour f) : flavour_(f) {}
  virtual const JtagType& Type() const = 0;
  TypeFacts Facts() const override;
  // Operations the set offers; Handle runs them and then, whatever the outcome, releases the
  // lines and the pin drivers and switches VCC off.
  virtual void Operation(int op) = 0;
  void Handle(int op) final;

  // Set-up shared by the sets: refuses a row without a design and a line without "vcc=", loads
  // the design, releases the lines, sets the supplies and the ground pin, shows the header
  // legend for the in-system rows. False when refused.
  bool SetUp(int vccMillivolts, int groundPin);

  // The shift of one register (`bits` bits of `data`, bit 0 of byte 0 first); with read-back
  // (modes 3 and 4) the bits land in `tdo`.
  int Shift(int mode, int bits, const std::uint8_t* data);
  void Shift8(int mode, std::uint8_t value);
  // A register value as hex text (the flavour's form) shifted; false for a malformed text.
  bool ShiftHex(int mode, int bits, std::string_view text);

  static void SetLine(std::uint8_t line);
  static void ClearLine(std::uint8_t line);
  // Line 2 high, line 1 low.
  static void LinesStart();
  // Line 3 high, line 2 high: the lines as between operations.
  static void ReleaseLines();
  static void Wait(int steps);
  static void ClockPulses(int n);
  // The line and clock run-in to Test-Logic-Reset and Run-Test/Idle; the step after the last
  // pulse when `afterPulse`.
  static void RunIn(bool afterPulse);
  // VCC on the type's pin (with the supplies set-up chose) and the pin drivers on, checked for
  // the socket types.
  bool PowerOn();
  // The failure of an operation: StatusWord 1, then PowerOff.
  static void PowerDown();
  // The end of every operation: lines to their idle levels, VCC off, pin drivers off.
  static void PowerOff();

  std::array<std::uint8_t, 256> shiftBuffer_{};
  int vccSetUp_ = 0;

 private:
  JtagFlavour flavour_;
};

}  // namespace zelvar::memory
