#pragma once
// What the small OTP microcontroller sets share ("SN8P1602", "SN8P2602", "HTOTP", "CR80PX00",
// "SAMSUNG3X"): the row of supply pins, size, design and contact pins; signal lines through FPGA
// register 18 (line n low: the register written with n; high: n OR 0x80); the power-down; the
// first failing byte.
#include <cstdint>
#include <span>
#include <string_view>

#include "algorithms/mcs51/Mcs51Set.h"

namespace zelvar::pic {

using mcs51::TypeFacts;

struct OtpType {
  std::string_view name;
  std::uint8_t vppPin = 0, vccPin = 0, groundPin = 0;
  std::int32_t lastAddress = 0;  // last byte address (the Holtek row: the code size)
  const char* bitstream = nullptr;
  std::uint64_t contactMask = 0;
};

// A row with a VCC pin: supply pins distinct and in the socket (a ground of 0 comes from the
// chip line), a design, the mask in the socket and holding VCC and ground, a size that is a power
// of two less one where the row gives one. A row without: nothing set.
void CheckOtpRow(const OtpType& t, TypeTableReport& r);

class OtpSet : public mcs51::Mcs51Set {
 protected:
  static void Line(std::uint8_t line, bool high);
  static void PowerDown();
  // StatusWord 1 with the first bad byte.
  static void Fail(std::uint32_t address, std::uint8_t byte);
  // The set-up's common part: the row `TypeIndex` names (rows first .. size - 1), its design,
  // ground and contact pins. False when the row is refused.
  bool TakeRow(std::span<const OtpType> types, int first = 1);
  std::uint32_t LastAddress() const override {
    return last_ < 0 ? 0 : static_cast<std::uint32_t>(last_);
  }

  OtpType row_;
  std::int32_t last_ = -1;  // last byte address of the code; below 0 none
};

}  // namespace zelvar::pic
