#pragma once
// "ATMEGA161": the ATmega161 (and ATmega162) as "ATMEGA162" serves them, with the ATmega161's one
// fuse byte (OptionValues word 0) and lock byte (word 1), programmed at 5 V and read at 4.4 V.
#include <cstdio>

#include "algorithms/avr/Mega16x.h"
#include "link/Primitives.h"
#include "services/Messages.h"

namespace zelvar::avr {

class ATMEGA161 final : public Mega16xSet {
 public:
  static constexpr const char* kConfig[] = {"0: (只有一种类型)",     "n=LB1,v=1,a=1,b=0",
                                            "n=LB2,v=1,a=1,b=1",     "n=BLB01,v=1,a=1,b=2",
                                            "n=BLB02,v=1,a=1,b=3",   "n=BLB11,v=1,a=1,b=4",
                                            "n=BLB12,v=1,a=1,b=5",   "n=CKSEL0,v=1,a=0,b=0",
                                            "n=CKSEL1,v=1,a=0,b=1",  "n=CKSEL2,v=1,a=0,b=2",
                                            "n=SUT,v=1,a=0,b=4",     "n=SPIEN,v=1,a=0,b=5",
                                            "n=BOOTRST,v=1,a=0,b=6", "$end"};

 private:
  static constexpr int kProgramMillivolts = 5000;
  static constexpr int kReadMillivolts = 4400;
  static constexpr HvParallelPolicy kPolicy{
      .settleEveryLine = true, .flushBeforeSamples = false, .pageTicks = 30};
  const HvParallelPolicy& Policy() const override { return kPolicy; }
  std::span<const char* const> ConfigTable() const override { return kConfig; }

  void Init() override { SetUpPackage(kProgramMillivolts); }
  void ProgramLevel() override { SetVccVoltage(kProgramMillivolts); }
  void ReadLevel() override { SetVccVoltage(kReadMillivolts); }

  void Write() override {
    Mega16xSet::Write();
    ReadLevel();
  }
  void Config() override { FusePass(FuseByte::Low, static_cast<std::uint8_t>(Word(0))); }
  void Lock() override { WriteLock(static_cast<std::uint8_t>(Word(1))); }

  void ReadConfig() override {
    ReadLevel();
    const auto b = ReadFuseBytes(std::array{FuseByte::Low, FuseByte::Lock});
    char line[48];
    std::snprintf(line, sizeof line, "Fuse=%02x,Lock=%02x", b[0], b[1]);
    AddMessageLine(line);
    SetWord(0, b[0]);
    SetWord(1, b[1]);
  }
};

}  // namespace zelvar::avr
