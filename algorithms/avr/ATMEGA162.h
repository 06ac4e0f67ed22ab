#pragma once
// "ATMEGA162": the ATmega162 (and ATmega161) in the 40-pin DIP or, through the adapter, the 44-pin
// PLCC ("*P44") and TQFP ("*Q44"). All four fuse and lock bytes live in OptionValues word 0: fuse
// low in bits 0-7, fuse high 8-15, extended fuse 16-23, lock 24-31.
#include <cstdio>

#include "algorithms/avr/Mega16x.h"
#include "link/Primitives.h"
#include "services/Messages.h"

namespace zelvar::avr {

class ATMEGA162 final : public Mega16xSet {
 public:
  static constexpr const char* kConfig[] = {"0: only one",
                                            "n=CKSEL0,v=0,a=0,b=0",
                                            "n=CKSEL1,v=1,a=0,b=1",
                                            "n=CKSEL2,v=0,a=0,b=2",
                                            "n=CKSEL3,v=0,a=0,b=3",
                                            "n=SUT0,v=0,a=0,b=4",
                                            "n=SUT1,v=1,a=0,b=5",
                                            "n=CKOUT,v=1,a=0,b=6",
                                            "n=CKDIV8,v=0,a=0,b=7",
                                            "n=BOOTRST,v=1,a=0,b=8",
                                            "n=BOOTSZ0,v=0,a=0,b=9",
                                            "n=BOOTSZ1,v=0,a=0,b=10",
                                            "n=EESAVE,v=1,a=0,b=11",
                                            "n=WDTON,v=1,a=0,b=12",
                                            "n=SPIEN,v=0,a=0,b=13",
                                            "n=JTAGEN,v=0,a=0,b=14",
                                            "n=OCDEN,v=1,a=0,b=15",
                                            "n=BODLEVER0,v=1,a=0,b=17",
                                            "n=BODLEVER1,v=1,a=0,b=18",
                                            "n=BODLEVER2,v=1,a=0,b=19",
                                            "n=M161C,v=1,a=0,b=20",
                                            "n=LB1,v=1,a=0,b=24",
                                            "n=LB2,v=1,a=0,b=25",
                                            "n=BLB01,v=1,a=0,b=26",
                                            "n=BLB02,v=1,a=0,b=27",
                                            "n=BLB11,v=1,a=0,b=28",
                                            "n=BLB12,v=1,a=0,b=29",
                                            "$end"};

 private:
  static constexpr HvParallelPolicy kPolicy{.settleEveryLine = true,
                                            .flushBeforeSamples = false,
                                            .pageTicks = 30,
                                            .fuseWait = avr_parallel::kCmdLongTick,
                                            .fuseWaitCount = 2};
  const HvParallelPolicy& Policy() const override { return kPolicy; }
  std::span<const char* const> ConfigTable() const override { return kConfig; }

  void Init() override { SetUpPackage(5000); }

  static std::uint8_t Byte(std::uint32_t word, int n) {
    return static_cast<std::uint8_t>(word >> (8 * n));
  }

  void Config() override {
    const std::uint32_t w = Word(0);
    if (!FusePass(FuseByte::Low, Byte(w, 0))) return;
    if (!FusePass(FuseByte::High, Byte(w, 1))) return;
    FusePass(FuseByte::Extended, Byte(w, 2));
  }
  void Lock() override { WriteLock(Byte(Word(0), 3)); }

  void ReadConfig() override {
    const auto b = ReadFuseBytes(
        std::array{FuseByte::Low, FuseByte::High, FuseByte::Lock, FuseByte::Extended});
    char line[64];
    std::snprintf(line, sizeof line, "Fuse low=%02x,Fuse Hi=%02x,Lock=%02x,Ext Fuse=%02x", b[0],
                  b[1], b[2], b[3]);
    AddMessageLine(line);
    SetWord(
        0, std::uint32_t{b[2]} << 24 | std::uint32_t{b[3]} << 16 | std::uint32_t{b[1]} << 8 | b[0]);
  }
};

}  // namespace zelvar::avr
