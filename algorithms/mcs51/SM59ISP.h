#pragma once
// "SM59ISP": puts SyncMOS flash 8051s into their in-system-programming mode through the
// per-type ISP designs (lines of FPGA register 18, bytes on port 0, queued waits). The list offers
// Start ISP only; Erase, Blank and Verify stay dispatchable as the designs carry them, while Read
// and Write, which cannot move bytes through these designs, are refused.
#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "algorithms/mcs51/Mcs51Set.h"

namespace zelvar::mcs51 {

struct Sm59IspType {
  std::string_view name;
  const char* bitstream = nullptr;
  std::uint8_t vccPin = 0, groundPin = 0;
};

void CheckSm59IspRow(const Sm59IspType& t, TypeTableReport& r);

namespace sm59isp {
constexpr const char* kDescribe[] = {"$Fonc:", "28 Start ISP",
                                     "$DisTool:", "20,21,22,23,24,25,26,27, 29,30,31,", "$end"};
constexpr int kOps[] = {kOpErase, kOpBlank, kOpWrite, kOpVerify, kOpRead, kOpReadId};
}  // namespace sm59isp

class SM59ISP final : public Mcs51Set {
 public:
  static void CheckRow(const Sm59IspType& t, TypeTableReport& r) { CheckSm59IspRow(t, r); }
  static constexpr std::array<Sm59IspType, 3> kTypes = {{
      {.name = "Exit"},
      {.name = "SM59R16A2(64LTQF", .bitstream = "sm59r16a2isp.bit", .vccPin = 40, .groundPin = 20},
      {.name = "SM59G04(ISp)", .bitstream = "sm59d04isp40.bit", .vccPin = 40, .groundPin = 20},
  }};
  static constexpr std::string_view kRequiredItems = "len=";

 private:
  const Sm59IspType& Row() const { return kTypes[static_cast<std::size_t>(gApp.TypeIndex)]; }
  std::span<const char* const> DescribeList() const override { return sm59isp::kDescribe; }
  std::span<const int> Operations() const override { return sm59isp::kOps; }
  std::uint32_t LastAddress() const override { return lastAddress_; }

  void Init() override;
  void Erase() override;
  void Blank() override;
  void Write() override;
  void Verify() override;
  void Read() override;
  void ReadId() override;  // Start ISP

  void EnterIsp() const;
  bool Scan(Scan kind);

  std::uint32_t lastAddress_ = 0;
};

}  // namespace zelvar::mcs51
