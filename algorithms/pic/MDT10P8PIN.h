#pragma once
// "MDT10P8PIN": the MDT10P53 in the 8-pin seat by the MDT serial-command protocol; its power-up
// checks the supply before switching any and switches the pin drivers on.
#include "algorithms/pic/MdtSerial.h"

namespace zelvar::pic {

class MDT10P8PIN final : public MdtSerialSet {
 public:
  static constexpr std::array<MdtSerialType, 2> kTypes = {{
      {.name = "Exit"},
      {"1: 10P53 1024x14", 20, 17, 24, 2047, 0x00FF0000, "mdt10p8pin.bit"},
  }};

 private:
  const Policy& policy() const override;
  std::span<const MdtSerialType> Rows() const override { return kTypes; }
  std::span<const char* const> DescribeList() const override;
  std::span<const char* const> ConfigTable() const override;
};

}  // namespace zelvar::pic
