#include "sim/designs/I82802.h"

#include <array>
#include <vector>

#include "sim/ProgrammerCommands.h"
#include "sim/designs/Waits.h"

namespace zelvar::sim {

namespace {

constexpr std::array<int, 11> kAddressPins = {16, 15, 14, 13, 12, 11, 10, 9, 8, 7, 34};
constexpr std::array<int, 8> kDataPins = {17, 18, 19, 21, 22, 23, 24, 25};
// Socket pins of lines 2 to 6.
constexpr std::array<int, 8> kLinePins = {0, 0, 35, 28, 27, 33, 6, 0};
constexpr int kRowColumnPin = 35, kWritePin = 27;
constexpr int kBusLine = 1, kDriversLine = 7;

enum Op : std::uint8_t {
  kProgramStep = 24,
  kEraseWait = 28,
  kReadBlock = 55,
  kJedecProgram = 60,
  kIntelProgram = 61,
  kWriteCycle = 76,
};
constexpr WaitCommand kWaits[] = {{kEraseWait, 100000}};
constexpr double kJedecProgramUs = 20, kIntelProgramUs = 30;

class I82802Design final : public Design {
 public:
  std::string Name() const override { return "i82802"; }

  int CommandLength(std::uint8_t op) const override {
    switch (op) {
      case kProgramStep:
      case kEraseWait:
      case kReadBlock:
        return 1;
      case kJedecProgram:
      case kIntelProgram:
      case kWriteCycle:
      case kOpPort0:
      case kOpPort0 + 3:
      case kOpPort0 + 4:
      case kOpPort5:
        return 2;
      default:
        return 0;
    }
  }

  bool Execute(Programmer& p, const Command& c) override {
    Attach(p);
    const std::uint8_t v = c.bytes[1];
    switch (c.op()) {
      case kOpPort0:
        p.port[0] = v;
        if (lines_[kDriversLine] && !lines_[kBusLine]) PutData(p, v);
        p.Settle();
        return true;
      case kOpPort0 + 3:
      case kOpPort0 + 4:
      case kOpPort5:
        p.port[c.op() - kOpPort0] = v;
        return true;
      case kReadBlock: {
        std::array<std::uint8_t, 1024> block;
        for (auto& b : block) {
          Latch(p, Address(p));
          b = ReadBus(p);
          SetAddress(p, Address(p) + 1);
        }
        p.AdvanceUs(1024 * 0.25);
        p.PushInData(block.data(), block.size());
        return true;
      }
      case kWriteCycle:
        WriteCycle(p, Address(p), v);
        return true;
      case kJedecProgram:
        WriteCycle(p, 0x5555, 0xAA);
        WriteCycle(p, 0x2AAA, 0x55);
        WriteCycle(p, 0x5555, 0xA0);
        WriteCycle(p, Address(p), v);
        return true;
      case kProgramStep:
        p.AdvanceUs(kJedecProgramUs);
        SetAddress(p, Address(p) + 1);
        p.Settle();
        return true;
      case kIntelProgram:
        WriteCycle(p, Address(p), 0x40);
        WriteCycle(p, Address(p), v);
        p.AdvanceUs(kIntelProgramUs);
        SetAddress(p, Address(p) + 1);
        p.Settle();
        return true;
      default:
        if (!RunWait(p, kWaits, c.op())) return false;
        p.Settle();
        return true;
    }
  }

  void OnFpgaRegister(Programmer& p, std::uint8_t reg, std::uint8_t value) override {
    Attach(p);
    if (reg != 18) return;
    const int n = value & 0x7F;
    if (n >= 9 && (n - 9) % 16 == 0 && (n - 9) / 16 <= 5) {
      const int k = (n - 9) / 16;
      const std::uint32_t address = k < 2 ? Address(p) : k < 4 ? 0x5555 : 0x2AAA;
      PutHalf(p, k % 2 == 1 ? address : address >> 11);
      p.Settle();
      return;
    }
    if (n < 1 || n > 7) return;
    lines_[n] = (value & 0x80) != 0;
    if (n == kDriversLine || n == kBusLine) {
      ApplyDrivers(p);
    } else {
      p.level[kLinePins[n]] = lines_[n] ? 1 : 0;
    }
    p.Settle();
  }

 private:
  // A fresh design's lines, once it meets the programmer.
  void Attach(Programmer& p) {
    if (attached_) return;
    attached_ = true;
    for (int n = 2; n <= 6; ++n) p.level[kLinePins[n]] = 1;
    ApplyDrivers(p);
  }
  std::vector<int> Pins() const {
    std::vector<int> pins(kAddressPins.begin(), kAddressPins.end());
    pins.insert(pins.end(), kDataPins.begin(), kDataPins.end());
    for (int n = 2; n <= 6; ++n) pins.push_back(kLinePins[n]);
    return pins;
  }
  void ApplyDrivers(Programmer& p) {
    for (int pin : Pins()) p.busInput[pin] = !lines_[kDriversLine];
    for (int pin : kDataPins) p.busInput[pin] = !lines_[kDriversLine] || lines_[kBusLine];
    if (lines_[kDriversLine] && !lines_[kBusLine]) PutData(p, p.port[0]);
  }
  static std::uint32_t Address(const Programmer& p) {
    return p.port[3] | p.port[4] << 8 | static_cast<std::uint32_t>(p.port[5]) << 16;
  }
  static void SetAddress(Programmer& p, std::uint32_t a) {
    p.port[3] = static_cast<std::uint8_t>(a);
    p.port[4] = static_cast<std::uint8_t>(a >> 8);
    p.port[5] = static_cast<std::uint8_t>(a >> 16);
  }
  static void PutHalf(Programmer& p, std::uint32_t half) {
    for (std::size_t i = 0; i < kAddressPins.size(); ++i)
      p.level[kAddressPins[i]] = (half >> i) & 1;
  }
  static void PutData(Programmer& p, std::uint8_t v) {
    for (int i = 0; i < 8; ++i) p.level[kDataPins[i]] = (v >> i) & 1;
  }
  // The row as R/C# falls, the column as it rises.
  static void Latch(Programmer& p, std::uint32_t address) {
    PutHalf(p, address);
    p.level[kRowColumnPin] = 0;
    p.Settle();
    PutHalf(p, address >> 11);
    p.level[kRowColumnPin] = 1;
    p.Settle();
  }
  void WriteCycle(Programmer& p, std::uint32_t address, std::uint8_t data) {
    Latch(p, address);
    p.port[0] = data;
    if (lines_[kDriversLine] && !lines_[kBusLine]) PutData(p, data);
    p.level[kWritePin] = 0;
    p.Settle();
    p.level[kWritePin] = 1;
    p.Settle();
  }
  // Bits nothing drives read high (the bus pull-ups); a read of a placed chip that drives none of
  // them is a hazard of the test: its outputs are off and a blank check would pass on anything.
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
      p.record.Hazard("i82802: data bus read while the chip drives none of it");
    }
    return b;
  }

  std::array<bool, 8> lines_ = {false, true, true, true, true, true, true, false};
  bool attached_ = false;
  bool floatingReported_ = false;
};

}  // namespace

std::unique_ptr<Design> MakeI82802() {
  return std::make_unique<I82802Design>();
}

}  // namespace zelvar::sim
