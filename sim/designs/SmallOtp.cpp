#include "sim/designs/SmallOtp.h"

#include <array>
#include <string>

#include "sim/designs/Waits.h"

namespace zelvar::sim {

namespace {

constexpr std::uint8_t kFpgaLines = 18, kPort0 = 16, kPort1 = 17;
constexpr std::uint8_t kSample0 = 1, kSample1 = 2, kShift = 56, kOutBits = 74, kInBits = 75;

enum class Reads { kPorts, kShifter, kSerial };

struct Wiring {
  std::string_view tag;
  std::array<std::uint8_t, 16> linePin{};  // socket pin of lines 0-15, 0: the design's own
  std::array<std::uint8_t, 8> port0{};     // socket pins of port 0 bits 0-7, 0: none
  std::array<std::uint8_t, 8> port1{};
  Reads reads = Reads::kPorts;
  // Shifter and serial sample: the lines of data out, clock and data in.
  std::uint8_t outLine = 0, clockLine = 0, inLine = 0;
  std::array<WaitCommand, 5> waits{};
};

constexpr std::array<WaitCommand, 5> kLineWaits = {
    {{25, 100}, {26, 1000}, {27, 10}, {28, 10}, {29, 50}}};

// SN8P1602 family, 18 pins from socket pin 12 (20 pins for "sn8p1602pin20" from 11, 28 pins
// for "sn8p1604" from 7): P2.0-P2.7 the data bus, P1.0 the step line, P1.1 the read strobe,
// P1.2 the program strobe, P1.3 the byte latch (line 3), P0.0 the mode line (line 5).
constexpr Wiring kSn8p18(std::string_view tag, int first) {
  Wiring w{.tag = tag};
  const auto pin = [&](int chipPin) { return static_cast<std::uint8_t>(first + chipPin - 1); };
  for (int i = 0; i < 8; ++i) w.port0[static_cast<std::size_t>(i)] = pin(6 + i);
  w.linePin[7] = pin(17);
  w.linePin[8] = pin(18);
  w.linePin[9] = pin(1);
  w.linePin[3] = pin(2);
  w.linePin[5] = pin(3);
  w.waits = kLineWaits;
  return w;
}

constexpr Wiring kSn8p2602(std::string_view tag, int first) {
  Wiring w{.tag = tag, .reads = Reads::kShifter, .outLine = 1, .clockLine = 2, .inLine = 5};
  w.linePin[1] = static_cast<std::uint8_t>(first + 5);
  w.linePin[2] = static_cast<std::uint8_t>(first + 6);
  w.linePin[5] = static_cast<std::uint8_t>(first + 7);
  w.waits = kLineWaits;
  return w;
}

// The Holtek seats: the data nibble, the clock (line 1) and the mode lines 2 and 3 on the
// contacts the rows name (the standard seat: an 18-pin part from socket pin 3, PA0-PA3 on chip
// pins 4-1, the clock on 13, lines 2 and 3 on 16 and 17).
constexpr Wiring kHoltek(std::string_view tag, std::array<std::uint8_t, 4> nibble,
                         std::array<std::uint8_t, 3> lines) {
  Wiring w{.tag = tag};
  for (std::size_t i = 0; i < 4; ++i) w.port0[i] = nibble[i];
  for (std::size_t i = 0; i < 3; ++i) w.linePin[i + 1] = lines[i];
  w.waits = kLineWaits;
  return w;
}

constexpr Wiring kCr80p() {
  Wiring w{.tag = "cr80px00"};
  // 18-pin parts from socket pin 12: the 7-bit bus on chip pins 6-12 (port 0); 28-pin parts from
  // socket pin 7: chip pins 10-16 (port 1). Lines 2-11 are socket pins off both seats' supplies
  // and buses; line 1 is the design's bus direction.
  for (int i = 0; i < 7; ++i) {
    w.port0[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(17 + i);
    w.port1[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(16 + i);
  }
  w.linePin[2] = 30;
  w.linePin[3] = 12;
  w.linePin[4] = 26;
  w.linePin[5] = 13;
  w.linePin[6] = 24;
  w.linePin[7] = 27;
  w.linePin[8] = 28;
  w.linePin[10] = 31;
  w.linePin[11] = 32;
  w.waits = kLineWaits;
  return w;
}

constexpr Wiring kSamsung(std::string_view tag, int sdt, int sck) {
  Wiring w{.tag = tag, .reads = Reads::kSerial, .outLine = 1, .clockLine = 2, .inLine = 1};
  w.linePin[1] = static_cast<std::uint8_t>(sdt);
  w.linePin[2] = static_cast<std::uint8_t>(sck);
  w.waits = {{{25, 20}, {26, 1000}, {29, 5}}};
  return w;
}

const Wiring kWirings[] = {
    kSn8p18("sn8p1602", 12),
    kSn8p18("sn8p1702", 12),
    kSn8p18("sn8p1702a", 12),
    kSn8p18("sn8p1602pin20", 11),
    kSn8p18("sn8p1604", 7),
    kSn8p2602("sn8p2602a", 12),
    kHoltek("HoltekStd", {6, 5, 4, 3}, {33, 36, 37}),
    kHoltek("Holtek2", {34, 35, 36, 37}, {38, 3, 4}),
    kCr80p(),
    // The 20-pin socket design: SDAT chip pin 19 and SCLK 18 of a part from socket pin 11; the
    // in-system header: SDT on socket pin 9, SCK on 1.
    kSamsung("samsung3f20pin", 29, 28),
    kSamsung("samsung3isp", 9, 1),
    kSamsung("samsung3f44pin", 30, 31),
};

class SmallOtpDesign final : public Design {
 public:
  explicit SmallOtpDesign(const Wiring& w) : w_(w) {}
  std::string Name() const override { return std::string(w_.tag); }

  int CommandLength(std::uint8_t op) const override {
    if (IsWait(w_.waits, op) || op == kSample0 || op == kSample1) return 1;
    if (op == kPort0 || op == kPort1 || op == kOutBits || op == kInBits) return 2;
    if (op == kShift && w_.reads == Reads::kShifter) return 2;
    return 0;
  }

  bool DrivesThroughResistor(int socketPin) const override {
    for (std::uint8_t p : w_.port0) {
      if (p != 0 && p == socketPin) return true;
    }
    for (std::uint8_t p : w_.port1) {
      if (p != 0 && p == socketPin) return true;
    }
    // The data-in line of a shifter and the serial data line: the chip answers on them.
    if (w_.reads != Reads::kPorts && w_.linePin[w_.inLine] == socketPin) return true;
    return false;
  }

  bool Execute(Programmer& p, const Command& c) override {
    if (RunWait(p, w_.waits, c.op())) {
      p.Settle();
      return true;
    }
    switch (c.op()) {
      case kPort0:
      case kPort1: {
        const auto& pins = c.op() == kPort0 ? w_.port0 : w_.port1;
        p.port[c.op() - kPort0] = c.bytes[1];
        for (std::size_t i = 0; i < 8; ++i) {
          if (pins[i] != 0) p.level[pins[i]] = (c.bytes[1] >> i) & 1;
        }
        p.Settle();
        return true;
      }
      case kOutBits:
        outBits_ = c.bytes[1];
        return true;
      case kInBits:
        inBits_ = c.bytes[1];
        return true;
      case kShift:
        in_ = ShiftOut(p, c.bytes[1]);
        return true;
      case kSample0:
      case kSample1: {
        if (w_.reads != Reads::kPorts) {
          p.PushReplyByte(in_);
          return true;
        }
        const auto& pins = c.op() == kSample0 ? w_.port0 : w_.port1;
        std::uint8_t b = 0;
        for (std::size_t i = 0; i < 8; ++i) {
          if (pins[i] != 0 && p.ReadLevel(pins[i]) == 1) b |= static_cast<std::uint8_t>(1u << i);
        }
        p.PushReplyByte(b);
        return true;
      }
      default:
        return false;
    }
  }

  void OnFpgaRegister(Programmer& p, std::uint8_t reg, std::uint8_t value) override {
    if (reg != kFpgaLines) return;
    const std::size_t line = value & 0x7F;
    const int level = value >> 7;
    if (line >= w_.linePin.size()) return;
    const int pin = w_.linePin[line];
    if (pin == 0) return;
    const int before = p.level[pin];
    p.level[pin] = level;
    p.Settle();
    if (w_.reads == Reads::kSerial && line == w_.clockLine && level == 1 && before != 1) {
      const int data = p.ReadLevel(w_.linePin[w_.inLine]);
      in_ = static_cast<std::uint8_t>(in_ << 1 | (data == 1 ? 1 : 0));
    }
  }

 private:
  std::uint8_t ShiftOut(Programmer& p, std::uint8_t out) {
    const int dataPin = w_.linePin[w_.outLine], clockPin = w_.linePin[w_.clockLine];
    const int inPin = w_.linePin[w_.inLine];
    std::uint8_t got = 0;
    for (int i = outBits_ - 1; i >= 0; --i) {
      p.level[dataPin] = (out >> i) & 1;
      p.Settle();
      p.level[clockPin] = 1;
      p.Settle();
      got = static_cast<std::uint8_t>(got << 1 | (p.ReadLevel(inPin) == 1 ? 1 : 0));
      p.level[clockPin] = 0;
      p.Settle();
    }
    return got;
  }

  const Wiring& w_;
  int outBits_ = 8, inBits_ = 8;
  std::uint8_t in_ = 0;
};

}  // namespace

std::unique_ptr<Design> MakeSmallOtp(std::string_view tag) {
  for (const Wiring& w : kWirings) {
    if (w.tag == tag) return std::make_unique<SmallOtpDesign>(w);
  }
  return nullptr;
}

}  // namespace zelvar::sim
