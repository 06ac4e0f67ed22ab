#pragma once
// SyncMOS SM59 flash 8051s (SM59064, SM59128) in the parallel mode their writers program them in.
//
// From the datasheets: the 80C51 DIP40 pinout (P1.0..P1.7 on pins 1 to 8, RST 9, P3.0..P3.7 on
// 10 to 17, XTAL2 18, XTAL1 19, GND 20, P2.0..P2.7 on 21 to 28, PSEN 29, ALE 30, EA 31, P0.7..P0.0
// on 32 to 39, VCC 40), a 4.5 V to 5.5 V supply, 64 KB (SM59064) or 128 KB (SM59128) of flash, and
// the ISP service area at the top of the code whose size, in 512-byte units, a configuration byte
// keeps.
//
// No public document gives the parallel programming mode: the model accepts exactly the host's
// sequences the sets send, and keeps these rules of its own:
//  - Powered by a supply of 4.25 V or more on VCC with GND grounded (the writers read at 4.4 V);
//    a cycle also needs 4.5 V to 5.5 V. The mode needs RST high.
//  - The operation is PSEN and P3.0..P3.5: PSEN low selects a read (code, or the size code at any
//    address), PSEN high a cycle. A0..A7 on P1, A8..A15 on P2 and, on the 128 KB part, A16 on ALE;
//    its strobe is EA, on the 64 KB part ALE.
//  - The chip drives P0 in a read while its strobe is low.
//  - A cycle starts at the rise of P3.7 while the strobe is low; mode, address and data are taken
//    then and must hold until the strobe rises, which ends the cycle. A cycle shorter than its
//    time is lost: byte 30 µs, lock 200 µs, size code 100 µs, ISP erase 500 µs, chip erase 500 ms.
//  - Cells program by AND. The chip erase writes 0xFF to the code below the ISP area and clears
//    the lock; the ISP erase writes 0xFF to the ISP area and to the size code. The size code n is
//    written by a cycle at 0x100 + 2n; a code above 8 (an erased byte reads 0xFF) is no ISP area.
//  - After the lock cycle the code reads 0xFF until the next chip erase.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "sim/Programmer.h"

namespace zelvar::sim {

enum class SyncMosOp { None, ReadCode, ReadSize, Program, Erase, Lock, IspErase, SizeWrite };

struct SyncMosSheet {
  std::string name;
  std::uint32_t codeBytes = 65536;
  int strobe = 30;  // chip pin
  int a16 = 0;      // chip pin of A16, 0 for none
  struct ModeRow {
    const char* levels;  // PSEN, then P3.0..P3.5
    SyncMosOp op;
  };
  std::vector<ModeRow> modes;
};

class SyncMosChip final : public ChipModel {
 public:
  explicit SyncMosChip(SyncMosSheet sheet);

  std::string Name() const override { return sheet_.name; }
  int PinCount() const override { return 40; }
  std::vector<int> GroundPins() const override { return {20}; }
  int MaxMillivolts(int) const override { return 6500; }
  bool Powered(const Programmer& p) const override;
  void OnPins(Programmer& p) override;
  int Drive(int pin) const override;

  // The ISP area's first address (codeBytes without one).
  std::uint32_t IspStart() const;

  std::vector<std::uint8_t> cells;  // erased 0xFF
  std::uint8_t sizeCode = 0xFF;
  bool locked = false;
  int writes = 0, erases = 0, ispErases = 0, lost = 0;

 private:
  int In(Programmer& p, int chipPin) const;
  SyncMosOp ModeNow(Programmer& p) const;
  std::uint32_t AddressNow(Programmer& p) const;
  std::uint8_t DataIn(Programmer& p) const;
  void Complete(Programmer& p);

