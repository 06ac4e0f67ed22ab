#pragma once
// 40-pin 8051 flash parts in their parallel programming mode, written from the Atmel datasheets
// (AT89C51/LV51, AT89C52/LV52, AT89C55WD, AT89S51/52, AT89S8253 with its data EEPROM).
//
// Rules the model follows, from the datasheets' mode tables and waveforms:
//  - Pins of the DIP40: P1.0..P1.7 (1..8) carry A0..A7, P2.0.. (21..) and the part's further
//    address pins the high bits, P0.0..P0.7 (39 down to 32) the data, RST 9, PSEN 29, ALE/PROG 30,
//    EA/VPP 31, VCC 40, GND 20. The mode is the levels of the part's mode pins (P2.6, P2.7, P3.3,
//    P3.6, P3.7 and so on) with RST high and PSEN low; any other level means no mode.
//  - The chip is powered only by a supply of 4.5 V or more on VCC with GND grounded.
//  - It drives P0 only in a read mode, with ALE/PROG and EA high.
//  - A program, lock or erase cycle is a PROG low pulse with EA/VPP inside the part's window at
//    both edges and mode, address and data held through it. The pulse must be at least the
//    minimum width and, where the datasheet gives a maximum the simulator can hold, at most that.
//    A pulse inside the self-timed write cycle of the byte before is lost.
//  - Flash cells program by AND (erased cells read 0xFF; a chip erase writes all ones and clears
//    the lock bits) unless the part's writes erase first (AT89S8253: the byte replaces).
//  - Lock bit 1 disables programming; lock bit 2 also disables verify, and the part then reads
//    0xFF, its signature included (the AT89S5x datasheet: signature bytes are not readable in lock
//    modes 3 and 4). The AT89S8253 keeps its lock bits as a byte (bits 0..2, 0 = programmed).
//  - Sub-microsecond minimum widths count as met by any pulse: each pin command takes longer.
//  - AT89C55WD: the chip erase and the lock bits need VCC at 6.5 V (6.25 V to 6.75 V taken here)
//    with 12 V on EA/VPP; writes and reads run at 5 V. Its ID is read at 000H, 100H and 200H as
//    the AT89C51RC's table gives it (1EH, the device, 07H); a programmed lock bit reads 1 at
//    P0.2..P0.4, as the family's serial lock read says of its bits.
//  - DS89C420/430/440/450 (16, 16, 32, 64 KB): the public datasheets give the parallel mode's pins
//    (the DS87C5x EPROM table, A14/A15 on P3.4/P3.5), the option register at FCh with the
//    watchdog's power-on bit and the three lock bits; their programming is at logic levels. The
//    pulse widths, the erase (P2.6..P3.7 at 1000 for the code and lock bits, 1001 for the option
//    register, PROG held low at least 500 ms each) and the signature bytes (30H DAH, 31H 42H..45H,
//    60H 01H) are the model's own rules, which the host's sequences meet.
//  - AT89S8252/LS8252 (8 KB and 2 KB of data EEPROM) and AT89S53/LS53 (12 KB), from their
//    datasheets: a 12 V parallel mode (RST high, PSEN low, ALE and EA high) chosen on P2.6, P2.7,
//    P3.6, P3.7, A8..A13 on P2.0..P2.5; the 8252's data EEPROM is the code space's 2000H..27FFH,
//    written and read as code, with no auto-erase (a chip erase clears both arrays); the S53's
//    signature is read as code at 030H and 031H with P3.6 and P3.7 low (1EH, 53H). Not confirmed
//    from a datasheet here: read 0011, write 0111 and chip erase 1000 with PROG low at least
//    10 ms, PROG pulses of 1 to 110 µs and a byte write within 2 ms (the AT89C51's table); the
//    lock bits in mode 1010 with P0.7, P0.6, P0.5 at 0 programming lock bit 1, 2, 3 (as the
//    sequence in use sends them); the 8252's device byte 72H at 031H; the LS parts answering as
//    the S parts. EA at 12 V is checked at the pulses only.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "sim/Programmer.h"

