#pragma once
// The two transfer calls on which the command queue and the algorithm sets stand.
#include <cstdint>

namespace zelvar {

// Where bulk transfers go: the USB device or the simulated programmer.
class Transport {
 public:
  virtual ~Transport() = default;
  // Bulk OUT on pipe 0x02; returns the bytes transferred, 0 on failure.
  virtual std::uint32_t Write(const std::uint8_t* data, std::uint32_t length) = 0;
  // Bulk IN on pipe 0x82; returns the bytes transferred, 0 on failure.
  virtual std::uint32_t Read(std::uint8_t* buffer, std::uint32_t length) = 0;
};

// Installs the transport (nullptr: none, every transfer fails). The caller keeps ownership.
void SetTransport(Transport* transport);
Transport* CurrentTransport();

std::uint32_t UsbWrite(const std::uint8_t* data, std::uint32_t length);
std::uint32_t UsbRead(std::uint8_t* buffer, std::uint32_t length);

}  // namespace zelvar
