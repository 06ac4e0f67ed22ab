#include "sim/designs/WordEprom.h"

#include <array>
#include <string>
#include <vector>

#include "sim/designs/WordEpromCommands.h"

namespace zelvar::sim {

namespace {

using namespace word_eprom;

// The 27C1024 / 2048 / 4096 pinout in DIP40: D0..D15 and A0..A17 (A17 only on the 4096).
constexpr std::array<int, 16> kDataPins = {19, 18, 17, 16, 15, 14, 13, 12, 10, 9, 8, 7, 6, 5, 4, 3};
constexpr std::array<int, 18> kAddressPins = {21, 22, 23, 24, 25, 26, 27, 28, 29,
                                              31, 32, 33, 34, 35, 36, 37, 38, 39};
constexpr int kCePin = 2;
constexpr int kOePin = 20;

class WordEprom final : public Design {
 public:
  // `pgmPin`: socket pin of control line 4 (0 when the package has none: line 2 is CE/PGM).
  WordEprom(std::string name, int pgmPin, int addressBits)
      : name_(std::move(name)), pgmPin_(pgmPin), addressBits_(addressBits) {}

  std::string Name() const override { return name_; }

  int CommandLength(std::uint8_t op) const override {
    switch (op) {
      case kWait100us:
      case kSettle10us:
      case kNextWord:
        return 1;
      case kReadWords:
        return 2;
      case kPutWord:
        return 3;
      default:
        return 0;
    }
  }

  bool Execute(Programmer& p, const Command& c) override {
    switch (c.op()) {
      case kWait100us:
        p.AdvanceUs(100);
        return true;
      case kSettle10us:
        p.AdvanceUs(10);
        return true;
      case kReadWords: {
        std::vector<std::uint8_t> data(c.bytes[1] * 64u);
        for (std::size_t i = 0; i < data.size(); i += 2) {
          const unsigned w = ReadWord(p);
          data[i] = static_cast<std::uint8_t>(w);
          data[i + 1] = static_cast<std::uint8_t>(w >> 8);
          Step(p);
        }
        p.AdvanceUs(data.size() * 0.25);
        p.PushInData(data.data(), data.size());
        return true;
      }
      case kPutWord: {
        const unsigned w = c.bytes[1] | (c.bytes[2] << 8);
        for (int i = 0; i < 16; ++i) {
          p.level[kDataPins[i]] = (w >> i) & 1;
          p.busInput[kDataPins[i]] = false;
        }
        p.Settle();
        return true;
      }
      case kNextWord:
        Step(p);
        return true;
      default:
        return false;
    }
  }

  void OnFpgaRegister(Programmer& p, std::uint8_t reg, std::uint8_t value) override {
    if (reg == kLineRegister) {
      const int line = value & 0x7F;
      const int high = value >> 7;
      if (line == kLineCe) p.level[kCePin] = high;
      if (line == kLineOe) {
        p.level[kOePin] = high;
        // The data bus turns input as the chip's outputs are enabled, before they drive.
        if (!high) {
          for (int pin : kDataPins) p.busInput[pin] = true;
        }
      }
      if (line == kLinePgm && pgmPin_) p.level[pgmPin_] = high;
      p.Settle();
    } else if (reg >= kAddressLow && reg <= kAddressHigh) {
      // The registers take the byte address; the chip's A0 is its bit 1.
      const int shift = (reg - kAddressLow) * 8;
      byteAddress_ = (byteAddress_ & ~(0xFFu << shift)) | (unsigned{value} << shift);
      word_ = byteAddress_ >> 1;
      DriveAddress(p);
    }
  }

 private:
  void DriveAddress(Programmer& p) {
    for (int i = 0; i < addressBits_; ++i) p.level[kAddressPins[i]] = (word_ >> i) & 1;
    p.Settle();
  }

  void Step(Programmer& p) {
    ++word_;
    byteAddress_ = word_ << 1;
    DriveAddress(p);
  }

  // Bits nothing drives read high; a read of a placed chip that drives none of them is recorded.
  unsigned ReadWord(Programmer& p) {
    unsigned w = 0;
    bool driven = false;
    for (int i = 0; i < 16; ++i) {
      const int cp = p.ChipPinAt(kDataPins[i]);
      driven = driven || (cp > 0 && p.chip()->Drive(cp) >= 0);
      if (p.ReadLevel(kDataPins[i]) != 0) w |= 1u << i;
    }
    if (p.chip() && !driven && !floatingReported_) {
      floatingReported_ = true;
      p.record.Hazard(name_ + ": data bus read while the chip drives none of it");
    }
    return w;
  }
  bool floatingReported_ = false;

  std::string name_;
  int pgmPin_;
  int addressBits_;
  unsigned byteAddress_ = 0;
  unsigned word_ = 0;
};

}  // namespace

std::unique_ptr<Design> MakeAt27c2048Dip40() {
  return std::make_unique<WordEprom>("at27c2048dip40", 39, 17);
}
std::unique_ptr<Design> MakeAt27c4096Dip40() {
  return std::make_unique<WordEprom>("at27c4096dip40", 0, 18);
}

}  // namespace zelvar::sim
