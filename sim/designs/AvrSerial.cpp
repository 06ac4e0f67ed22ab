#include "sim/designs/AvrSerial.h"

#include <string>
#include <utility>

#include "sim/designs/Waits.h"

namespace zelvar::sim {

namespace {

// The design's own command bytes, named apart from the sets' names.
enum : std::uint8_t {
  kSampleSdo = 2,
  kLineRegister = 18,
  kInstructionWait = 25,
  kTick = 26,
  kCycleWait = 28,
};
constexpr int kSciLine = 4, kFrameLine = 5;

struct SerialPins {
  int sci, sdi, sii, sdo;
};

constexpr WaitCommand kWaits[] = {{kInstructionWait, 100}, {kTick, 1250}, {kCycleWait, 10000}};

class AvrSerialDesign final : public Design {
 public:
  AvrSerialDesign(std::string name, SerialPins pins) : name_(std::move(name)), pins_(pins) {}
  std::string Name() const override { return name_; }
  int CommandLength(std::uint8_t op) const override {
    return op == kSampleSdo || IsWait(kWaits, op) ? 1 : 0;
  }
  bool Execute(Programmer& p, const Command& c) override {
    if (RunWait(p, kWaits, c.op())) return true;
    switch (c.op()) {
      case kSampleSdo:
        if (!framed_) p.record.ProtocolError(name_ + ": SDO sampled before any frame");
        if (!sdoDriven_) p.record.ProtocolError(name_ + ": SDO read while the chip drives it not");
        p.PushReplyByte(out_);
        return true;
      default:
        return false;
    }
  }
  void OnFpgaRegister(Programmer& p, std::uint8_t reg, std::uint8_t value) override {
    if (reg != kLineRegister) return;
    const int line = value & 0x7F;
    const bool high = (value & 0x80) != 0;
    p.level[pins_.sdi] = 0;
    p.level[pins_.sii] = 0;
    // SDO is the logic's input.
    p.busInput[pins_.sdo] = true;
    if (line == kSciLine) p.level[pins_.sci] = high ? 1 : 0;
    if (line == kFrameLine && high && !frameLine_) Frame(p);
    if (line == kFrameLine) frameLine_ = high;
    p.Settle();
  }

 private:
  int Sdo(Programmer& p) const {
    const int cp = p.ChipPinAt(pins_.sdo);
    return cp > 0 && p.chip() ? p.chip()->Drive(cp) : -1;
  }

  void Frame(Programmer& p) {
    const std::uint8_t instruction = p.port[0], data = p.port[1];
    const int idle = p.level[pins_.sci] == 1 ? 1 : 0;
    std::uint8_t out = 0;
    bool driven = true;
    for (int k = 0; k < 11; ++k) {
      const bool bit = k >= 1 && k <= 8;
      p.level[pins_.sdi] = bit ? (data >> (8 - k)) & 1 : 0;
      p.level[pins_.sii] = bit ? (instruction >> (8 - k)) & 1 : 0;
      p.level[pins_.sci] = 0;
      p.Settle();
      const int sdo = Sdo(p);
      if (bit) {
        driven = driven && sdo >= 0;
        out = static_cast<std::uint8_t>(out << 1 | (sdo > 0 ? 1 : 0));
      }
      p.level[pins_.sci] = 1;
      p.Settle();
      p.AdvanceUs(1);
    }
    p.level[pins_.sci] = idle;
    p.level[pins_.sdi] = 0;
    p.level[pins_.sii] = 0;
    framed_ = true;
    sdoDriven_ = driven;
    out_ = out;
  }

  std::string name_;
  SerialPins pins_;
  bool frameLine_ = false;
  bool framed_ = false;
  bool sdoDriven_ = false;
  std::uint8_t out_ = 0xFF;
};

// Chip pins SCI 2 (PB3), SDI 5 (PB0), SII 6 (PB1), SDO 7 (PB2) of the 8-pin parts.
constexpr SerialPins kFromPin11{.sci = 12, .sdi = 27, .sii = 28, .sdo = 29};
constexpr SerialPins kFromPin17{.sci = 18, .sdi = 21, .sii = 22, .sdo = 23};

}  // namespace

std::unique_ptr<Design> MakeAtiny12() {
  return std::make_unique<AvrSerialDesign>("Atiny12", kFromPin11);
}
std::unique_ptr<Design> MakeAtiny15() {
  return std::make_unique<AvrSerialDesign>("Atiny15", kFromPin11);
}
std::unique_ptr<Design> MakeAtiny15Std() {
  return std::make_unique<AvrSerialDesign>("Atiny15std", kFromPin17);
}
std::unique_ptr<Design> MakeAtiny12Std() {
  return std::make_unique<AvrSerialDesign>("Atiny12std", kFromPin17);
}

}  // namespace zelvar::sim
