#include "sim/designs/Mx1611.h"

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "sim/designs/Waits.h"

namespace zelvar::sim {

namespace {

// Socket pins of A-1, A0 ... A19 and D0 ... D7.
constexpr std::array<int, 21> kAddressPins = {29, 9,  8,  7,  6,  5,  4,  3, 2,  40, 39,
                                              38, 37, 36, 35, 34, 33, 32, 1, 48, 41};
constexpr std::array<int, 8> kDataPins = {13, 15, 17, 19, 22, 24, 26, 28};
constexpr int kCePin = 10, kOePin = 12, kWePin = 42;

enum Op : std::uint8_t {
  kNextAddress = 16,  // port 0
  kPageData = 19,     // port 3
  kWait1ms = 26,
  kReadBlocks = 65,
  kCommandData = 67,
};
constexpr WaitCommand kWaits[] = {{kWait1ms, 1000}};
constexpr int kBusLine = 1, kCeLine = 2, kOeLine = 3, kWeLine = 4;

class Mx1611Design final : public Design {
 public:
  std::string Name() const override { return "mx1611sop44"; }

  int CommandLength(std::uint8_t op) const override {
    switch (op) {
      case kWait1ms:
        return 1;
      case kNextAddress:
      case kPageData:
      case kReadBlocks:
      case kCommandData:
        return 2;
      default:
        return 0;
    }
  }

  bool Execute(Programmer& p, const Command& c) override {
    Attach(p);
    switch (c.op()) {
      case kNextAddress:
        SetAddress(p, Address(p) + 1);
        PutAddress(p, Address(p));
        return true;
      case kPageData:
      case kCommandData:
        latch_ = c.bytes[1];
        Apply(p);
        p.Settle();
        return true;
      case kReadBlocks: {
        std::vector<std::uint8_t> bytes;
        const int n = c.bytes[1] * 64;
        std::uint32_t a = Address(p);
        while (static_cast<int>(bytes.size()) < n) {
          PutAddress(p, a++);
          bytes.push_back(ReadBus(p));
        }
        SetAddress(p, a);
        p.AdvanceUs(n * 0.25);
        p.PushInData(bytes.data(), bytes.size());
        return true;
      }
      default:
        if (!RunWait(p, kWaits, c.op())) return false;
        p.Settle();
        return true;
    }
  }

  void OnFpgaRegister(Programmer& p, std::uint8_t reg, std::uint8_t value) override {
    Attach(p);
    if (reg >= 21 && reg <= 23) {
      PutAddress(p, Address(p));
      return;
    }
    if (reg != 18) return;
    if ((value & 0x80) == 0 && (value & 0x0F) == 7) {
      RunCycle(p, value >> 4);
      return;
    }
    const int n = value & 0x7F;
    if (n < 1 || n > 6) return;
    lines_[static_cast<std::size_t>(n)] = (value & 0x80) != 0;
    Apply(p);
    p.Settle();
  }

 private:
  void Attach(Programmer& p) {
    if (attached_) return;
    attached_ = true;
    Apply(p);
  }
  // The control lines, the data latch and the bus direction onto their pins.
  void Apply(Programmer& p) {
    p.level[kCePin] = lines_[kCeLine];
    p.level[kOePin] = lines_[kOeLine];
    p.level[kWePin] = lines_[kWeLine];
    for (std::size_t i = 0; i < kDataPins.size(); ++i) {
      p.busInput[kDataPins[i]] = lines_[kBusLine];
      p.level[kDataPins[i]] = (latch_ >> i) & 1;
    }
  }
  static std::uint32_t Address(const Programmer& p) {
    return p.fpga[21] | p.fpga[22] << 8 | static_cast<std::uint32_t>(p.fpga[23]) << 16;
  }
  static void SetAddress(Programmer& p, std::uint32_t a) {
    p.fpga[21] = static_cast<std::uint8_t>(a);
    p.fpga[22] = static_cast<std::uint8_t>(a >> 8);
    p.fpga[23] = static_cast<std::uint8_t>(a >> 16);
  }
  static void PutAddress(Programmer& p, std::uint32_t a) {
    for (std::size_t i = 0; i < kAddressPins.size(); ++i) p.level[kAddressPins[i]] = (a >> i) & 1;
    p.Settle();
  }
  void RunCycle(Programmer& p, int code) {
    static constexpr std::array<std::pair<std::uint32_t, std::uint8_t>, 8> kCycles = {
        {{0, 0xFF},
         {0xAAAA, 0xAA},
         {0x5554, 0x55},
         {0xAAAA, 0xA0},
         {0xAAAA, 0x80},
         {0xAAAA, 0x10},
         {0, 0xFF},
         {0xAAAA, 0x90}}};
    const auto [address, data] = kCycles[static_cast<std::size_t>(code & 7)];
    latch_ = data;
    Apply(p);
    PutAddress(p, code == 0 || code == 6 ? Address(p) : address);
  }
  // Bits nothing drives read high (the bus pull-ups); a read while the chip drives none of the
  // bus is a hazard of the test: its outputs are off and a blank check would pass on anything.
  std::uint8_t ReadBus(Programmer& p) {
    std::uint8_t b = 0;
    bool driven = false;
    for (std::size_t i = 0; i < kDataPins.size(); ++i) {
      const int sp = kDataPins[i];
      const int cp = p.ChipPinAt(sp);
      const int d = cp > 0 && p.chip() ? p.chip()->Drive(cp) : -1;
      driven = driven || d >= 0;
      if (d > 0 || (d < 0 && p.ReadLevel(sp) != 0)) b |= static_cast<std::uint8_t>(1u << i);
    }
    if (p.chip() && !driven && !floatingReported_) {
      floatingReported_ = true;
      p.record.Hazard("mx1611sop44: data bus read while the chip drives none of it");
    }
    return b;
  }

  std::array<bool, 7> lines_ = {false, true, true, true, true, false, false};
  std::uint8_t latch_ = 0xFF;
  bool attached_ = false;
  bool floatingReported_ = false;
};

}  // namespace

std::unique_ptr<Design> MakeMx1611Sop44() {
  return std::make_unique<Mx1611Design>();
}

}  // namespace zelvar::sim
