#include "sim/designs/ByteShift.h"

#include "sim/designs/Waits.h"

namespace zelvar::sim {

namespace {
enum : std::uint8_t {
  kShiftedByte = 1,
  kWait1ms = 26,
  kWait100ms = 28,
  kShiftOut = 56,
  kShiftIn = 57,
  kOutBits = 74,
  kInBits = 75,
};
constexpr WaitCommand kWaits[] = {{kWait1ms, 1000}, {kWait100ms, 100000}};
}  // namespace

int ByteShiftDesign::CommandLength(std::uint8_t op) const {
  if (IsWait(kWaits, op)) return 1;
  switch (op) {
    case kShiftedByte:
    case kShiftIn:
      return 1;
    case kShiftOut:
    case kOutBits:
    case kInBits:
      return 2;
    default:
      return 0;
  }
}

bool ByteShiftDesign::Execute(Programmer& p, const Command& c) {
  Hold(p);
  if (RunWait(p, kWaits, c.op())) return true;
  switch (c.op()) {
    case kShiftOut:
      in_ = Shift(p, c.bytes[1], outBits_);
      return true;
    case kShiftIn:
      p.PushReplyByte(Shift(p, 0, inBits_));
      return true;
    case kShiftedByte:
      p.PushReplyByte(in_);
      return true;
    case kOutBits:
      outBits_ = c.bytes[1];
      return true;
    case kInBits:
      inBits_ = c.bytes[1];
      return true;
    default:
      return false;
  }
}

void ByteShiftDesign::Set(Programmer& p, int pin, int level) {
  int& l = p.level[static_cast<std::size_t>(pin)];
  if (l == level) return;
  l = level;
  p.Settle();
}

}  // namespace zelvar::sim
