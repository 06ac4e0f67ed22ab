#include "sim/designs/MdtSerial.h"

#include <string>

#include "sim/designs/Waits.h"

namespace zelvar::sim {

namespace {

// The design's own names for its bytes and lines.
constexpr std::uint8_t kSample = 1, kShift = 29, kPort0 = 16, kPort1 = 17;
constexpr std::uint8_t kFpgaLines = 18;
constexpr int kFrameLine = 2, kDriveLine = 3, kLengthLine = 5;
constexpr WaitCommand kWaits[] = {{26, 1000}, {27, 10000}};

class MdtSerialDesign final : public Design {
 public:
  MdtSerialDesign(std::string tag, int clock, int data)
      : tag_(std::move(tag)), clock_(clock), data_(data) {}

  std::string Name() const override { return tag_; }

  int CommandLength(std::uint8_t op) const override {
    if (op == kSample || op == kShift || IsWait(kWaits, op)) return 1;
    return op == kPort0 || op == kPort1 ? 2 : 0;
  }

  bool Execute(Programmer& p, const Command& c) override {
    if (RunWait(p, kWaits, c.op())) {
      p.Settle();
      return true;
    }
    switch (c.op()) {
      case kPort0:
      case kPort1:
        p.port[c.op() - kPort0] = c.bytes[1];
        return true;
      case kShift:
        for (int i = 0; i < 8 && sent_ < length_; ++i, ++sent_) ShiftBit(p);
        return true;
      case kSample:
        p.PushReplyByte(capture_);
        return true;
      default:
        return false;
    }
  }

  void OnFpgaRegister(Programmer& p, std::uint8_t reg, std::uint8_t value) override {
    if (reg != kFpgaLines) return;
    const int line = value & 0x7F;
    const bool high = (value & 0x80) != 0;
    if (line == kDriveLine) {
      driving_ = high;
      p.busInput[clock_] = p.busInput[data_] = !high;
      p.level[clock_] = p.level[data_] = 0;
      p.Settle();
    } else if (line == kLengthLine) {
      long_ = high;
    } else if (line == kFrameLine) {
      if (high) {
        length_ = long_ ? 13 : 5;
        frame_ = static_cast<std::uint16_t>((p.port[0] | p.port[1] << 8) & ((1u << length_) - 1));
      } else {
        length_ = 0;
      }
      sent_ = 0;
      capture_ = 0;
    }
  }

 private:
  void ShiftBit(Programmer& p) {
    const int bit = frame_ >> sent_ & 1;
    if (driving_) {
      p.busInput[data_] = bit == 1;
      p.level[data_] = 0;
    }
    p.Settle();
    p.level[clock_] = 1;
    p.Settle();
    if (sent_ >= 5) {
      const int level = p.ReadLevel(data_);
      if (level != 0) capture_ = static_cast<std::uint8_t>(capture_ | 1u << (sent_ - 5));
    }
    p.level[clock_] = 0;
    p.Settle();
  }

  std::string tag_;
  int clock_, data_;
  bool driving_ = false, long_ = false;
  int length_ = 0, sent_ = 0;
  std::uint16_t frame_ = 0;
  std::uint8_t capture_ = 0;
};

}  // namespace

std::unique_ptr<Design> MakeMdt10p73() {
  return std::make_unique<MdtSerialDesign>("mdt10p73", 33, 34);
}
std::unique_ptr<Design> MakeMdt10p40Pin() {
  return std::make_unique<MdtSerialDesign>("mdt10p40pin", 39, 40);
}
std::unique_ptr<Design> MakeMdt10p18Pin() {
  return std::make_unique<MdtSerialDesign>("mdt10p18pin", 23, 24);
}
std::unique_ptr<Design> MakeMdt10p14Std() {
  return std::make_unique<MdtSerialDesign>("mdt10p14_18std", 25, 26);
}
std::unique_ptr<Design> MakeMdt10p8Pin() {
  return std::make_unique<MdtSerialDesign>("mdt10p8pin", 22, 23);
}

}  // namespace zelvar::sim
