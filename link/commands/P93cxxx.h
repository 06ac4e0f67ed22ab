#pragma once
// Command bytes of the Microwire design "p93cxxx.bit": the bus itself runs on the programmer's pin
// commands; the design samples the data-out pin and waits.
#include <cstdint>

namespace zelvar::p93cxxx {

inline constexpr std::uint8_t kCmdSampleDataOut = 1;  // data-out level in bit 0 of a reply byte
inline constexpr std::uint8_t kCmdWait100ms = 28;

}  // namespace zelvar::p93cxxx
