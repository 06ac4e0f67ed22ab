#pragma once
// The PIC16C5x parallel program/verify designs ("pic16c54dip18.bit", "pic16c57dip28.bit"), ours:
// the bitstreams' logic is not published. They wire the chip's twelve data pins (RA0-RA3 bits
// 0-3, RB0-RB7 bits 4-11), T0CKI and OSC1:
//
//   design          chip pin 1 at   data bits 0-3   bits 4-11   T0CKI  OSC1
//   pic16c54dip18   socket 12       28, 29, 12, 13  17 to 24     14     27
//   pic16c57dip28   socket 7        12 to 15        16 to 23      7     33
//
// FPGA register 16 holds bits 0-3 of the word to drive, 17 bits 4-11. Register-18 lines (value n
// clears line n, n | 0x80 sets it): line 1 set lets the data pins go (the chip drives them),
// cleared drives the registers' word; line 2 is T0CKI, line 3 OSC1; while line 4 is cleared both
// are held low whatever lines 2 and 3 say. Command 1 samples data bits 0-7 into the next reply
// byte, 2 bits 8-11 into the low nibble of the next. Waits: 25 100 us, 27 1 ms.
#include <memory>

#include "sim/Programmer.h"

namespace zelvar::sim {

std::unique_ptr<Design> MakePic16c54Dip18();
std::unique_ptr<Design> MakePic16c57Dip28();

}  // namespace zelvar::sim
