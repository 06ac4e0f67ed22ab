#pragma once
// The SPI byte engine of the "at25spi.bit" design, written once for the SPI sets: chip select
// and clock idle on register-18 lines, bytes out and in as single commands, and the address forms
// of the 25-series parts.
#include <array>
#include <cstdint>

namespace zelvar::memory {

// SPI instructions of the 25-series parts.
inline constexpr std::uint8_t kSpiWriteEnable = 0x06;
inline constexpr std::uint8_t kSpiWrite = 0x02;
inline constexpr std::uint8_t kSpiRead = 0x03;
inline constexpr std::uint8_t kSpiReadStatus = 0x05;
inline constexpr std::uint8_t kSpiWriteStatus = 0x01;

// An instruction with its address bytes.
struct SpiAddress {
  std::array<std::uint8_t, 4> bytes{};
  int count = 0;
};
// The 25-series flash form: three address bytes.
SpiAddress SpiFlashAddress(std::uint8_t opcode, std::uint32_t a);
// The 25-series EEPROM form by the chip's size: up to 256 bytes one address byte; 512 bytes one,
// with address bit 8 in bit 3 of the opcode; above 512 two. No form for other sizes (count 0).
SpiAddress SpiEepromAddress(std::uint8_t opcode, std::uint32_t a, std::uint32_t size);
// Whether a chip of `size` bytes (a power of two) has an EEPROM address form.
bool SpiEepromAddressable(std::uint32_t size);

class SpiEngine {
 public:
  // After the design is loaded: eight bits a shift.
  static void Setup();
  // Clock low, chip deselected.
  static void Idle();
  static void Select();
  static void Deselect();
  static void Send(std::uint8_t b);
  static void Send(const SpiAddress& a);
  // Eight clocks in: the byte becomes the next reply byte.
  static void Receive();
  // 0xFF shifted out and the byte taken in put into the next reply byte (the flash sets' read).
  static void ReceiveShifted();
  // Select, the instruction alone, deselect.
  static void Instruction(std::uint8_t opcode);
  static void Wait1ms(std::uint32_t ticks);
};

}  // namespace zelvar::memory
