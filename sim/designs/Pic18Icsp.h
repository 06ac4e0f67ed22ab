#pragma once
// The one PIC18 in-circuit serial programming design behind the "pic18*" bitstreams: the 4-bit
// command interface of the PIC18 parts on PGC and PGD, with PGM held low (so that a chip with
// low-voltage programming enabled still takes the high-voltage entry). Each bitstream wires the
// lines to the socket pins where its package puts them:
//
//   design            chip pin 1 at      PGC  PGD  PGM   held
//   pic18dip40        socket 1            39   40   38
//   pic18dip28        socket 7            33   34   32
//   pic18f2331dip28   socket 7            33   34   32    13 high (AVDD), 14 low (AVSS)
//   pic18dip18        socket 12           23   24   22
//   pic18plcc44       our adapter         19   20   16    (PIC16: clock 19, data 20, PGM 15)
//   pic18qfp44        our adapter         20   21   17    (PIC16: clock 20, data 21, PGM 16)
//   pic18tqfp44       as pic18qfp44
//   pic18isp          the 10-pin header   23   24    -
//
// The adapters of the 44-pin packages are 40-pin carriers from socket pin 1 with MCLR, VDD and
// VSS on socket pins 22, 11 and 10. Their designs also carry the PIC16 ICSP logic
// (`PicIcspLogic`: commands 49-52 and FPGA register 20), for the PIC16 parts in those packages.
//
// FPGA register 18 selects the latch and strobe state (bit 7 the strobe):
//   1     idle: ports 0 (the 4-bit command), 1 (operand low byte) and 3 (operand high byte) are
//         the latches;
//   0x81  starts a transfer: the command, least significant bit first, then the 16-bit operand
//         phase: driven from ports 3:1 in the drive direction, or with PGD let go in the read
//         direction, when the byte the chip sends in the last 8 clocks is kept for command 3;
//         with the hold armed, the transfer stops with the 4th clock held high;
//   3     the read direction; 0x83 the drive direction;
//   0x84  arms the hold for the next transfer; 4 ends a hold: PGC falls, 100 us pass (the chip's
//         high-voltage discharge), then the operand phase follows in the drive direction;
//   2     idle, no effect.
// Data goes out on PGD while PGC is high and the chip takes it as PGC falls; a read samples PGD
// after each rising edge (a line nobody drives reads 1: the input's pull-up). A transfer runs on
// after the register write: command 29, or an idle byte 0 (the PIC18FXX2 engine sends two), waits
// for it; writing a port or register 18 (other than the idle latch state 1) before is a host
// fault. Command 3 puts the kept byte into the next reply. Waits: 26 one
// tick (1 ms), 27 a settle (10 ms), 28 the erase wait (10 ms). These designs are ours: the
// bitstreams' logic is not published.
#include <memory>

#include "sim/Programmer.h"

namespace zelvar::sim {

std::unique_ptr<Design> MakePic18Dip40();
std::unique_ptr<Design> MakePic18Dip28();
std::unique_ptr<Design> MakePic18f2331Dip28();
std::unique_ptr<Design> MakePic18Dip18();
std::unique_ptr<Design> MakePic18Plcc44();
std::unique_ptr<Design> MakePic18Qfp44();
std::unique_ptr<Design> MakePic18Tqfp44();
std::unique_ptr<Design> MakePic18Isp();

}  // namespace zelvar::sim
