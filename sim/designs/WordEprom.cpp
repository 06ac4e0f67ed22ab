#include "sim/designs/WordEprom.h"

#include <array>
#include <string>
#include <vector>

#include "sim/designs/WordEpromCommands.h"

namespace zelvar::sim {

namespace {

using namespace word_eprom;

// Where a design puts the chip's lines, by socket pin.
struct WordPins {
  std::array<int, 16> data;  // D0..D15
  std::vector<int> address;  // A0 upwards, as many as the package decodes
  int ce = 0, oe = 0;
  int pgm = 0;   // control line 4; 0 when the package has none (line 2 is CE/PGM)
  int byte = 0;  // control line 1: BYTE# of the 42-pin byte/word parts, 0 when none
};

// The 27C1024 / 2048 / 4096 pinout in DIP40: D0..D15 and A0..A17 (A17 only on the 4096).
WordPins Dip40(int pgmPin, int addressBits) {
  WordPins w{{19, 18, 17, 16, 15, 14, 13, 12, 10, 9, 8, 7, 6, 5, 4, 3},
             {21, 22, 23, 24, 25, 26, 27, 28, 29, 31, 32, 33, 34, 35, 36, 37, 38, 39}};
  w.address.resize(static_cast<std::size_t>(addressBits));
  w.ce = 2;
  w.oe = 20;
  w.pgm = pgmPin;
  return w;
}

// The 42-pin 16-bit EPROMs (M27C800, M27C160, M27C322 datasheets) at the bottom of the socket,
// chip pin 1 on socket pin 48 and chip pin k on socket pin k - 1: E on 10, G (GVPP) on 12, A0..A19,
// and on the M27C160 class BYTE/VPP on 31, which the M27C322 takes for A20.
WordPins Dip42(bool byteWide) {
  WordPins w{{13, 15, 17, 19, 22, 24, 26, 28, 14, 16, 18, 20, 23, 25, 27, 29},
             {9, 8, 7, 6, 5, 4, 3, 2, 40, 39, 38, 37, 36, 35, 34, 33, 32, 1, 48, 41}};
  w.ce = 10;
  w.oe = 12;
  if (byteWide) {
    w.byte = 31;
  } else {
    w.address.push_back(31);
  }
  return w;
}

class WordEprom final : public Design {
 public:
  WordEprom(std::string name, WordPins pins) : name_(std::move(name)), pins_(std::move(pins)) {}

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
          p.level[pins_.data[i]] = (w >> i) & 1;
          p.busInput[pins_.data[i]] = false;
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
      if (line == kLineCe) p.level[pins_.ce] = high;
      if (line == kLineOe) {
        p.level[pins_.oe] = high;
        // The data bus turns input as the chip's outputs are enabled, before they drive.
        if (!high) {
          for (int pin : pins_.data) p.busInput[pin] = true;
        }
      }
      if (line == kLinePgm && pins_.pgm) p.level[pins_.pgm] = high;
      if (line == kLineByte && pins_.byte) p.level[pins_.byte] = high;
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
    for (std::size_t i = 0; i < pins_.address.size(); ++i)
      p.level[pins_.address[i]] = (word_ >> i) & 1;
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
      const int cp = p.ChipPinAt(pins_.data[i]);
      driven = driven || (cp > 0 && p.chip()->Drive(cp) >= 0);
      if (p.ReadLevel(pins_.data[i]) != 0) w |= 1u << i;
    }
    if (p.chip() && !driven && !floatingReported_) {
      floatingReported_ = true;
      p.record.Hazard(name_ + ": data bus read while the chip drives none of it");
    }
    return w;
  }
  bool floatingReported_ = false;

  std::string name_;
  WordPins pins_;
  unsigned byteAddress_ = 0;
  unsigned word_ = 0;
};

}  // namespace

std::unique_ptr<Design> MakeAt27c2048Dip40() {
  return std::make_unique<WordEprom>("at27c2048dip40", Dip40(39, 17));
}
std::unique_ptr<Design> MakeAt27c4096Dip40() {
  return std::make_unique<WordEprom>("at27c4096dip40", Dip40(0, 18));
}
std::unique_ptr<Design> MakeM27c160Dip42() {
  return std::make_unique<WordEprom>("m27c160dip42", Dip42(true));
}
std::unique_ptr<Design> MakeM27c322Dip42() {
  return std::make_unique<WordEprom>("m27c322dip42", Dip42(false));
}

}  // namespace zelvar::sim
