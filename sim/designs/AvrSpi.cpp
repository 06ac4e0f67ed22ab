#include "sim/designs/AvrSpi.h"

#include <string>
#include <utility>

#include "sim/designs/Waits.h"

namespace zelvar::sim {

namespace {

// The design's own command bytes, named here apart from the sets' names.
enum : std::uint8_t {
  kShiftOut = 56,
  kShiftIn = 57,
  kOutBits = 74,
  kInBits = 75,
  kLineRegister = 18,
};
constexpr int kSckLine = 2, kResetLine = 3;

constexpr WaitCommand kWaits[] = {{25, 100}, {26, 1250}, {27, 2500}, {28, 10000}};

struct SpiPins {
  int mosi, miso, sck, reset;
};

class AvrSpiDesign final : public Design {
 public:
  AvrSpiDesign(std::string name, SpiPins pins) : name_(std::move(name)), pins_(pins) {}
  std::string Name() const override { return name_; }

  int CommandLength(std::uint8_t op) const override {
    if (IsWait(kWaits, op) || op == kShiftIn) return 1;
    return op == kShiftOut || op == kOutBits || op == kInBits ? 2 : 0;
  }

  bool Execute(Programmer& p, const Command& c) override {
    if (RunWait(p, kWaits, c.op())) return true;
    switch (c.op()) {
      case kOutBits:
        outBits_ = c.bytes[1];
        return true;
      case kInBits:
        inBits_ = c.bytes[1];
        return true;
      case kShiftOut:
        Shift(p, c.bytes[1]);
        return true;
      case kShiftIn:
        p.PushReplyByte(Shift(p, 0x00));
        return true;
      default:
        return false;
    }
  }

  void OnFpgaRegister(Programmer& p, std::uint8_t reg, std::uint8_t value) override {
    if (reg != kLineRegister) return;
    const int line = value & 0x7F;
    const int level = (value & 0x80) != 0 ? 1 : 0;
    p.busInput[pins_.miso] = true;
    if (line == kSckLine) p.level[pins_.sck] = level;
    if (line == kResetLine) p.level[pins_.reset] = level;
    p.Settle();
  }

 private:
  std::uint8_t Shift(Programmer& p, std::uint8_t out) {
    if (outBits_ != 8 || inBits_ != 8) {
      p.record.ProtocolError(name_ + ": shift before the bit counts were set");
      return 0xFF;
    }
    std::uint8_t in = 0;
    bool driven = true;
    for (int k = 7; k >= 0; --k) {
      p.level[pins_.mosi] = (out >> k) & 1;
      p.level[pins_.sck] = 0;
      p.Settle();
      p.AdvanceUs(2);
      const int cp = p.ChipPinAt(pins_.miso);
      const int d = cp > 0 && p.chip() ? p.chip()->Drive(cp) : -1;
      driven = driven && d >= 0;
      in = static_cast<std::uint8_t>(in << 1 | (d > 0 ? 1 : 0));
      p.level[pins_.sck] = 1;
      p.Settle();
      p.AdvanceUs(2);
    }
    p.level[pins_.sck] = 0;
    p.Settle();
    if (p.chip() && !driven)
      p.record.ProtocolError(name_ + ": MISO read while the chip drives it not");
    return in;
  }

  std::string name_;
  SpiPins pins_;
  int outBits_ = 0, inBits_ = 0;
};

// The ATtiny26 with its pin 1 in socket pin 9: MOSI 1, MISO 2, SCK 3, RESET 10.
constexpr SpiPins kDip20From9{.mosi = 9, .miso = 10, .sck = 11, .reset = 18};

}  // namespace

std::unique_ptr<Design> MakeAtdip20Spi() {
  return std::make_unique<AvrSpiDesign>("ATdip20spi", kDip20From9);
}

}  // namespace zelvar::sim
