#include "sim/designs/AvrParallel.h"

#include <utility>

#include "sim/designs/Waits.h"

namespace zelvar::sim {

namespace {

// The design's own command bytes, named here apart from the sets' names so that the design stays
// an independent check of them.
enum : std::uint8_t {
  kSample = 1,
  kClockSample = 2,
  kLineRegister = 18,
  kPort0 = 16,
  kPowerWait = 25,
  kTick = 26,
  kLongTick = 27,
  kCycleWait = 28,
  kLineSettle = 52,
};
constexpr int kReadBackLine = 1;
constexpr int kClockLine = 7;

constexpr WaitCommand kWaits[] = {
    {kPowerWait, 100}, {kTick, 1250}, {kLongTick, 2500}, {kCycleWait, 10000}, {kLineSettle, 1}};

class AvrParallelDesign final : public Design {
 public:
  AvrParallelDesign(std::string name, AvrParallelPins pins) : name_(std::move(name)), pins_(pins) {}

  std::string Name() const override { return name_; }

  int CommandLength(std::uint8_t op) const override {
    if (IsWait(kWaits, op)) return 1;
    switch (op) {
      case kSample:
      case kClockSample:
        return 1;
      case kPort0:
        return 2;
      default:
        return 0;
    }
  }

  bool Execute(Programmer& p, const Command& c) override {
    HoldInputs(p);
    if (RunWait(p, kWaits, c.op())) return true;
    switch (c.op()) {
      case kSample:
        p.PushReplyByte(Sample(p));
        return true;
      case kClockSample: {
        // The clock line read back at its socket pin: a pin shorted to ground reads 0.
        const int sp = pins_.lines[kClockLine];
        const bool high = sp != p.socketFaults.stuckLowPin && p.ReadLevel(sp) == 1;
        p.PushReplyByte(high ? 1 : 0);
        return true;
      }
      case kPort0:
        p.port[0] = c.bytes[1];
        for (int i = 0; i < 8; ++i) p.level[pins_.data[i]] = (c.bytes[1] >> i) & 1;
        p.Settle();
        return true;
      default:
        return false;
    }
  }

  void OnFpgaRegister(Programmer& p, std::uint8_t reg, std::uint8_t value) override {
    HoldInputs(p);
    if (reg != kLineRegister) return;
    const int line = value & 0x7F;
    const bool high = (value & 0x80) != 0;
    if (line < 1 || line > 10) return;
    if (line == kReadBackLine) {
      readBack_ = high;
      for (int sp : pins_.data) p.busInput[sp] = high;
    } else if (pins_.lines[line] != 0) {
      p.level[pins_.lines[line]] = high ? 1 : 0;
    }
    p.Settle();
  }

  bool DrivesThroughResistor(int socketPin) const override {
    for (int sp : pins_.data) {
      if (sp == socketPin) return true;
    }
    return false;
  }

 private:
  void HoldInputs(Programmer& p) const {
    if (pins_.rdy != 0) p.busInput[pins_.rdy] = true;
  }

  std::uint8_t Sample(Programmer& p) {
    if (!readBack_)
      p.record.ProtocolError(name_ + ": data port sampled while the programmer drives it");
    std::uint8_t b = 0;
    bool driven = false;
    for (int i = 0; i < 8; ++i) {
      const int sp = pins_.data[i];
      const int cp = p.ChipPinAt(sp);
      const int d = cp > 0 && p.chip() ? p.chip()->Drive(cp) : -1;
      driven = driven || d >= 0;
      if (d > 0 || (d < 0 && p.ReadLevel(sp) == 1)) b |= static_cast<std::uint8_t>(1 << i);
    }
    if (p.chip() && !driven)
      p.record.ProtocolError(name_ + ": data port read while the chip drives none of it");
    return b;
  }

