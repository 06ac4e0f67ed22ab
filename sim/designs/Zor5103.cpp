#include "sim/designs/Zor5103.h"

#include <array>
#include <utility>
#include <vector>

#include "sim/ProgrammerCommands.h"
#include "sim/designs/P51Parallel.h"
#include "sim/designs/Zor5103Commands.h"

namespace zelvar::sim {

namespace {

using namespace zor5103;

// Socket pins of the data bus D0..D7 and of the counter's address bits 8..15 for a chip at the
// bottom of the socket (the JEDEC pinouts line these up for 24-, 28- and 32-pin parts).
constexpr std::array<int, 8> kDataPins = {17, 18, 19, 21, 22, 23, 24, 25};
constexpr std::array<int, 8> kHighPins = {31, 30, 27, 29, 8, 32, 33, 7};
constexpr int kPort1FirstPin = 9;
constexpr std::array<std::pair<int, int>, 3> kPort3Pins = {{{2, 28}, {3, 29}, {4, 31}}};
// The write strobes 43 to 46 pulse socket pins 35, 33, 5 and 7 low (the WE pins of the 32-, 28-
// and 24-pin flash and RAM pinouts at the bottom of the socket).
constexpr std::array<int, 4> kStrobePins = {35, 33, 5, 7};
// The page load 83 pulses the chip enable of every pinout at the bottom of the socket.
constexpr int kChipEnablePin = 26;
// The unlock cycles 41 and 42 put 0x5555 and 0x2AAA on A0..A14 and strobe pin 35.
constexpr int kUnlockBits = 15;

// The data bus is an input after every bus-mode write and in the read mode; a port-2 write in a
// write mode makes it an output. So the bus never drives against a chip whose outputs the set has
// not yet switched off.
class Zor5103 final : public Design {
 public:
  std::string Name() const override { return "zor5103"; }

  int CommandLength(std::uint8_t op) const override {
    switch (op) {
      case kReadBus:
      case kWait100us:
      case kWait1ms:
      case kErasePulse:
      case kReadBlock:
      case kNextAddress:
      case kSettle:
      case kStrobe:
      case kStrobe33:
      case kStrobe5:
      case kStrobe7:
        return 1;
      case kPort1:
      case kPort2:
      case kUnlock5555:
      case kUnlock2AAA:
      case kPort3:
      case kPageLoad:
        return 2;
      default:
        return p51_.CommandLength(op);
    }
  }

  bool Execute(Programmer& p, const Command& c) override {
    // The memory logic's bus commands take the pins back; its waits belong to both.
    if (c.op() != kWait100us && c.op() != kWait1ms && c.op() != kSettle && c.op() != kErasePulse &&
        CommandLength(c.op()) > 0 && p51_.CommandLength(c.op()) == 0) {
      p51Owns_ = false;
    }
    switch (c.op()) {
      case kPort1:
        WritePort1(p, c.bytes[1]);
        p.Settle();
        return true;
      case kPort2:
        p.port[2] = c.bytes[1];
        for (int i = 0; i < 8; ++i) p.level[kDataPins[i]] = (c.bytes[1] >> i) & 1;
        if (mode_ != kBusRead) SetBusInput(p, false);
        p.Settle();
        return true;
      case kPort3:
        // Port 3: bits 2 and 3 on socket pins 28 and 29, bit 4 on pin 31 (the row-address bit
        // and program/verify line of the simple PLDs in edit mode).
        p.port[3] = c.bytes[1];
        for (const auto& [bit, pin] : kPort3Pins) p.level[pin] = (c.bytes[1] >> bit) & 1;
        p.Settle();
        return true;
      case kReadBus:
        p.PushReplyByte(ReadBus(p));
        return true;
      case kWait100us:
        p.AdvanceUs(100);
        p.Settle();
        return true;
      case kWait1ms:
        p.AdvanceUs(1000);
        p.Settle();
        return true;
      case kErasePulse:
        p.AdvanceUs(100000);
        p.Settle();
        return true;
      case kReadBlock: {
        std::array<std::uint8_t, 1024> block;
        for (auto& b : block) {
          b = ReadBus(p);
          Step(p);
        }
        p.AdvanceUs(1024 * 0.25);
        p.PushInData(block.data(), block.size());
        return true;
      }
      case kNextAddress:
        Step(p);
        return true;
      case kSettle:
        // Time only, as the programmer's own settling wait: nothing on the pins changes.
        p.AdvanceUs(1000);
        return true;
      case kUnlock5555:
      case kUnlock2AAA:
        UnlockCycle(p, c.op() == kUnlock5555 ? 0x5555 : 0x2AAA, c.bytes[1]);
        return true;
      case kStrobe:
      case kStrobe33:
      case kStrobe5:
      case kStrobe7:
        Strobe(p, kStrobePins[c.op() - kStrobe]);
        return true;
      case kPageLoad:
        PageLoad(p, c.bytes[1]);
        return true;
      default:
        // The 8051 logic's commands take socket pins 17 to 25 from the memory bus: the 8051
        // sets drive P3.7, the crystal pins and P2.0 to P2.4 there with pin commands.
        if (!p51Owns_ && c.op() != kOpRegister) {
          p51Owns_ = true;
          SetBusInput(p, false);
        }
        return p51_.Execute(p, c);
    }
  }

