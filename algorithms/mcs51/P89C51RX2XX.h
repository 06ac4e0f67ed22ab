#pragma once
// "P89C51RX2XX": the P89C51RA2 to RD2 on the Philips-type engine with their special bytes chosen
// by address bits 12-14 (status, vector, clock and lock at 0 to 3 x 4096, the ID bytes at 4 to 6 x
// 4096), a 100 us strobe framed by P3.3, and VCC from "vcc=". The security bits and the 6-clock
// bit are separate jobs: Security programs the three security bits the grid chooses, Config the
// status byte, the boot vector and, with the "6/12 Clock" row clear, the 6-clock bit.
#include <span>

#include "algorithms/mcs51/PHI89RX2.h"

namespace zelvar::mcs51 {

class P89C51RX2XX final : public PhiRx2Set {
 public:
  static constexpr auto kTypes = kRx2Types;

 private:
  std::span<const ParallelType> Types() const override { return kTypes; }
  std::span<const char* const> DescribeList() const override { return phi89rx2::kDescribe; }

  void Init() override;
  void EnterProgramMode() override;
  void DataStrobe(std::uint8_t b) override;
  void EraseStrobe() override;
  void ReadSignature() override;
  void SetReadLevels();

  void Read() override;
  void Blank() override;
  void Verify() override;
  void Erase() override;
  void Write() override;
  void Config() override;
  void Lock() override;
  void ReadConfig() override;
};

}  // namespace zelvar::mcs51
