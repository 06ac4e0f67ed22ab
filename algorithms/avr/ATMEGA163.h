#pragma once
// "ATMEGA163": the 40-pin ATmega163. Row 3 is the chip on models below 6300 ("at90s8535dip40.bit",
// its supplies on socket pins 29-31), row 13 on models 6300 and up ("at90s8535dip40std.bit", the
// chip's own RESET, VCC and GND pins 9-11); the rows between are gaps the set refuses. Fuse low in
// OptionValues word 0, fuse high in word 1, lock in word 2.
#include <array>
#include <cstdio>

#include "algorithms/avr/Mega16x.h"
#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/Primitives.h"
#include "services/Messages.h"
#include "services/Services.h"

namespace zelvar::avr {

class ATMEGA163 final : public Mega16xSet {
 public:
  static constexpr std::array<AvrType, 14> kTypes = {{
      {.name = "Exit"},
      {},
      {},
      {.name = "  ATmega163 8kx16",
       .bitstream = "at90s8535dip40.bit",
       .vppPin = 29,
       .vccPin = 30,
       .groundPin = 31,
       .codeLast = 0x3FFF,
       .eepromLast = 0x1FF,
       .flashPage = 128,
       .contactMask = SocketPins(1, 40)},
      {},
      {},
      {},
      {},
      {},
      {},
      {},
      {},
      {},
      {.name = "  ATmega163 8kx16",
       .bitstream = "at90s8535dip40std.bit",
       .vppPin = 9,
       .vccPin = 10,
       .groundPin = 11,
       .codeLast = 0x3FFF,
       .eepromLast = 0x1FF,
       .flashPage = 128,
       .contactMask = SocketPins(1, 40)},
  }};
  static constexpr const char* kConfig[] = {
      "0: (只有一种类型)",     "n=LB1,v=1,a=2,b=0",     "n=LB2,v=1,a=2,b=1",
      "n=BLB01,v=1,a=2,b=2",   "n=BLB02,v=1,a=2,b=3",   "n=BLB11,v=1,a=2,b=4",
      "n=BLB12,v=1,a=2,b=5",   "n=CKSEL0,v=1,a=0,b=0",  "n=CKSEL1,v=1,a=0,b=1",
      "n=CKSEL2,v=1,a=0,b=2",  "n=CKSEL3,v=1,a=0,b=3",  "n=SPIEN,v=1,a=0,b=5",
      "n=BODEN,v=1,a=0,b=6",   "n=BODLEV,v=1,a=0,b=7",  "n=BOOTRST,v=1,a=1,b=0",
      "n=BOOTSZ0,v=1,a=1,b=1", "n=BOOTSZ1,v=1,a=1,b=2", "$end"};

 private:
  // Reads at 4.4 V; writes at 5 V: the programming characteristics hold at 5 V ± 10 % only.
  static constexpr int kProgramMillivolts = 5000;
  static constexpr int kReadMillivolts = 4400;
  static constexpr HvParallelPolicy kPolicy{
      .settleEveryLine = true, .flushBeforeSamples = false, .pageTicks = 60};
  const HvParallelPolicy& Policy() const override { return kPolicy; }
  std::span<const char* const> ConfigTable() const override { return kConfig; }

  void Init() override {
    if (gLink.ModelNumber >= 6300 && gApp.TypeIndex > 0 && gApp.TypeIndex < 10) {
      gApp.TypeIndex += 10;
    }
    row_ = ChosenRow(kTypes);
    if (gApp.TypeIndex < 10) {
      // Below model 6300 the chip sits turned round, its pin 1 by socket pin 21.
      PlacementRequest picture;
      picture.pins = 40;
      picture.pin1Side = 1;
      services().ShowPlacement(picture);
    }
    SetUp(kTypes.size(), row_.bitstream, "", kProgramMillivolts);
  }
  void ProgramLevel() override { SetVccVoltage(kProgramMillivolts); }
  void ReadLevel() override { SetVccVoltage(kReadMillivolts); }

  void EnterHvProgramming() override {
    using namespace avr_parallel;
    for (int i = 0; i < 2; ++i) {
      SelectGndPin(Type().groundPin);
      SelectVccPin(Type().vccPin);
    }
    SetReadDirection(false);
    PutCmd1(kCmdLineSettle);
    ClearLine(kLineReadBack);
    ClearLine(kLineOe);
    SetLine(kLineWr);
    for (std::uint8_t n : {kLineXtal1, kLineXa0, kLineXa1, kLineMode, kLineBs1, kLineBs2}) {
      ClearLine(n);
    }
    PutCmd1(kCmdPowerWait);
    SelectVppPin(Type().vppPin);
    PutCmd1(kCmdLineSettle);
    SetLine(kLineMode);
    PutCmd1(kCmdCycleWait);
    FlushCommands();
  }

  void Verify() override {
    ProgramLevel();
    ScanFlash(Scan::Verify);
  }
  void Config() override {
    if (!FusePass(FuseByte::Low, static_cast<std::uint8_t>(Word(0)))) return;
    FusePass(FuseByte::High, static_cast<std::uint8_t>(Word(1)));
  }
  void Lock() override { WriteLock(static_cast<std::uint8_t>(Word(2))); }
  void WriteData() override {
    Mega16xSet::WriteData();
    FinishScan();
  }
  void ReadConfig() override {
    ReadLevel();
    const auto b = ReadFuseBytes(std::array{FuseByte::Low, FuseByte::High, FuseByte::Lock});
    char line[48];
    std::snprintf(line, sizeof line, "Fuse low=%02x,Fuse Hi=%02x,Lock=%02x", b[0], b[1], b[2]);
    AddMessageLine(line);
    for (int i = 0; i < 3; ++i) SetWord(i, b[static_cast<std::size_t>(i)]);
  }
};

}  // namespace zelvar::avr
