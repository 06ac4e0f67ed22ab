#pragma once
// The I2C byte engine of the "i2c24c.bit" design, written once for the I2C sets: bus events as
// single commands (start, byte out, acknowledge clock, byte in), the stop and the write-protect
// line through FPGA register 18, and the 24Cxx address forms.
#include <array>
#include <cstdint>

namespace zelvar::memory {

// How a chip takes a byte address after the start condition.
enum class I2cForm : std::uint8_t {
  kX24c01,    // one byte: the address in bits 7..1 with the R/W bit
  kOneByte,   // device byte 0xA0 with address bits 8-10 in its bits 1-3, then the low byte
  kTwoBytes,  // device byte 0xA0 with address bit 16 in its bit 1, then the high and the low byte
};

// The bytes that follow a start to put address `a` into the chip (a read for the X24C01 form
// when `read`; the other forms set the address with a write and read after a new start).
struct I2cAddress {
  std::array<std::uint8_t, 3> bytes{};
  int count = 0;
};
I2cAddress I2cAddressBytes(I2cForm form, std::uint32_t a, bool read);
// The device byte of a read from the chip's address counter, for the block of address `a`.
std::uint8_t I2cReadControl(I2cForm form, std::uint32_t a);

class I2cEngine {
 public:
  // After the design is loaded: eight bits a shift.
  static void Setup();
  static void Start();
  static void Stop();
  // The byte out, then the acknowledge clock.
  static void Send(std::uint8_t b);
  static void AckClock();
  // Eight clocks in: the byte becomes the next reply byte.
  static void Receive();
  // Start and the address bytes, each acknowledged.
  static void Address(I2cForm form, std::uint32_t a, bool read);
  static void WriteProtect(bool high);
  // `ticks` waits of 1 ms.
  static void Wait(std::uint32_t ticks);
};

}  // namespace zelvar::memory
