#pragma once
#include "link/Usb.h"
#include "sim/Programmer.h"

namespace zelvar::sim {

// The pipes of a simulated programmer, for plugging it into the simulated USB driver.
class SimTransport final : public Transport {
 public:
  explicit SimTransport(Programmer& p) : p_(p) {}
  std::uint32_t Write(const std::uint8_t* data, std::uint32_t length) override {
    return p_.BulkOut(data, length);
  }
  std::uint32_t Read(std::uint8_t* buffer, std::uint32_t length) override {
    return p_.BulkIn(buffer, length);
  }

 private:
  Programmer& p_;
};

}  // namespace zelvar::sim
