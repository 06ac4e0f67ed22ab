#include "sim/designs/Lp76x.h"

#include <string>

#include "sim/designs/Waits.h"

namespace zelvar::sim {

namespace {

constexpr std::uint8_t kShiftOut = 47, kShiftIn = 48;
constexpr WaitCommand kWaits[] = {{25, 100}};

class Lp76xSerial final : public Design {
 public:
  Lp76xSerial(const char* tag, int clock, int data) : tag_(tag), clock_(clock), data_(data) {}
  std::string Name() const override { return tag_; }

  int CommandLength(std::uint8_t op) const override {
    if (op == kShiftIn || IsWait(kWaits, op)) return 1;
    return op == kShiftOut ? 2 : 0;
  }

  bool Execute(Programmer& p, const Command& c) override {
    if (RunWait(p, kWaits, c.op())) return true;
    if (c.op() == kShiftOut) {
      p.busInput[data_] = false;
      for (int i = 7; i >= 0; --i) {
        p.level[data_] = (c.bytes[1] >> i) & 1;
        Clock(p);
      }
      return true;
    }
    if (c.op() == kShiftIn) {
      p.busInput[data_] = true;
      p.Settle();
      std::uint8_t b = 0;
      for (int i = 0; i < 8; ++i) {
        p.level[clock_] = 1;
        p.Settle();
        b = static_cast<std::uint8_t>(b << 1 | (p.ReadLevel(data_) == 1 ? 1 : 0));
        p.level[clock_] = 0;
        p.Settle();
      }
      p.busInput[data_] = false;
      p.Settle();
      p.PushReplyByte(b);
      return true;
    }
    return false;
  }

 private:
  void Clock(Programmer& p) const {
    p.Settle();
    p.level[clock_] = 1;
    p.Settle();
    p.level[clock_] = 0;
    p.Settle();
    p.AdvanceUs(1);
  }

  std::string tag_;
  int clock_, data_;
};

}  // namespace

std::unique_ptr<Design> MakeLp76x() {
  return std::make_unique<Lp76xSerial>("lp76x", 31, 32);
}

std::unique_ptr<Design> MakeLp76xP16() {
  return std::make_unique<Lp76xSerial>("lp76xp16", 25, 26);
}

std::unique_ptr<Design> MakeLp76xP20() {
  return std::make_unique<Lp76xSerial>("lp76xp20", 26, 27);
}

}  // namespace zelvar::sim
