#pragma once
// The command bytes and registers of the programmer itself, as the simulated programmer knows
// them. They are written out here apart from the link's names on purpose: the simulator is an
// independent check of the bytes the link sends.
#include <cstdint>

namespace zelvar::sim {

enum CoreOp : std::uint8_t {
  kOpPadding = 0,
  kOpSamplePort = 1,  // no design: socket pins 1 to 8, a reply byte
  kOpSample = 3,      // models without FPGA: the socket's sampled pins, a reply byte
  kOpReply = 7,       // the collected reply bytes as one 64-byte IN packet
  kOpPinHigh = 8,     // pin
  kOpPinLow = 9,      // pin
  kOpFpgaWrite = 10,  // register, value
  kOpInput = 11,      // input register: a reply byte
  kOpInfo = 13,       // the info block as the next reply
  kOpRegister = 14,   // register, value, 0
  kOpPort0 = 16,      // ports 0..5 are 16..21, value
  kOpPort5 = 21,
  kOpProbe = 23,         // pin: a reply byte, 1 when something holds it low
  kOpWait100us = 25,     // no design
  kOpStatusPrefix = 26,  // the one-byte power status's preamble
  kOpSettle = 27,
  kOpWait100ms = 28,  // models without FPGA and no design; 26 is their 1 ms wait
  kOpBlock = 32,      // the collected reply bytes as one 256-byte IN block
  kOpStrobe = 43,
  kOp53 = 53,
  kOp54 = 54,
};

enum CoreRegister : std::uint8_t {
  kRegModelQuery = 17,
  kRegVppVoltage = 18,
  kRegVccVoltage = 19,
  kRegVppPin = 20,
  kRegVccPin = 21,
  kRegGndPin = 22,
  kRegBusMode = 25,
  kRegPinRelease = 26,  // pin: its driver lets go, for a chip output the design reads
  kRegPinRestore = 27,  // pin: its driver drives again
  kRegWaitReady = 29,   // pin, then a limit in ms: wait until the pin reads high
  kRegPowerStatus = 31,
  kRegHighVoltagePin = 32,
  kRegBitstreamStart = 33,
  kRegBitstreamData = 34,
  kRegBitstreamEnd = 35,
  kRegPinDrivers = 40,
};

// FPGA registers the programmer's own logic reads.
inline constexpr std::uint8_t kFpgaPinDrivers = 4;  // old FPGA models: 0 on, 4 off, 12 test
inline constexpr std::uint8_t kFpgaDriversOff = 4;
inline constexpr std::uint8_t kFpgaDriversTest = 12;
// The level the supplies give the contact test.
inline constexpr int kTestMillivolts = 5000;
inline constexpr std::uint8_t kFpgaSense = 27;  // 255: the input registers sense the socket
inline constexpr std::uint8_t kFirstInputRegister = 22;
inline constexpr std::uint8_t kLastInputRegister = 27;
// A pin or ground value with bit 7: a second pin beside the first.
inline constexpr std::uint8_t kSecondPin = 0x80;
// Ten settle commands go before a two-byte power status.
inline constexpr int kStatusSettles = 10;
// The port logic with no design: register 25 at this value makes socket pins 1 to 8 an input.
inline constexpr std::uint8_t kPortInputMode = 1;
inline constexpr int kPort0FirstPin = 1;

}  // namespace zelvar::sim
