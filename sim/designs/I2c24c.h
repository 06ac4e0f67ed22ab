#pragma once
// The I2C design ("i2c24c.bit") for an 8-pin serial EEPROM on socket pins 17 to 24: SDA on socket
// pin 21, SCL on 22, the write-protect line on 23. FPGA register 18 sets line v & 0x7F (1 SDA,
// 2 SCL, 3 WP) high with bit 7, low without. SDA is driven through a series resistor and is high
// when released (the bus pull-up), so the chip's open-drain low wins without harm.
// Its own commands: 30 start (SDA high, SCL high, SDA low, SCL low); 56 b shifts b out, bit 7
// first (SDA by the bit, SCL high, SCL low); 31 the acknowledge clock (SDA released, SCL high,
// SCL low); 57 clocks a byte in with SDA released, sampling while SCL is high, into the next reply
// byte; 74 n and 75 n set the bits of a shift out and in (8 after a load); 26 waits 1 ms.
#include <memory>

#include "sim/Programmer.h"

namespace zelvar::sim {

std::unique_ptr<Design> MakeI2c24c();
// "i2c24isp.bit": the same commands and lines on the in-system header (IspHeader.h): SCL on header
// pin 1 (socket pin 19), SDA on header pin 9 (socket pin 23); register-18 line 3 reaches nothing
// (the write-protect pin is the board's).
std::unique_ptr<Design> MakeI2c24isp();

}  // namespace zelvar::sim
