#pragma once
// EPROM and OTP 8051s in their parallel (quick-pulse) programming mode, on the 40-pin model of
// Mcs51.h, written from the Intel 87C51 and Philips 87C5xX2 datasheets.
//
// Rules the models follow:
//  - The 40-pin parallel mode of Mcs51.h: A0..A7 on P1, the high bits on P2.0 up, data on P0,
//    RST high, PSEN low; the mode on P2.6, P2.7, P3.6, P3.7: read signature 0000, program code
//    0111, verify code 0011, lock bit 1 1111, lock bit 2 1100, lock bit 3 1010 (P3.3 and the
//    encryption table are not modelled).
//  - EA/VPP at 12.75 V +-0.25 V through every pulse; PROG pulses of 90 to 110 us.
//  - No electrical erase: cells program by AND. A byte takes after 5 pulses in a row at the same
//    address and data; the Intel part's lock bits after 25, the Philips X2 part's after 5.
//  - The X2 part's clock bit programs with P2.6, P2.7, P3.6, P3.7 at 0001 and reads back at 0010
//    (bit 0: 0 programmed, six clocks a cycle); the value of the other bits is left open by the
//    datasheet and reads 1 here.
//  - The Intel 87C58 has A14 on P3.4 (pin 14).
//  - Signatures at 30H, 31H and 60H: Intel 87C51 89H, 58H, 51H; Intel 87C58 89H, 58H, 58H; Philips
//  P87C54X2 15H, BBH, with
//    60H reading FFH (no document we have gives it).
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

// "87C51", "87C58" (Intel), "P87C54X2" or "P87C591" (Philips), "DS87C520" (Dallas); nullptr for
// another name.
std::shared_ptr<Mcs51Chip> MakeMcs51Eprom(std::string_view part);
// The part of MakeMcs51Eprom a catalogue chip name holds as a whole word; empty when none.
std::string_view Mcs51EpromPartOf(std::string_view chipName);

}  // namespace zelvar::sim