  void OnRegister(Programmer& p, std::uint8_t reg, std::uint8_t value) override {
    if (reg == kRegPinRelease || reg == kRegPinRestore) {
      // A released pin stays an input through later port writes, until it is restored.
      if (value < 1 || value >= static_cast<int>(released_.size())) return;
      released_[value] = reg == kRegPinRelease;
      p.busInput[value] = released_[value];
      p.Settle();
      return;
    }
    if (reg != kRegBusMode) return;
    mode_ = value;
    // 7 is the 8051 logic's own mode (P0 read), 9 its 20-pin read mode (the port on socket pins
    // 22..29): from then on the pins are the 8051's.
    if (value == kP51Read || value == kP20Read) {
      p51Owns_ = true;
      SetBusInput(p, false);
    } else if (!p51Owns_) {
      SetBusInput(p, true);
    }
  }

 private:
  // The 8051 parallel logic the same bitstream carries.
  P51Logic p51_;
  static constexpr std::uint8_t kP51Read = 7;
  static constexpr std::uint8_t kP20Read = 9;
  bool p51Owns_ = false;  // the 8051 logic was addressed last

  void SetBusInput(Programmer& p, bool input) const {
    for (int pin : kDataPins) p.busInput[pin] = input || released_[pin];
  }

  // The data bus as the chip drives it. Bits nothing drives read high (the bus pull-ups); a read
  // of a placed chip that drives none of them is a hazard of the test: the chip's outputs are off,
  // so a blank check would pass on any content.
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
      p.record.Hazard("zor5103: data bus read while the chip drives none of it");
    }
    return b;
  }

  static void Strobe(Programmer& p, int pin) {
    p.level[pin] = 0;
    p.Settle();
    p.level[pin] = 1;
    p.Settle();
  }

  // A CE#-controlled byte load: the data out on the bus, CE# low and high, the counter stepped.
  void PageLoad(Programmer& p, std::uint8_t data) {
    p.port[2] = data;
    for (int i = 0; i < 8; ++i) p.level[kDataPins[i]] = (data >> i) & 1;
    if (mode_ != kBusRead) SetBusInput(p, false);
    p.Settle();
    Strobe(p, kChipEnablePin);
    Step(p);
  }

  // A write cycle at `address` with `data` on the bus; the address the set put out (port 1 and
  // the pins of bits 8 to 14) comes back afterwards, so the counter goes on from it.
  void UnlockCycle(Programmer& p, unsigned address, std::uint8_t data) {
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
    if (mode_ != kBusRead) SetBusInput(p, false);
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

  // The counter: A0..A7 from port 1 (bit-reversed), the carry into the pins of bits 8..15. At
  // 0xFFFF it stops rather than wrap to 0, which would pull every high pin low (a PGM or VPP pin
  // among them) after a chip's last byte; the sets address each block afresh.
  static void Step(Programmer& p) {
    std::uint8_t low = 0;
    for (int i = 0; i < 8; ++i) {
      if (p.port[1] & (1 << i)) low |= static_cast<std::uint8_t>(0x80 >> i);
    }
    if (low == 0xFF && HighByte(p) == 0xFF) {
      p.Settle();
      return;
    }
    ++low;
    std::uint8_t reversed = 0;
    for (int i = 0; i < 8; ++i) {
      if (low & (1 << i)) reversed |= static_cast<std::uint8_t>(0x80 >> i);
    }
    WritePort1(p, reversed);
    if (low == 0) {
      const unsigned high = HighByte(p);
      const unsigned next = (high + 1) & 0xFF;
      for (int i = 0; i < 8; ++i) {
        if (((high ^ next) >> i) & 1) p.level[kHighPins[i]] = (next >> i) & 1;
      }
    }
    p.Settle();
  }

  static unsigned HighByte(const Programmer& p) {
    unsigned high = 0;
    for (int i = 0; i < 8; ++i) {
      if (p.level[kHighPins[i]] == 1) high |= 1u << i;
    }
    return high;
  }

  bool floatingReported_ = false;
  std::uint8_t mode_ = 0;
  std::array<bool, 49> released_{};
};

}  // namespace

std::unique_ptr<Design> MakeZor5103() {
  return std::make_unique<Zor5103>();
}

}  // namespace zelvar::sim
