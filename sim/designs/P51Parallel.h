#pragma once
// The 8051 parallel-mode logic of the "zor5103" designs, exposing the chip's buses and control
// pins: port 0 drives P1 (A0..A7) on socket pins 1..8; command 33 latches a byte for P0 (socket
// pins 39 down to 32), driven while register 25 is 15 and released by 7 so that the chip can
// drive it; command 32 reads 256 bytes of P0 stepping the low address byte; commands 34, 37 and 1
// sample P0 into the next reply byte. The high address bits and the mode pins are plain pin
// commands. For a 20-pin part at socket pins 11 to 30 the logic also has the chip's P1 (socket
// pins 22 to 29) as a second data port: command 38 latches a byte for it, driven while register
// 25 is 15, and command 37 samples it while register 25 is 9 (its read mode). Register 25 at 0
// or 1 puts the command-33 byte on P0 as an address (the parts that take their data on P1), and
// at 1 makes socket pins 1 to 8 an input port that command 1 samples. Register 29 (command 14
// with a socket pin and a limit in ms) waits until the chip shows ready on that pin, by the
// programmer's own wait-ready (`Programmer::WaitReady`).
// "zor5103" carries this logic beside its EPROM logic; "p51dip40" and "p51plcc44" carry
// it alone.
#include <array>
#include <memory>

#include "sim/Programmer.h"

namespace zelvar::sim {

class P51Logic {
 public:
  // Length of one of the logic's commands, 0 when the byte is not its own.
  int CommandLength(std::uint8_t op) const;
  // Carries out one of its commands; false leaves it (also) to the programmer core.
  bool Execute(Programmer& p, const Command& c);

 private:
  void DriveData(Programmer& p);
  void ReleaseData(Programmer& p);
  std::uint8_t SampleData(Programmer& p);
  void DrivePort20(Programmer& p, bool drive);
  std::uint8_t SamplePins(Programmer& p, int first);
  static void Settle(Programmer& p);

  std::uint8_t latch_ = 0xFF;
  bool latched_ = false;  // a data byte has been given since the design loaded
  bool drive_ = false;    // register 25 asks the programmer to drive P0
  bool floatingReported_ = false;
  std::uint8_t latch20_ = 0xFF;
  bool latched20_ = false;  // a byte for the 20-pin part's P1 has been given
  std::uint8_t busMode_ = 0;
};

std::unique_ptr<Design> MakeP51Dip40();
std::unique_ptr<Design> MakeP51Plcc44();

}  // namespace zelvar::sim
