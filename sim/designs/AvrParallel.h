#pragma once
// The AVR high-voltage parallel designs: FPGA register 18 drives ten control lines (n low,
// n | 0x80 high), port 0 is the chip's data port, command 1 samples it into the next reply byte,
// command 2 the XTAL1 line's level at its socket pin (bit 0; the clock-line check of the page-less
// parts), and commands 25, 26, 28 and 52 are waits. Each design wires the lines to the socket pins
// of its package; lines 1 (the data port's direction) and 8 (the mode line) stay inside the logic.
//
// Rules of the logic that no document fixes, kept here:
// - Line 1 set releases the data port to the chip; clear, the port drives its last byte. The data
//   port drives through series resistors, so the chip's outputs win without harm; a sample while
//   the port drives is recorded as a protocol error, as is a sample of a port nothing drives.
// - Line 8 changes no socket pin.
// - The chip's RDY/BSY pin (PD1) of the 40-pin DIP packages is an input of the design: the pin
//   commands' levels do not reach it while the design is loaded, so the chip's output meets no
//   driver.
// - Waits: 25 is 100 µs (the supply settles), 26 one 1.25 ms tick, 27 a 2.5 ms tick (it also
//   serves as the power status's settle), 28 10 ms (covers the chip erase and the mode's
//   start-up), 52 1 µs (the lines settle).
#include <array>
#include <memory>
#include <string>

#include "sim/Programmer.h"

namespace zelvar::sim {

// Socket pins of one package: line n's pin at lines[n] (0: inside the logic), DATA0..7.
struct AvrParallelPins {
  std::array<int, 11> lines{};
  std::array<int, 8> data{};
  int rdy = 0;  // the chip's RDY/BSY, held as an input; 0: none
};

std::unique_ptr<Design> MakeAtmega8Dip28();
std::unique_ptr<Design> MakeAt90s8515Dip40();
std::unique_ptr<Design> MakeAt90s8535Dip40Std();
std::unique_ptr<Design> MakeAt90s8535Dip40();
std::unique_ptr<Design> MakeAt90s8535Plcc44();
std::unique_ptr<Design> MakeAt90s8515Plcc44();
std::unique_ptr<Design> MakeAtiny2313Dip20();

}  // namespace zelvar::sim
