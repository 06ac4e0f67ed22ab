#pragma once
// 40-pin flash 8051s programmed through a mode on PSEN and port 3 with a strobe on ALE/PROG: the
// SyncMOS SM8951A/SM8952A/SM8954C/SM8958C (a three-bit mode), the SyncMOS SM8908/SM8954A/
// SM8958A/SM89516A (a six-bit mode, 12 V on EA/VPP) and the MSU2951 to MSU2958.
//
// The parts are 80C51s in the standard DIP40 pinout (P1.0..P1.7 on pins 1 to 8, RST 9, P3.0..P3.7
// on 10 to 17, GND 20, P2.0..P2.7 on 21 to 28, PSEN 29, ALE/PROG 30, EA/VPP 31, P0.7..P0.0 on 32
// to 39, VCC 40) and 5 V parts (4.5 V to 5.5 V taken here); the flash size follows the part name
// (51 4 KB, 52 and 08 8 KB, 54 16 KB, 56 24 KB, 58 32 KB, 516 64 KB).
//
// No maker's document giving the programming mode was to hand (for the MSU parts, no maker's
// document at all): the model accepts exactly the host's sequences the sets send, with these
// rules of its own:
//  - Powered by 4.25 V or more on VCC with GND grounded (the writers read at 4.4 V); a program,
//    erase or lock cycle needs 4.5 V to 5.5 V on VCC and EA/VPP inside the part's window
//    (SyncMOS 11.5 V to 12.5 V; MSU 4.25 V to 5.5 V). EA above 13 V (MSU: any pin above 6.5 V)
//    is overstress.
//  - The modes need RST high; a mode is the levels of PSEN and the part's port 3 pins.
//  - A0..A7 on P1, A8..A15 on P2, the data on P0. Addresses past the part hold nothing: a program
//    there is lost and a read gives 0xFF.
//  - The chip drives P0 in its read mode while ALE/PROG is low.
//  - A cycle lasts while its mode holds and ALE/PROG is low; mode, address, data and the supplies
//    must hold through it. The MSU parts take a cycle only with a P3.7 low pulse inside it. A
//    cycle shorter than its time is lost: erase 20 ms (the three-bit parts; one step of the sets'
//    erase), 500 ms (the six-bit parts), 400 ms (MSU, with 0xFF on P0; with 0x00 the pre-erase,
//    which clears every cell, 500 µs); lock 200 µs. A byte takes any pulse (the sim's pin commands
//    take no time; the sets' shortest write pulse has no wait in it). No maximum widths are known.
//  - Cells program by AND. The erase writes 0xFF to every cell and clears the lock; after the
//    lock the code reads 0xFF and takes no byte until the next erase.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "sim/Programmer.h"

namespace zelvar::sim {

enum class ModeFlashOp { None, Read, Program, Erase, Lock };

struct ModeFlashSheet {
  std::string name;
  std::uint32_t bytes = 4096;
  std::vector<int> modePins;  // chip pins in the order of Row::levels (PSEN first)
  struct Row {
    const char* levels;  // '1' high, '0' low
    ModeFlashOp op;
  };
  std::vector<Row> rows;
  int vppMin = 11500, vppMax = 12500;
  int maxPinMillivolts = 6500, maxEaMillivolts = 13000;
  int armPin = 0;  // a low pulse on this pin must come inside each cycle (0: none)
  double eraseUs = 20000, preEraseUs = 0, lockUs = 200;
};

class ModeFlash51Chip final : public ChipModel {
 public:
  explicit ModeFlash51Chip(ModeFlashSheet sheet);

  std::string Name() const override { return sheet_.name; }
  int PinCount() const override { return 40; }
  std::vector<int> GroundPins() const override { return {20}; }
  int MaxMillivolts(int pin) const override {
    return pin == 31 ? sheet_.maxEaMillivolts : sheet_.maxPinMillivolts;
  }
  bool Powered(const Programmer& p) const override;
  void OnPins(Programmer& p) override;
  int Drive(int pin) const override;

  std::vector<std::uint8_t> cells;  // erased 0xFF
  bool locked = false;
  int writes = 0, erases = 0, preErases = 0, lost = 0;

 private:
  int In(Programmer& p, int chipPin) const;
  ModeFlashOp ModeNow(Programmer& p) const;
  std::uint32_t AddressNow(Programmer& p) const;
  std::uint8_t DataNow(Programmer& p) const;
  bool SuppliesOk(Programmer& p) const;
  void Complete(Programmer& p);

  ModeFlashSheet sheet_;
  std::vector<int> socket_;
  bool cycling_ = false, aborted_ = false, armLow_ = false, armed_ = false;
  double start_ = 0;
  ModeFlashOp op_ = ModeFlashOp::None;
  std::uint32_t address_ = 0;
  std::uint8_t data_ = 0;
  bool driving_ = false;
  std::uint8_t out_ = 0xFF;
};

// "SM8951A", "SM8952A", "SM8954C", "SM8958C", "SM8908", "SM8954A", "SM8958A", "SM89516A",
// "MSU2951", "MSU2952", "MSU2954", "MSU2956", "MSU2958"; nullptr for another name.
std::shared_ptr<ModeFlash51Chip> MakeModeFlash51(std::string_view part);
// The part name of MakeModeFlash51 that a catalogue chip name is; empty when none.
std::string_view ModeFlash51PartOf(std::string_view chipName);

}  // namespace zelvar::sim
