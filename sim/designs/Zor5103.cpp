#include "sim/designs/Zor5103.h"

#include <array>
#include <vector>

namespace zelvar::sim {

namespace {

// Socket pins of the data bus D0..D7 and of the counter's address bits 8..15 for a chip at the
// bottom of the socket (the JEDEC pinouts line these up for 24-, 28- and 32-pin parts).
constexpr std::array<int, 8> kDataPins = {17, 18, 19, 21, 22, 23, 24, 25};
constexpr std::array<int, 8> kHighPins = {31, 30, 27, 29, 8, 32, 33, 7};
constexpr int kPort1FirstPin = 9;
// The write strobes: 43 pulses socket pin 35 low, 44 pin 33, 45 pin 5, 46 pin 7 (the WE pins of
// the 32-, 28- and 24-pin flash and RAM pinouts at the bottom of the socket).
constexpr std::array<int, 4> kStrobePins = {35, 33, 5, 7};
// The unlock cycles 41 and 42 put 0x5555 and 0x2AAA on A0..A14 and strobe pin 35.
constexpr int kUnlockBits = 15;

class Zor5103 final : public Design {
 public:
  std::string Name() const override { return "zor5103"; }

  int CommandLength(std::uint8_t op) const override {
    switch (op) {
      case 3:
      case 25:
      case 26:
      case 28:
      case 27:
      case 39:
      case 40:
      case 43:
      case 44:
      case 45:
      case 46:
        return 1;
      case 17:
      case 18:
      case 41:
      case 42:
        return 2;
      default:
        return 0;
    }
  }

  bool Execute(Programmer& p, const Command& c) override {
    switch (c.op()) {
      case 17:
        WritePort1(p, c.bytes[1]);
        Settle(p);
        return true;
      case 18:
        p.port[2] = c.bytes[1];
        for (int i = 0; i < 8; ++i) p.level[kDataPins[i]] = (c.bytes[1] >> i) & 1;
        Settle(p);
        return true;
      case 3:
        p.PushReplyByte(ReadBus(p));
        return true;
      case 25:
        p.AdvanceUs(100);
        return true;
      case 26:
        p.AdvanceUs(1000);
        return true;
      case 28:
        p.AdvanceUs(100000);  // the erase pulse
        Settle(p);
        return true;
      case 39: {
        std::array<std::uint8_t, 1024> block;
        for (auto& b : block) {
          b = ReadBus(p);
          Step(p);
        }
        p.AdvanceUs(1024 * 0.25);
        p.PushInData(block.data(), block.size());
        return true;
      }
      case 40:
        Step(p);
        return true;
      case 27:
        p.AdvanceUs(1000);  // the design's settling wait, 1 ms
        Settle(p);
        return true;
      case 41:
      case 42:
        UnlockCycle(p, c.op() == 41 ? 0x5555 : 0x2AAA, c.bytes[1]);
        return true;
      case 43:
      case 44:
      case 45:
      case 46:
        Strobe(p, kStrobePins[c.op() - 43]);
        return true;
      default:
        return false;
    }
  }

 private:
  static void Settle(Programmer& p) {
    if (p.chip()) p.chip()->OnPins(p);
  }

  // The data bus as the chip drives it. Bits nothing drives read high (the bus pull-ups); a read
  // of a placed chip that drives none of them is recorded, since it means the chip's outputs are
  // off and a blank check would pass on any content.
  std::uint8_t ReadBus(Programmer& p) {
    std::uint8_t b = 0;
    bool driven = false;
    for (int i = 0; i < 8; ++i) {
      const int sp = kDataPins[i];
      const int cp = p.ChipPinAt(sp);
      const int d = cp > 0 ? p.chip()->Drive(cp) : -1;
      driven = driven || d >= 0;
      if (d > 0 || (d < 0 && p.ReadLevel(sp) != 0)) b |= static_cast<std::uint8_t>(1 << i);
    }
    if (p.chip() && !driven && !floatingReported_) {
      floatingReported_ = true;
      p.protocolErrors.push_back("zor5103: data bus read while the chip drives none of it");
    }
    return b;
  }
  bool floatingReported_ = false;

  static void Strobe(Programmer& p, int pin) {
    p.level[pin] = 0;
    Settle(p);
    p.level[pin] = 1;
    Settle(p);
  }

  // A write cycle at `address` with `data` on the bus; the address the set put out (port 1 and
  // the pins of bits 8 to 14) comes back afterwards, so the counter goes on from it.
  static void UnlockCycle(Programmer& p, unsigned address, std::uint8_t data) {
    const std::uint8_t port1 = p.port[1];
    std::array<int, kUnlockBits - 8> held{};
    for (int i = 0; i < kUnlockBits - 8; ++i) held[i] = p.level[kHighPins[i]];
    std::uint8_t reversed = 0;
    for (int i = 0; i < 8; ++i) {
      if (address & (1u << i)) reversed |= static_cast<std::uint8_t>(0x80 >> i);
    }
    WritePort1(p, reversed);
    for (int i = 0; i < kUnlockBits - 8; ++i) p.level[kHighPins[i]] = (address >> (8 + i)) & 1;
    p.port[2] = data;
    for (int i = 0; i < 8; ++i) p.level[kDataPins[i]] = (data >> i) & 1;
    // The chip looks at address and data at the strobe's edges only; its outputs are off (OE#
    // high) through a write cycle, so the levels before and after need no settling of their own.
    Strobe(p, kStrobePins[0]);
    WritePort1(p, port1);
    for (int i = 0; i < kUnlockBits - 8; ++i) p.level[kHighPins[i]] = held[i];
  }

  static void WritePort1(Programmer& p, std::uint8_t v) {
    p.port[1] = v;
    for (int i = 0; i < 8; ++i) p.level[kPort1FirstPin + i] = (v >> i) & 1;
  }

  // The counter: A0..A7 from port 1 (bit-reversed), the carry into the pins of bits 8..15.
  static void Step(Programmer& p) {
    std::uint8_t low = 0;
    for (int i = 0; i < 8; ++i) {
      if (p.port[1] & (1 << i)) low |= static_cast<std::uint8_t>(0x80 >> i);
    }
    ++low;
    std::uint8_t reversed = 0;
    for (int i = 0; i < 8; ++i) {
      if (low & (1 << i)) reversed |= static_cast<std::uint8_t>(0x80 >> i);
    }
    WritePort1(p, reversed);
    if (low == 0) {
      unsigned high = 0;
      for (int i = 0; i < 8; ++i) {
        if (p.level[kHighPins[i]] == 1) high |= 1u << i;
      }
      const unsigned next = (high + 1) & 0xFF;
      for (int i = 0; i < 8; ++i) {
        if (((high ^ next) >> i) & 1) p.level[kHighPins[i]] = (next >> i) & 1;
      }
    }
    Settle(p);
  }
};

}  // namespace

std::unique_ptr<Design> MakeZor5103() {
  return std::make_unique<Zor5103>();
}

}  // namespace zelvar::sim
