#include "sim/designs/X5045.h"

namespace zelvar::sim {

namespace {

struct Seat {
  const char* name;
  int select, so, wp, si, sck, reset;
};
constexpr Seat kDip08{"x5045dip08", 17, 18, 19, 21, 22, 23};
constexpr Seat kDip14{"x5045dip14", 14, 15, 19, 21, 22, 26};
constexpr std::uint8_t kSampleSo = 1;

class X5045Design final : public Design {
 public:
  explicit X5045Design(const Seat& seat) : seat_(seat) {}
  std::string Name() const override { return seat_.name; }

  int CommandLength(std::uint8_t op) const override { return op == kSampleSo ? 1 : 0; }

  bool Execute(Programmer& p, const Command& c) override {
    Hold(p);
    if (c.op() != kSampleSo) return false;
    p.PushReplyByte(p.ReadLevel(seat_.so) == 0 ? 0 : 1);
    return true;
  }

  void OnFpgaRegister(Programmer& p, std::uint8_t reg, std::uint8_t value) override {
    Hold(p);
    if (reg != 18) return;
    const int level = (value & 0x80) ? 1 : 0;
    switch (value & 0x7F) {
      case 1:
        Set(p, seat_.sck, level);
        break;
      case 2:
        Set(p, seat_.si, level);
        break;
      case 3:
        Set(p, seat_.select, level);
        break;
      default:
        break;
    }
  }

 private:
  void Hold(Programmer& p) const {
    p.busInput[seat_.so] = true;
    p.busInput[seat_.reset] = true;
    Set(p, seat_.wp, 1);
  }
  static void Set(Programmer& p, int pin, int level) {
    int& l = p.level[static_cast<std::size_t>(pin)];
    if (l == level) return;
    l = level;
    p.Settle();
  }

  Seat seat_;
};

}  // namespace

std::unique_ptr<Design> MakeX5045Dip08() {
  return std::make_unique<X5045Design>(kDip08);
}

std::unique_ptr<Design> MakeX5045Dip14() {
  return std::make_unique<X5045Design>(kDip14);
}

}  // namespace zelvar::sim
