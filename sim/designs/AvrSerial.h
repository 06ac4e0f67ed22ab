#pragma once
// The AVR high-voltage serial designs ("Atiny12", "Atiny15" for an 8-pin chip with its pin 1 in
// socket pin 11, "Atiny12std", "Atiny15std" with it in socket pin 17): line 5 of FPGA register 18
// rising shifts one instruction frame into the chip (the instruction byte from port 0 on SII, the
// data byte from port 1 on SDI, eleven SCI clocks, MSB first after a 0 bit, two 0 bits last) and
// keeps the eight bits the chip put out on SDO meanwhile; command 2 puts them into the next reply.
//
// Rules of the logic that no document fixes, kept here:
// - Line 4 is SCI's level between frames, so that a set can clock the chip before entry.
// - SDI and SII are held low between frames; SDO is an input of the logic.
// - Waits: 25 is 100 µs, 26 one 1.25 ms tick, 28 10 ms.
#include <memory>

#include "sim/Programmer.h"

namespace zelvar::sim {

std::unique_ptr<Design> MakeAtiny12();
std::unique_ptr<Design> MakeAtiny12Std();
std::unique_ptr<Design> MakeAtiny15();
std::unique_ptr<Design> MakeAtiny15Std();

}  // namespace zelvar::sim
