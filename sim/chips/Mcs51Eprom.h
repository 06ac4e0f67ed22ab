#pragma once
// EPROM and OTP 8051s in their parallel (quick-pulse) programming mode, on the 40-pin model of
// Mcs51.h, written from the Intel 87C51, 8XC51FX and 87C58 datasheets and the Philips
// 8XC52/54/58, 8XC51FA/FB/FC, 8XC51RA+/RB+/RC+/RD+ and 87C5xX2 datasheets.
//
// Rules the models follow:
//  - The 40-pin parallel mode of Mcs51.h: A0..A7 on P1, A8..A13 on P2.0..P2.5, A14 on P3.4 and
//    A15 on P3.5 (pins 14, 15) as far as the part's size needs, data on P0, RST high, PSEN low;
//    the mode on P2.6, P2.7, P3.6, P3.7: read signature 0000, program code 0111, verify code
//    0011, lock bit 1 1111, lock bit 2 1100, lock bit 3 1010 (P3.3 and the encryption table are
//    not modelled: the table, unprogrammed, leaves verify data as it is).
//  - EA/VPP at 12.75 V +-0.25 V through every pulse; PROG pulses of 90 to 110 us, a longer one is
//    a hazard.
//  - No electrical erase: cells program by AND. A byte takes after 5 pulses in a row at the same
//    address and data (Intel allows 25); Intel's lock bits after 25, Philips' after 5.
//  - Signatures at 30H, 31H and 60H. Intel: 89H, 58H and 51H (87C51), 58H (87C58), FAH, FBH, FCH
//    (87C51FA, FB, FC); the 87C52's 52H and 87C54's 54H follow the family's pattern, no document
//    we have gives them. Philips: 30H reads 15H; the device bytes are not in the datasheets we have
//    and read FFH, except the P87C54X2's 31H BBH.
//  - The X2 part's clock bit programs with P2.6, P2.7, P3.6, P3.7 at 0001 and reads back at 0010
//    (bit 0: 0 programmed, six clocks a cycle); the value of the other bits is left open by the
//    datasheet and reads 1 here.
//  - Lock bit 2 disables verify: code and signature then read FFH.
//  - The P87C591: no document we have gives its parallel mode, so the model accepts the sequence
//    the host sends: the table above with RST held low, P2.7 low selecting the verify levels (a
//    read strobe), 5 pulses a byte and 25 a lock bit; 30H reads 15H (Philips) and 31H and 60H FFH.
//  - The DS87C520 (16 KB): the Dallas EPROM table of its family's datasheets, the table above with
//    the option register at FCh programmed at 0100 by 25 pulses (bits AND in, bit 3 the watchdog's
//    power-on enable) and read back at FCh in the signature mode. The signature bytes are not given
//    in the documents we have: the model's 30H DAH, 31H 20H, 60H 01H are ours, and the catalogue
//    line checks the same.
#include <memory>
#include <string_view>

#include "sim/chips/Mcs51.h"

namespace zelvar::sim {

// "87C51", "87C52", "87C54", "87C58", "87C51FA".."87C51FC" (Intel), "P87C52", "P87C54", "P87C58",
// "P87C51RA+".."P87C51RD+", "P87C54X2", "P87C591" (Philips), "DS87C520" (Dallas); nullptr for
// another name.
std::shared_ptr<Mcs51Chip> MakeMcs51Eprom(std::string_view part);
// The part of MakeMcs51Eprom that is the catalogue chip name itself; empty when none.
std::string_view Mcs51EpromPartOf(std::string_view chipName);

}  // namespace zelvar::sim
