#include "link/Usb.h"

namespace zelvar {
namespace {
Transport* gTransport = nullptr;
}

void SetTransport(Transport* transport) { gTransport = transport; }
Transport* CurrentTransport() { return gTransport; }

std::uint32_t UsbWrite(const std::uint8_t* data, std::uint32_t length) {
  return gTransport ? gTransport->Write(data, length) : 0;
}

std::uint32_t UsbRead(std::uint8_t* buffer, std::uint32_t length) {
  return gTransport ? gTransport->Read(buffer, length) : 0;
}

}  // namespace zelvar