  std::string name_;
  AvrParallelPins pins_;
  bool readBack_ = false;
};

// A 28-pin DIP with its pin 1 in socket pin 7 (chip pin k on socket pin k + 6): the ATmega8/48
// pinout's OE (PD2), WR (PD3), BS1 (PD4), XA0 (PD5), XA1 (PD6), XTAL1, PAGEL (PD7), BS2 (PC2), and
// DATA on PB0..PB5 and PC0, PC1.
constexpr AvrParallelPins kDip28{
    .lines = {0, 0, 10, 11, 12, 17, 18, 15, 0, 19, 31},
    .data = {20, 21, 22, 23, 24, 25, 29, 30},
};

// A 40-pin DIP in socket pins 1-40 with the AT90S8515 pinout (ATmega161, ATmega162): DATA on
// PB0..PB7 (1-8), OE, WR, BS1, XA0, XA1 and PAGEL on PD2..PD7 (12-17), XTAL1 19, BS2 on PA0 (39).
constexpr AvrParallelPins kDip40{
    .lines = {0, 0, 12, 13, 14, 15, 16, 19, 0, 17, 39},
    .data = {1, 2, 3, 4, 5, 6, 7, 8},
    .rdy = 11,
};

// A 40-pin DIP in socket pins 1-40 with the AT90S8535 pinout (ATmega163): DATA on PB0..PB7
// (1-8), XTAL1 13, OE, WR, BS1, XA0, XA1 and PAGEL on PD2..PD7 (16-21), BS2 on PA0 (40).
constexpr AvrParallelPins kDip40Std{
    .lines = {0, 0, 16, 17, 18, 19, 20, 13, 0, 21, 40},
    .data = {1, 2, 3, 4, 5, 6, 7, 8},
    .rdy = 15,
};

// The 44-pin PLCC adapters sit at the bottom of the socket, PLCC pin n in socket pin n - 2 (pins 1
// and 2 in socket pins 47 and 48), so that the DIP40 parts' PLCC44 packages keep their supplies in
// reach. The AT90S8535 PLCC44 pinout: DATA PB0..PB7 (PLCC 2-9: socket 48, 1-7), RESET 10 (8),
// GND 12 (10), XTAL1 14 (12), OE, WR, BS1, XA0, XA1 and PAGEL on PD2..PD7 (PLCC 17-22: socket
// 15-20), BS2 PA0 (PLCC 43: socket 41), VCC 44 (42). Our TQFP64 adapter of package 50 wires the
// ATmega64/128 to the same places.
constexpr AvrParallelPins kPlcc44Std{
    .lines = {0, 0, 15, 16, 17, 18, 19, 12, 0, 20, 41},
    .data = {48, 1, 2, 3, 4, 5, 6, 7},
};

// The AT90S8515 PLCC44 pinout in the same adapter: DATA PB0..PB7 (PLCC 2-9: socket 48, 1-7), RESET
// 10 (8), OE, WR, BS1, XA0, XA1 and PAGEL on PD2..PD7 (PLCC 14-19: socket 12-17), XTAL1 21 (19),
// GND 22 (20), BS2 PA0 (PLCC 43: socket 41), VCC 44 (42).
constexpr AvrParallelPins kPlcc44{
    .lines = {0, 0, 12, 13, 14, 15, 16, 19, 0, 17, 41},
    .data = {48, 1, 2, 3, 4, 5, 6, 7},
};

// A 20-pin DIP with its pin 1 in socket pin 11 (chip pin k on socket pin k + 10), the ATtiny2313
// pinout: XTAL1 15, OE, WR, BS1/PAGEL and XA0 on PD2..PD5 (16-19), XA1/BS2 on PD6 (21), DATA on
// PB0..PB7 (22-29). Lines 9 and 10 have no pin of their own.
constexpr AvrParallelPins kDip20{
    .lines = {0, 0, 16, 17, 18, 19, 21, 15, 0, 0, 0},
    .data = {22, 23, 24, 25, 26, 27, 28, 29},
};

}  // namespace

std::unique_ptr<Design> MakeAtiny2313Dip20() {
  return std::make_unique<AvrParallelDesign>("Atiny2313dip20", kDip20);
}

std::unique_ptr<Design> MakeAt90s8515Plcc44() {
  return std::make_unique<AvrParallelDesign>("at90s8515plcc44", kPlcc44);
}

std::unique_ptr<Design> MakeAt90s8535Plcc44() {
  return std::make_unique<AvrParallelDesign>("at90s8535plcc44", kPlcc44Std);
}

std::unique_ptr<Design> MakeAt90s8535Dip40Std() {
  return std::make_unique<AvrParallelDesign>("at90s8535dip40std", kDip40Std);
}

// The same chip turned half round, as the placement picture of the models below 6300 shows it
// (pin 1 in socket pin 21): each line on the socket pin its chip pin sits in, so that RESET, VCC
// and GND (chip pins 9-11) meet the supplies the sets select on socket pins 29-31.
constexpr int Turned40(int pin) {
  return pin == 0 ? 0 : (pin - 1 + 20) % 40 + 1;
}
constexpr AvrParallelPins TurnedDip40(const AvrParallelPins& p) {
  AvrParallelPins t{};
  for (std::size_t i = 0; i < p.lines.size(); ++i) t.lines[i] = Turned40(p.lines[i]);
  for (std::size_t i = 0; i < p.data.size(); ++i) t.data[i] = Turned40(p.data[i]);
  t.rdy = Turned40(p.rdy);
  return t;
}

std::unique_ptr<Design> MakeAt90s8535Dip40() {
  return std::make_unique<AvrParallelDesign>("at90s8535dip40", TurnedDip40(kDip40Std));
}

std::unique_ptr<Design> MakeAt90s8515Dip40() {
  return std::make_unique<AvrParallelDesign>("at90s8515dip40", kDip40);
}

std::unique_ptr<Design> MakeAtmega8Dip28() {
  return std::make_unique<AvrParallelDesign>("atmega8dip28", kDip28);
}

}  // namespace zelvar::sim
