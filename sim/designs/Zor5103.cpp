#include "sim/designs/Zor5103.h"

#include <array>
#include <utility>
#include <vector>

namespace zelvar::sim {

namespace {

// Socket pins of the data bus D0..D7 and of the counter's address bits 8..15 for a chip at the
// bottom of the socket (the JEDEC pinouts line these up for 24-, 28- and 32-pin parts).
constexpr std::array<int, 8> kDataPins = {17, 18, 19, 21, 22, 23, 24, 25};
constexpr std::array<int, 8> kHighPins = {31, 30, 27, 29, 8, 32, 33, 7};
constexpr int kPort1FirstPin = 9;
constexpr std::array<std::pair<int, int>, 3> kPort3Pins = {{{2, 28}, {3, 29}, {4, 31}}};

class Zor5103 final : public Design {
 public:
  std::string Name() const override { return "zor5103"; }

  int CommandLength(std::uint8_t op) const override {
    switch (op) {
      case 3:
      case 25:
      case 26:
      case 28:
      case 39:
      case 40:
      case 43:
        return 1;
      case 17:
      case 18:
      case 19:
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
      case 19:
        // Port 3: bits 2 and 3 on socket pins 28 and 29, bit 4 on pin 31 (the row-address bit
        // and program/verify line of the simple PLDs in edit mode).
        p.port[3] = c.bytes[1];
        for (const auto& [bit, pin] : kPort3Pins) p.level[pin] = (c.bytes[1] >> bit) & 1;
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
      case 43:
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
