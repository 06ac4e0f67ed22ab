#pragma once
// The dsPIC30F in-circuit serial programming design behind the "pic30*" bitstreams: the chip's
// 4-bit command and 24-bit operand clocked out on PGC and PGD, or, in the read direction, the 16
// bits of VISI the chip shifts back after REGOUT. Each bitstream wires PGC and PGD to the socket
// pins where its package puts them:
//
//   design        chip pin 1 at   PGC  PGD
//   pic30dip40    socket 1         25   26
//   pic30dip28    socket 7         23   24
//
// ("pic30dip18", "pic30plcc44", "pic30qfp44" and "pic30isp" are not simulated.)
//
// FPGA register 18 (bit 7 the strobe):
//   2     PGC and PGD driven low;
//   3     the read direction: after the 4 command bits PGD is let go for the 24 operand clocks,
//         and the bits of the last 16 (least significant first) are kept for commands 3 and 4;
//   0x83  the drive direction: the operand goes out from ports 3 (bits 0-7), 4 and 5;
//   4     the transfer logic back to idle (a kept read is forgotten);
//   1     idle; 0x81 with port 0 at 1 starts a transfer: the command from port 1, least
//         significant bit first, then the operand. A strobe without port 0 at 1 is a host fault.
// Data goes out on PGD while PGC is high and the chip takes it as PGC falls; a read samples PGD
// after each rising edge (a line nobody drives reads 1: the input's pull-up). On model 6400 the
// transfer runs on after the strobe until command 29 waits for it; writing register 18 or a port
// before is a host fault. The other models finish it within the strobe. Command 3 puts the kept
// read's low byte into the next reply, 4 its high byte. Waits: 26 one tick (1 ms), 27 a settle
// (10 ms). These designs are ours: the bitstreams' logic is not published.
#include <memory>

#include "sim/Programmer.h"

namespace zelvar::sim {

std::unique_ptr<Design> MakePic30Dip40();
std::unique_ptr<Design> MakePic30Dip28();

}  // namespace zelvar::sim
