#pragma once
// "LATTICEJTAG": M4A5-class CPLDs through their JTAG port, in the PLCC44 socket adapter or through
// the 10-pin header, on the engine of the JTAG sets with its own flavour (shifts ending with code
// 1, register values one hex digit per 4 bits). The chip is 80 rows of 378 fuses: a 6-bit
// instruction register, an 80-bit one-hot row register and a 378-bit data register. The fuse map
// travels through CodeBuffer (row r at 48 * r) and the JEDEC text of the large-PLD window.
#include <array>
#include <cstdint>
#include <string>

#include "algorithms/memory/JtagEngine.h"

namespace zelvar::memory {

inline constexpr int kLatticeRowBits = 378;
inline constexpr int kLatticeRows = 80;
inline constexpr int kLatticeRowBytes = 48;
inline constexpr int kLatticeLastVerifiedRow = 66;

// The row register's value for `row` as 20 hex digits: bit 79 - row set.
std::string OneHotRow(int row);
// One read-back row realigned: out bit m = read-back bit (383 - 10 - m) mod 384.
void RowFromReadBack(const std::uint8_t* in, std::uint8_t* out);

class LATTICEJTAG final : public JtagSet {
 public:
  LATTICEJTAG() : JtagSet({.shiftEnd = 1, .digitHex = true}) {}
  static constexpr std::array<JtagType, 5> kTypes = {{
      {.name = "for testing", .bitstream = "jtag2.bit", .lastFuse = kLatticeRows},
      {.name = "1: ISP all", .bitstream = "jtag2.bit", .lastFuse = kLatticeRows},
      {.name = "2: (PLCC44)",
       .bitstream = "jtagM4a5P44to44.bit",
       .vccPin = 20,
       .groundPin = 21,
       .lastFuse = kLatticeRows,
       .contactMask =
           SocketPins(8, 8) | SocketPins(11, 11) | SocketPins(20, 21) | SocketPins(30, 30)},
      {},
      {.name = "4: (PLCC84)"},
  }};
  static void CheckRow(const JtagType& t, TypeTableReport& r) { CheckJtagRow(t, r); }

 protected:
  const JtagType& Type() const override { return ChosenRow(kTypes); }
  void Init() override;
  std::span<const char* const> DescribeList() const override { return kList; }
  bool Offers(int op) const override;
  void Operation(int op) override;

 private:
  bool FindChip();
  bool EnterProgramming();
  void ReadRow(int row);
  void EndAccess();
  void Ir(const char* text) { ShiftHex(kIr, 6, text); }
  void Dr(int bits, std::string_view text, bool readBack) {
    ShiftHex(readBack ? kDrRead : kDr, bits, text);
  }
  // The fuse lines of the window into CodeBuffer; false (with `message`) unless 378 lines.
  bool LoadJedec(const char* message);
  // IDCODE, boundary register, ISP enable and the row register cleared: the start of the
  // programming sequences.
  void ProgramPreamble(bool readBoundary);

  void Erase();
  void Blank();
  void Write();
  void Verify();
  void Protect();
  void Read();
  void ReadId();

  static constexpr const char* kList[] = {
      "$Fonc:",      "21 Erase",      "22 Blank",
      "23 Write",    "24 Verify",     "26 Protect",
      "$DisTool:",   "25,29,30,31,",  "$Radio1:01,Speed(写速度)",
      "1.Quick(快)", "2.Nomal(正常)", "3.Slow(慢)",
      "$end"};
};

}  // namespace zelvar::memory
