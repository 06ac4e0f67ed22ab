#pragma once
// The in-circuit designs of the LPC900 sets. Both speak the chips' ICP wire (PCL, PDA, RST; bytes
// most significant bit first, PDA sampled on PCL rising, a read's bits presented from each PCL
// falling edge) and differ in what the host sees:
// - "p89lpc932" (chip pin 1 at socket pin 4: RST 9, PCL 31, PDA 32) and "p89lpc932p28" (chip pin
//   1 at socket pin 7: RST 12, PCL 28, PDA 29): a register front end. Port 0 selects a register
//   (0 address low, 1 address high, 2 data, 3 command), port 1 holds a byte; the first line-3
//   rising edge after a port-1 write sends the byte to the chip register of the selected one
//   (0x08, 0x0A, 0x0C, 0x0E), provided line 1 (the command frame) is low. Command 2 reads a byte
//   into the reply: the data (0x0D) with register 2 selected, else the status (0x0F). Line 2 is
//   RST.
// - "lpc901" (chip pins 1-8 on socket pins 17-24: RST 20, PCL 22, PDA 23): a shifter. Command 56
//   sends its argument least significant bit first, command 57 takes a byte into the reply, the
//   first bit in bit 0; line 3 is RST, lines 1 and 2 PCL and PDA.
// Command 25 waits 10 us and 26 1 ms in both. These designs are ours: the bitstreams' logic is
// not published.
#include <memory>

#include "sim/Programmer.h"

namespace zelvar::sim {

std::unique_ptr<Design> MakeP89lpc932();
std::unique_ptr<Design> MakeP89lpc932P28();
std::unique_ptr<Design> MakeLpc901();

}  // namespace zelvar::sim