namespace zelvar::sim {

enum class Mcs51Op {
  None,
  ReadCode,
  WriteCode,
  ReadData,  // the data EEPROM
  WriteData,
  Erase,
  Signature,
  Lock1,
  Lock2,
  Lock3,
  LockByte,   // the lock bits as the data byte's bits 0..2 (0 programs)
  LockBits7,  // lock bits 1..3 as the data byte's bits 7, 6, 5 (0 programs)
  ReadLock,
  WriteFuse,
  ReadFuse,
  SixClock,     // the X2 parts' clock bit, programmed to 6 clocks a cycle (fuses bit 0 cleared)
  WriteOption,  // the option register at optionAddress of the signature space (bits AND in)
  EraseOption,  // the option register back to 0xFF
};

struct Mcs51Sheet {
  std::string name;
  std::uint32_t codeBytes = 4096;
  std::uint32_t dataBytes = 0;  // data EEPROM
  std::vector<int> address;     // chip pins of A0 upwards
  std::vector<int> modePins;    // chip pins in the order of ModeRow::levels
  struct ModeRow {
    const char* levels;  // '1' high, '0' low, 'x' either
    Mcs51Op op;
  };
  std::vector<ModeRow> modes;
  std::vector<std::pair<std::uint32_t, std::uint8_t>> signature;  // address -> byte
  int vppMin = 11500, vppMax = 12500;     // EA/VPP during program, lock and erase pulses
  double minPulseUs = 1, maxPulseUs = 0;  // 0: no maximum
  double minErasePulseUs = 0;
  double writeCycleUs = 0;
  bool replaces = false;  // a byte write erases the byte first
  std::uint8_t fuseDefault = 0xFF;
  int eraseLockVccMin = 0;    // VCC erase and lock pulses need (0: the normal supply)
  bool lockReadsOne = false;  // a programmed lock bit reads 1 at P0.2..P0.4 (else 0)
  // EPROM parts (quick-pulse programming): a byte or bit takes after this many pulses in a row at
  // the same mode, address and data; 1 for the flash parts.
  int codePulses = 1, lockPulses = 1;
  bool rstLowInModes = false;       // the modes hold RST low (else high)
  int optionAddress = -1;           // the option register's signature-space address (-1: none)
  bool signatureUnderLock = false;  // the signature stays readable with lock bit 2
  // The data EEPROM's address in the code space of the code modes (0: it has modes of its own).
  std::uint32_t dataAt = 0;
};

class Mcs51Chip final : public ChipModel {
 public:
  explicit Mcs51Chip(Mcs51Sheet sheet);

  std::string Name() const override { return sheet_.name; }
  int PinCount() const override { return 40; }
  std::vector<int> GroundPins() const override { return {20}; }
  int MaxMillivolts(int pin) const override { return pin == kEa ? 13000 : 7000; }
  bool Powered(const Programmer& p) const override;
  void OnPins(Programmer& p) override;
  int Drive(int pin) const override;

  const Mcs51Sheet& sheet() const { return sheet_; }
  std::vector<std::uint8_t> cells;  // code, erased 0xFF
  std::vector<std::uint8_t> data;   // data EEPROM
  std::uint8_t lockBits = 0;        // bit n set: lock bit n + 1 programmed
  std::uint8_t fuses = 0xFF;
  std::uint8_t option = 0xFF;  // the option register (the watchdog byte of the DS parts)
  int writes = 0;              // cycles that took
  int erases = 0;
  int lost = 0;  // pulses refused (too short, too long, VPP off, busy, locked)

  static constexpr int kEa = 31;

 private:
  int In(Programmer& p, int chipPin) const;
  Mcs51Op ModeNow(Programmer& p) const;
  std::uint32_t AddressNow(Programmer& p) const;
  std::uint8_t DataIn(Programmer& p) const;
  std::uint8_t ReadValue(Mcs51Op op, std::uint32_t a) const;
  bool VppOk(int mv) const;
  bool VccFor(Mcs51Op op, Programmer& p) const;
  void Complete(double widthUs, Programmer& p);

  Mcs51Sheet sheet_;
  std::vector<int> socket_;
  bool driving_ = false;
  std::uint8_t out_ = 0xFF;
  bool progWasLow_ = false;
  bool pulsing_ = false, aborted_ = false;
  double pulseStart_ = 0, busyUntil_ = 0;
  Mcs51Op pulseOp_ = Mcs51Op::None;
  std::uint32_t pulseAddress_ = 0;
  std::uint8_t pulseData_ = 0;
  int train_ = 0;  // pulses in a row at the same mode, address and data
  Mcs51Op trainOp_ = Mcs51Op::None;
  std::uint32_t trainAddress_ = 0;
  std::uint8_t trainData_ = 0;
};

// A model by part name: "AT89C51", "AT89LV51", "AT89C52", "AT89LV52", "AT89S51", "AT89S52",
// "AT89S8253", "AT89S8252", "AT89LS8252", "AT89S53", "AT89LS53", "AT89C55WD",
// "DS89C420".."DS89C450".
// nullptr for an unknown name.
std::shared_ptr<Mcs51Chip> MakeMcs51(std::string_view part);
// The part name of MakeMcs51 that a catalogue chip name holds, the longest; empty when none does.
std::string_view Mcs51PartOf(std::string_view chipName);

}  // namespace zelvar::sim
