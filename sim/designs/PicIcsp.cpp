#include "sim/designs/PicIcsp.h"

#include <string>

#include "sim/designs/Waits.h"

namespace zelvar::sim {

namespace {

// The design's own bytes, named apart from the sets' names.
enum : std::uint8_t {
  kPulse = 25,
  kTick = 26,
  kSettle = 27,
  kEraseWait = 28,
  kSend = 49,
  kSendRead = 50,
  kSendData = 51,
  kPowerUp = 52,
  kModeRegister = 20,
  kModeIcsp = 0x84,
};
constexpr WaitCommand kWaits[] = {
    {kPulse, 100}, {kTick, 1000}, {kSettle, 10000}, {kEraseWait, 10000}};
constexpr double kBitUs = 1;

class PicIcsp final : public Design {
 public:
  explicit PicIcsp(const IcspWiring& w) : w_(w), logic_(w) {}
  std::string Name() const override { return w_.tag; }

  int CommandLength(std::uint8_t op) const override {
    if (IsWait(kWaits, op)) return 1;
    return PicIcspLogic::CommandLength(op);
  }

  bool Execute(Programmer& p, const Command& c) override {
    if (RunWait(p, kWaits, c.op())) {
      p.Settle();
      return true;
    }
    logic_.Execute(p, c);
    return true;
  }

  void OnFpgaRegister(Programmer& p, std::uint8_t reg, std::uint8_t value) override {
    logic_.OnFpgaRegister(p, reg, value);
  }

 private:
  const IcspWiring& w_;
  PicIcspLogic logic_;
};

constexpr IcspWiring kDip40{"pic16dip40", 39, 40, 36};
constexpr IcspWiring kDip28{"pic16dip28", 33, 34, 30};
constexpr IcspWiring kDip18{"pic16dip18", 23, 24, 21};
constexpr IcspWiring kDip29{"pic16dip29", 22, 23, 0};
constexpr IcspWiring kDip14{"pic16dip14", 12, 13, 0};
constexpr IcspWiring kDip14Std{"pic16dip14std", 25, 26, 0};
constexpr IcspWiring kDip08{"pic16dip08", 22, 23, 0};
constexpr IcspWiring kDip10F{"pic10fdip08", 20, 21, 0};
constexpr IcspWiring kDip40c{"pic16dip40c", 39, 40, 36};
constexpr IcspWiring kDip28c{"pic16dip28c", 33, 34, 30};
constexpr IcspWiring kDip18c{"pic16dip18c", 23, 24, 21};

}  // namespace

int PicIcspLogic::CommandLength(std::uint8_t op) {
  if (op == kPowerUp) return 1;
  if (op == kSend || op == kSendRead) return 2;
  return op == kSendData ? 4 : 0;
}

void PicIcspLogic::Execute(Programmer& p, const Command& c) {
  if (c.op() == kPowerUp) return HoldLow(p);
  if (!mode_) {
    p.record.ProtocolError(std::string(w_.tag) + ": ICSP command before register 20 = 0x84");
    return;
  }
  Shift(p, c.bytes[1], 6);
  if (c.op() == kSendData) {
    p.AdvanceUs(kBitUs);
    Shift(p, static_cast<std::uint32_t>(c.bytes[2] | c.bytes[3] << 8), 16);
  } else if (c.op() == kSendRead) {
    ReadWord(p);
  }
}

void PicIcspLogic::OnFpgaRegister(Programmer& p, std::uint8_t reg, std::uint8_t value) {
  if (reg != kModeRegister) return;
  mode_ = value == kModeIcsp;
  if (mode_) HoldLow(p);
}

void PicIcspLogic::HoldLow(Programmer& p) {
  p.busInput[w_.data] = false;
  for (int pin : {w_.clock, w_.data, w_.pgm}) {
    if (pin != 0) p.level[pin] = 0;
  }
  p.Settle();
}

void PicIcspLogic::Clock(Programmer& p, int level) {
  p.level[w_.clock] = level;
  p.Settle();
  p.AdvanceUs(kBitUs / 2);
}

void PicIcspLogic::Shift(Programmer& p, std::uint32_t bits, int count) {
  for (int i = 0; i < count; ++i) {
    p.level[w_.data] = static_cast<int>((bits >> i) & 1);
    Clock(p, 1);
    Clock(p, 0);
  }
  p.level[w_.data] = 0;
  p.Settle();
}

void PicIcspLogic::ReadWord(Programmer& p) {
  p.AdvanceUs(kBitUs);
  p.busInput[w_.data] = true;
  std::uint32_t word = 0;
  bool driven = true;
  for (int k = 1; k <= 16; ++k) {
    Clock(p, 1);
    if (k >= 2 && k <= 15) {
      const int cp = p.ChipPinAt(w_.data);
      const int d = cp > 0 && p.chip() ? p.chip()->Drive(cp) : -1;
      driven = driven && d >= 0;
      if (d > 0) word |= 1u << (k - 2);
    }
    Clock(p, 0);
  }
  if (!driven) p.record.ProtocolError(std::string(w_.tag) + ": read while the chip drives not");
  p.busInput[w_.data] = false;
  p.level[w_.data] = 0;
  p.Settle();
  p.PushReplyByte(static_cast<std::uint8_t>(word & 0xFF));
  p.PushReplyByte(static_cast<std::uint8_t>(word >> 8));
}

std::unique_ptr<Design> MakePicDip40() {
  return std::make_unique<PicIcsp>(kDip40);
}
std::unique_ptr<Design> MakePicDip28() {
  return std::make_unique<PicIcsp>(kDip28);
}
std::unique_ptr<Design> MakePicDip18() {
  return std::make_unique<PicIcsp>(kDip18);
}
std::unique_ptr<Design> MakePicDip29() {
  return std::make_unique<PicIcsp>(kDip29);
}
std::unique_ptr<Design> MakePicDip14() {
  return std::make_unique<PicIcsp>(kDip14);
}
std::unique_ptr<Design> MakePicDip14Std() {
  return std::make_unique<PicIcsp>(kDip14Std);
}
std::unique_ptr<Design> MakePicDip08() {
  return std::make_unique<PicIcsp>(kDip08);
}
std::unique_ptr<Design> MakePic10fDip08() {
  return std::make_unique<PicIcsp>(kDip10F);
}

std::unique_ptr<Design> MakePicDip40c() {
  return std::make_unique<PicIcsp>(kDip40c);
}
std::unique_ptr<Design> MakePicDip28c() {
  return std::make_unique<PicIcsp>(kDip28c);
}
std::unique_ptr<Design> MakePicDip18c() {
  return std::make_unique<PicIcsp>(kDip18c);
}

}  // namespace zelvar::sim
