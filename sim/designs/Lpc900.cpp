#include "sim/designs/Lpc900.h"

#include <string>

#include "sim/designs/Waits.h"

namespace zelvar::sim {

namespace {

constexpr std::uint8_t kFpgaLines = 18;
constexpr std::uint8_t kRead = 2, kPort0 = 16, kPort1 = 17, kShiftOut = 56, kShiftIn = 57;
constexpr WaitCommand kWaits[] = {{25, 10}, {26, 1000}};
constexpr double kBitUs = 1;

struct IcpPins {
  int rst, pcl, pda;
};

// The ICP wire, bit by bit. After the last bit of a byte with bit 0 set (a register read, or a
// value that looks like one) the design lets PDA go before PCL falls, where the chip may take it.
void SendByte(Programmer& p, const IcpPins& w, std::uint8_t b) {
  p.busInput[w.pda] = false;
  for (int i = 7; i >= 0; --i) {
    p.level[w.pda] = (b >> i) & 1;
    p.Settle();
    p.level[w.pcl] = 1;
    p.Settle();
    if (i == 0 && (b & 1) != 0) {
      p.busInput[w.pda] = true;
      p.Settle();
    }
    p.level[w.pcl] = 0;
    p.Settle();
    p.AdvanceUs(kBitUs);
  }
}

std::uint8_t ReceiveByte(Programmer& p, const IcpPins& w) {
  p.busInput[w.pda] = true;
  p.Settle();
  std::uint8_t b = 0;
  for (int i = 0; i < 8; ++i) {
    p.level[w.pcl] = 1;
    p.Settle();
    b = static_cast<std::uint8_t>(b << 1 | (p.ReadLevel(w.pda) == 1 ? 1 : 0));
    p.level[w.pcl] = 0;
    p.Settle();
    p.AdvanceUs(kBitUs);
  }
  p.busInput[w.pda] = false;
  p.Settle();
  return b;
}

std::uint8_t Reversed(std::uint8_t b) {
  std::uint8_t r = 0;
  for (int i = 0; i < 8; ++i) r = static_cast<std::uint8_t>(r << 1 | ((b >> i) & 1));
  return r;
}

class RegisterFrontEnd final : public Design {
 public:
  RegisterFrontEnd(const char* tag, IcpPins pins) : tag_(tag), w_(pins) {}
  std::string Name() const override { return tag_; }

  int CommandLength(std::uint8_t op) const override {
    if (op == kRead || IsWait(kWaits, op)) return 1;
    return op == kPort0 || op == kPort1 ? 2 : 0;
  }

  bool Execute(Programmer& p, const Command& c) override {
    if (RunWait(p, kWaits, c.op())) return true;
    switch (c.op()) {
      case kPort0:
        selected_ = c.bytes[1] & 3;
        p.port[0] = c.bytes[1];
        return true;
      case kPort1:
        p.port[1] = c.bytes[1];
        pending_ = true;
        return true;
      case kRead:
        SendByte(p, w_, selected_ == 2 ? 0x0D : 0x0F);
        p.PushReplyByte(ReceiveByte(p, w_));
        return true;
      default:
        return false;
    }
  }

  void OnFpgaRegister(Programmer& p, std::uint8_t reg, std::uint8_t value) override {
    if (reg != kFpgaLines) return;
    const int line = value & 0x7F;
    const int level = value >> 7;
    if (line == 1) frame_ = level;
    if (line == 2) {
      p.level[w_.rst] = level;
      p.Settle();
    }
    if (line == 3 && level == 1 && pending_ && frame_ == 0) {
      constexpr std::uint8_t kChipRegister[] = {0x08, 0x0A, 0x0C, 0x0E};
      pending_ = false;
      SendByte(p, w_, kChipRegister[selected_]);
      SendByte(p, w_, p.port[1]);
    }
  }

 private:
  std::string tag_;
  IcpPins w_;
  int selected_ = 0, frame_ = 1;
  bool pending_ = false;
};

class Shifter final : public Design {
 public:
  std::string Name() const override { return "lpc901"; }

  int CommandLength(std::uint8_t op) const override {
    if (op == kShiftIn || IsWait(kWaits, op)) return 1;
    return op == kShiftOut ? 2 : 0;
  }

  bool Execute(Programmer& p, const Command& c) override {
    if (RunWait(p, kWaits, c.op())) return true;
    if (c.op() == kShiftOut) {
      SendByte(p, kPins, Reversed(c.bytes[1]));
      return true;
    }
    if (c.op() == kShiftIn) {
      p.PushReplyByte(Reversed(ReceiveByte(p, kPins)));
      return true;
    }
    return false;
  }

  void OnFpgaRegister(Programmer& p, std::uint8_t reg, std::uint8_t value) override {
    if (reg != kFpgaLines) return;
    const int line = value & 0x7F;
    const int pins[] = {0, kPins.pcl, kPins.pda, kPins.rst};
    if (line < 1 || line > 3) return;
    p.level[pins[line]] = value >> 7;
    p.Settle();
  }

 private:
  static constexpr IcpPins kPins{.rst = 20, .pcl = 22, .pda = 23};
};

}  // namespace

std::unique_ptr<Design> MakeP89lpc932() {
  return std::make_unique<RegisterFrontEnd>("p89lpc932", IcpPins{.rst = 9, .pcl = 31, .pda = 32});
}

std::unique_ptr<Design> MakeP89lpc932P28() {
  return std::make_unique<RegisterFrontEnd>("p89lpc932p28",
                                            IcpPins{.rst = 12, .pcl = 28, .pda = 29});
}

std::unique_ptr<Design> MakeLpc901() {
  return std::make_unique<Shifter>();
}

}  // namespace zelvar::sim