  SyncMosSheet sheet_;
  std::vector<int> socket_;
  bool driving_ = false;
  std::uint8_t out_ = 0xFF;
  bool cycleWasHigh_ = true, strobeWasLow_ = false;
  bool pending_ = false, aborted_ = false;
  double start_ = 0;
  SyncMosOp op_ = SyncMosOp::None;
  std::uint32_t address_ = 0;
  std::uint8_t data_ = 0;
};

// SyncMOS SM89D02/SM89D04 (SM59D04 set) in their programming mode. From the datasheets: the DIP40
// pinout above, 16 KB of code space, and operation down to 3.3 V. No public document gives the
// programming mode; the model accepts exactly the host's sequences, with these rules:
//  - Powered by 3.0 V or more on VCC with GND grounded; a write or erase also needs 4.5 V to
//    5.5 V. Power-down leaves the programming mode.
//  - The mode is entered once the entry code (`kEntryCode`, seven bytes) has come in after
//    power-up: bits on P1.2 (pin 3) taken at each rise of P1.0 (pin 1), most significant first,
//    each byte followed by a ninth bit that must be 1. Until then the chip ignores every pin.
//  - The operation is PSEN, ALE and P3.0..P3.7: read 0 0 1111 0000 (P0 driven); page window
//    0 0 1x00 1001 and option window 1 0 1x00 1001, where P3.1 (pin 11) latches a byte at its fall
//    after at least 30 µs high (cells and the two option bytes program by AND); chip erase
//    1 0 1000 011x, where P3.7 held high 50 ms or more and then falling erases code and options.
//  - A16 does not exist: A0..A13 on P1 and P2.0..P2.5 address the 16 KB.
// The SM89D02 is taken as the same part with 8 KB of code: it holds 0000h to 1FFFh and, as the
// SM89D04, the top 4 KB from 3000h; nothing between them.
class Sm59d04Chip final : public ChipModel {
 public:
  static constexpr std::uint8_t kEntryCode[7] = {0x53, 0x4D, 0x35, 0x39, 0x44, 0x30, 0x34};

  // `holeStart` .. `holeEnd`: where the part holds nothing (a program there is lost, a read gives
  // 0xFF).
  explicit Sm59d04Chip(std::string name = "SM89D04", std::uint32_t holeStart = 0,
                       std::uint32_t holeEnd = 0);
  std::string Name() const override { return name_; }
  int PinCount() const override { return 40; }
  std::vector<int> GroundPins() const override { return {20}; }
  int MaxMillivolts(int) const override { return 6500; }
  bool Powered(const Programmer& p) const override;
  void OnPins(Programmer& p) override;
  int Drive(int pin) const override;

  std::vector<std::uint8_t> cells;  // 16 KB, erased 0xFF
  std::array<std::uint8_t, 2> options{0xFF, 0xFF};
  bool entered = false;
  int writes = 0, erases = 0, lost = 0;

 private:
  enum class Mode { None, Read, Page, Option, Erase };
  int In(Programmer& p, int chipPin) const;
  bool HighAt(Programmer& p, int chipPin) const;
  Mode ModeNow(Programmer& p) const;
  std::uint32_t AddressNow(Programmer& p) const;

  bool InHole(std::uint32_t a) const { return a >= holeStart_ && a < holeEnd_; }

  std::string name_;
  std::uint32_t holeStart_, holeEnd_;
  std::vector<int> socket_;
  bool clockWasHigh_ = true, strobeWasHigh_ = false, windowWasHigh_ = false;
  double strobeRise_ = 0, windowRise_ = 0;
  Mode windowMode_ = Mode::None;
  unsigned bits_ = 0;
  int bitCount_ = 0;
  std::vector<std::uint8_t> received_;
  bool driving_ = false;
  std::uint8_t out_ = 0xFF;
};

// "SM59064", "SM59128" (SyncMosChip), "SM89D02" or "SM89D04" (Sm59d04Chip); nullptr for another
// name.
std::shared_ptr<ChipModel> MakeSyncMos(std::string_view part);
std::shared_ptr<SyncMosChip> MakeSm59(std::string_view part);
// The longest part name of MakeSyncMos in a catalogue chip name; empty when none.
std::string_view SyncMosPartOf(std::string_view chipName);

}  // namespace zelvar::sim
