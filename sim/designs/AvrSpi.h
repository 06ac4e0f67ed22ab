#pragma once
// The AVR serial-programming design "ATdip20spi" (a 20-pin chip with its pin 1 in socket pin 9,
// the ATtiny26 pinout: MOSI PB0 on socket pin 9, MISO PB1 on 10, SCK PB2 on 11, RESET PB7 on 18):
// command 56 shifts its byte out on MOSI, command 57 shifts out 0x00 and puts the byte read on
// MISO into the next reply, both MSB first in SPI mode 0 (MOSI set while SCK is low, MISO
// sampled as SCK rises, SCK back low after each bit). FPGA register 18 drives line 2 (SCK's level
// between shifts) and line 3 (RESET).
//
// Rules of the logic that no document fixes, kept here:
// - Commands 74 and 75 set the bits a shift sends and receives; the logic shifts nothing until
//   both have been given since the design was loaded (a shift before is a protocol error).
// - SCK runs at 250 kHz: 4 µs a bit. MISO is the logic's input; a read while the chip drives it
//   not is a protocol error.
// - Waits: 25 is 100 µs, 26 one 1.25 ms tick, 27 2.5 ms, 28 10 ms.
#include <memory>

#include "sim/Programmer.h"

namespace zelvar::sim {

std::unique_ptr<Design> MakeAtdip20Spi();

}  // namespace zelvar::sim
