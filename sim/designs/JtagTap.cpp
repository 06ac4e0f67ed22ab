#include "sim/designs/JtagTap.h"

#include <string>
#include <vector>

#include "sim/designs/JtagTapCommands.h"
#include "sim/designs/Waits.h"

namespace zelvar::sim {

namespace {

using namespace jtag_tap;

struct TapWiring {
  const char* tag;
  int tdi, tms, tck, tdo;
};

constexpr WaitCommand kWaits[] = {
    {kTapWait, 1000}, {kTapAfterPulse, 2}, {kTapEraseClose, 1000}, {kTapLockClose, 1000}};

class JtagTap final : public Design {
 public:
  explicit JtagTap(TapWiring w) : w_(w) {}
  std::string Name() const override { return w_.tag; }

  int CommandLength(std::uint8_t op) const override {
    if (argFor_ != 0 || dataBytes_ > 0 || lastBits_ > 0) return 1;
    if (op == kTapShift) return 2;
    if (op == kTapReply || op == kTapDrop || op == kTapSettle || IsWait(kWaits, op)) return 1;
    return 0;
  }

  bool Execute(Programmer& p, const Command& c) override {
    p.busInput[static_cast<std::size_t>(w_.tdo)] = true;
    const std::uint8_t op = c.op();
    if (argFor_ != 0) return Argument(p, op);
    if (dataBytes_ > 0) {
      --dataBytes_;
      for (int i = 0; i < 8; ++i) Bit(p, (op >> i) & 1, 0);
      return true;
    }
    if (lastBits_ > 0) {
      for (int i = 0; i < lastBits_; ++i) Bit(p, (op >> i) & 1, i + 1 == lastBits_ ? 1 : 0);
      lastBits_ = 0;
      return true;
    }
    switch (op) {
      case kTapShift:
        return Shift(p, c.bytes[1]);
      case kTapReply:
        Reply(p);
        return false;  // the programmer sends the reply
      case kTapDrop:
        taken_.clear();
        return true;
      case kTapSettle:
        p.AdvanceUs(20000);
        return false;  // the programmer's own settle follows
      default:
        return RunWait(p, kWaits, op);
    }
  }

  void OnFpgaRegister(Programmer& p, std::uint8_t reg, std::uint8_t value) override {
    p.busInput[static_cast<std::size_t>(w_.tdo)] = true;
    if (reg != 18) return;
    const int line = value & 0x7F;
    const int level = (value & 0x80) ? 1 : 0;
    if (line == 1) Set(p, w_.tck, level);
    if (line == 3) Set(p, w_.tms, level);
  }

 private:
  bool Shift(Programmer& p, std::uint8_t sub) {
    switch (sub) {
      case kTapSubIr:
        for (int tms : {0, 1, 1, 0, 0}) Clock(p, tms);
        return true;
      case kTapSubDr:
        for (int tms : {0, 1, 0, 0}) Clock(p, tms);
        return true;
      case kTapSubBytes:
      case kTapSubLast:
      case kTapSubEnd:
        argFor_ = sub;
        return true;
      default:
        p.record.ProtocolError("jtag: unknown shift command " + std::to_string(sub));
        return true;
    }
  }

  bool Argument(Programmer& p, std::uint8_t n) {
    const std::uint8_t sub = argFor_;
    argFor_ = 0;
    if (sub == kTapSubBytes) {
      if (n < 1 || n > 50) p.record.ProtocolError("jtag: data byte count " + std::to_string(n));
      dataBytes_ = n;
    } else if (sub == kTapSubLast) {
      if (n < 1 || n > 8) p.record.ProtocolError("jtag: last bit count " + std::to_string(n));
      lastBits_ = n >= 1 && n <= 8 ? n : 0;
    } else {
      if (n != 1 && n != 12) p.record.ProtocolError("jtag: end code " + std::to_string(n));
      Clock(p, 1);  // Update
      Clock(p, 0);  // Run-Test/Idle
    }
    return true;
  }

  void Bit(Programmer& p, int tdi, int tms) {
    Set(p, w_.tdi, tdi);
    Set(p, w_.tms, tms);
    taken_.push_back(p.ReadLevel(w_.tdo) == 0 ? 0 : 1);
    Pulse(p);
  }

  void Clock(Programmer& p, int tms) {
    Set(p, w_.tms, tms);
    Pulse(p);
  }

  void Pulse(Programmer& p) {
    Set(p, w_.tck, 1);
    Set(p, w_.tck, 0);
  }

  static void Set(Programmer& p, int pin, int level) {
    p.level[static_cast<std::size_t>(pin)] = level;
    p.Settle();
  }

  void Reply(Programmer& p) {
    const std::size_t whole = taken_.size() / 8;
    for (std::size_t b = 0; b < whole; ++b) {
      std::uint8_t v = 0;
      for (int i = 0; i < 8; ++i) v |= static_cast<std::uint8_t>(taken_[b * 8 + i] << i);
      p.PushReplyByte(v);
    }
    if (const std::size_t rest = taken_.size() % 8; rest != 0) {
      std::uint8_t v = static_cast<std::uint8_t>(0xFF >> rest);
      for (std::size_t i = 0; i < rest; ++i)
        v |= static_cast<std::uint8_t>(taken_[whole * 8 + i] << (8 - rest + i));
      p.PushReplyByte(v);
    }
    taken_.clear();
  }

  TapWiring w_;
  std::uint8_t argFor_ = 0;
  int dataBytes_ = 0;
  int lastBits_ = 0;
  std::vector<std::uint8_t> taken_;
};

constexpr TapWiring kWirings[] = {
    {"jtag2", 13, 14, 15, 28},          {"jtag95p44to44", 13, 14, 15, 28},
    {"jtag95p44to40", 13, 14, 15, 27},  {"jtagC8051f32pin", 23, 22, 21, 24},
    {"jtagM4a5P44to44", 8, 34, 11, 30},
};

}  // namespace

std::unique_ptr<Design> MakeJtagTap(std::string_view tag) {
  for (const TapWiring& w : kWirings) {
    if (tag == w.tag) return std::make_unique<JtagTap>(w);
  }
  return nullptr;
}

std::unique_ptr<Design> MakeJtag2() {
  return MakeJtagTap("jtag2");
}
std::unique_ptr<Design> MakeJtag95p44to44() {
  return MakeJtagTap("jtag95p44to44");
}
std::unique_ptr<Design> MakeJtag95p44to40() {
  return MakeJtagTap("jtag95p44to40");
}
std::unique_ptr<Design> MakeJtagC8051f32pin() {
  return MakeJtagTap("jtagC8051f32pin");
}
std::unique_ptr<Design> MakeJtagM4a5P44to44() {
  return MakeJtagTap("jtagM4a5P44to44");
}

}  // namespace zelvar::sim
