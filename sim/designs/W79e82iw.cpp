#include "sim/designs/W79e82iw.h"

#include <array>
#include <deque>
#include <string>

#include "sim/designs/Waits.h"

namespace zelvar::sim {

namespace {

constexpr std::uint8_t kReadStep = 1, kBit0 = 96, kBit1 = 97, kStrobeEnd = 99, kStrobeStart = 100,
                       kStrobeStep = 98, kEntry = 101, kByte = 102, kCloseEntry = 25;
constexpr WaitCommand kWaits[] = {{25, 50}, {26, 1000}, {28, 100000}};
constexpr std::uint8_t kEntryLead = 0x5A;
// Socket pins of the bus bits and of lines 1 to 5.
constexpr std::array<int, 8> kBus = {18, 19, 20, 21, 22, 23, 24, 26};
constexpr std::array<int, 6> kLines = {0, 11, 27, 28, 29, 30};

class W79e82iw final : public Design {
 public:
  std::string Name() const override { return "w79e82iw20"; }

  int CommandLength(std::uint8_t op) const override {
    switch (op) {
      case kByte:
        return 2;
      case kReadStep:
      case kBit0:
      case kBit1:
      case kStrobeEnd:
      case kStrobeStart:
      case kStrobeStep:
      case kEntry:
        return 1;
      default:
        return IsWait(kWaits, op) ? 1 : 0;
    }
  }

  bool Execute(Programmer& p, const Command& c) override {
    switch (c.op()) {
      case kEntry:
        entering_ = true;
        leadSent_ = false;
        held_.clear();
        bits_ = 0;
        for (int n : {1, 2, 3}) Line(p, n, 0);
        ReadEnable(p, false);
        Line(p, 4, 1);
        Line(p, 5, 1);
        return true;
      case kByte:
        if (entering_) {
          if (!leadSent_) Shift(p, kEntryLead);
          leadSent_ = true;
          Shift(p, c.bytes[1]);
        } else {
          held_.push_back(c.bytes[1]);
        }
        return true;
      case kCloseEntry:
        entering_ = false;
        p.AdvanceUs(50);
        return true;
      case kBit0:
      case kBit1:
        if (held_.size() < 2) return true;  // a trailing clock
        command_ = static_cast<std::uint8_t>(command_ << 1 | (c.op() == kBit1 ? 1 : 0));
        if (++bits_ == 7) Latch(p);
        return true;
      case kReadStep:
        held_.clear();
        ReadEnable(p, true);
        Line(p, 4, 0);
        Line(p, 5, 0);
        p.PushReplyByte(Sample(p));
        Line(p, 5, 1);
        Line(p, 4, 1);
        Line(p, 3, 1);
        Line(p, 3, 0);
        ReadEnable(p, false);
        return true;
      case kStrobeStart:
        Bus(p, held_.empty() ? 0xFF : held_.front());
        held_.clear();
        Line(p, 3, 0);
        Line(p, 4, 0);
        strobing_ = true;
        return true;
      case kStrobeStep:
        return true;
      case kStrobeEnd:
        if (!strobing_) return true;
        strobing_ = false;
        Line(p, 4, 1);
        Line(p, 3, 1);
        Line(p, 3, 0);
        return true;
      default:
        return RunWait(p, kWaits, c.op());
    }
  }

 private:
  static void Line(Programmer& p, int n, int level) {
    p.level[kLines[static_cast<std::size_t>(n)]] = level;
    p.Settle();
  }
  static void ReadEnable(Programmer& p, bool on) {
    for (int pin : kBus) p.busInput[pin] = on;
    p.Settle();
  }
  static void Bus(Programmer& p, std::uint8_t v) {
    for (std::size_t i = 0; i < kBus.size(); ++i) p.level[kBus[i]] = (v >> i) & 1;
    p.Settle();
  }
  static std::uint8_t Sample(const Programmer& p) {
    std::uint8_t b = 0;
    for (std::size_t i = 0; i < kBus.size(); ++i) {
      if (p.ReadLevel(kBus[i]) == 1) b |= static_cast<std::uint8_t>(1u << i);
    }
    return b;
  }
  static void BusWrite(Programmer& p, std::uint8_t v) {
    Bus(p, v);
    Line(p, 3, 1);
    Line(p, 3, 0);
  }
  static void Shift(Programmer& p, std::uint8_t b) {
    for (int i = 7; i >= 0; --i) {
      Line(p, 1, (b >> i) & 1);
      Line(p, 2, 1);
      Line(p, 2, 0);
    }
  }
  static std::uint8_t ChipCommand(std::uint8_t c) {
    switch (c) {
      case 0x21:
      case 0x61:
        return 1;
      case 0x26:
        return 6;
      case 0x40:
        return 0;
      default:
        return c;
    }
  }
  // The chip's address and command latches, then the data phase (lines 1 and 2 high).
  void Latch(Programmer& p) {
    const std::uint8_t high = held_[0], low = held_[1];
    held_.clear();
    bits_ = 0;
    Line(p, 1, 0);
    Line(p, 2, 0);
    BusWrite(p, low);
    Line(p, 1, 1);
    BusWrite(p, high);
    Line(p, 1, 0);
    Line(p, 2, 1);
    BusWrite(p, ChipCommand(command_));
    Line(p, 1, 1);
    command_ = 0;
  }

  bool entering_ = false, leadSent_ = false, strobing_ = false;
  std::deque<std::uint8_t> held_;
  int bits_ = 0;
  std::uint8_t command_ = 0;
};

}  // namespace

std::unique_ptr<Design> MakeW79e82iw20() {
  return std::make_unique<W79e82iw>();
}

}  // namespace zelvar::sim
