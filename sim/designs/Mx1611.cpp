#include "sim/designs/Mx1611.h"

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "sim/designs/FpgaFlash.h"
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
class Mx1611Design final : public FpgaFlashDesign {
 public:
  Mx1611Design() : FpgaFlashDesign("mx1611sop44", kDataPins) {}
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
      case kReadBlocks:
        ReadBlocks(p, c.bytes[1]);
        return true;
      default:
        if (!RunWait(p, kWaits, c.op())) return false;
        p.Settle();
        return true;
    }
  }

  // This design puts each address byte out as it is written.
  void OnFpgaRegister(Programmer& p, std::uint8_t reg, std::uint8_t value) override {
    if (reg >= 21 && reg <= 23) {
      Attach(p);
      PutAddress(p, Address(p));
      return;
    }
    FpgaFlashDesign::OnFpgaRegister(p, reg, value);
  }

 private:
  // The control lines, the data latch and the bus direction onto their pins.
  void Apply(Programmer& p) override {
    p.level[kCePin] = lines_[kCeLine];
    p.level[kOePin] = lines_[kOeLine];
    p.level[kWePin] = lines_[kWeLine];
    for (std::size_t i = 0; i < kDataPins.size(); ++i) {
      p.busInput[kDataPins[i]] = lines_[kBusLine];
      p.level[kDataPins[i]] = (latch_ >> i) & 1;
    }
  }
  void PutAddress(Programmer& p, std::uint32_t a) override {
    for (std::size_t i = 0; i < kAddressPins.size(); ++i) p.level[kAddressPins[i]] = (a >> i) & 1;
    p.Settle();
  }
  void RunCycle(Programmer& p, int code) override {
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
  std::uint8_t latch_ = 0xFF;
};

}  // namespace

std::unique_ptr<Design> MakeMx1611Sop44() {
  return std::make_unique<Mx1611Design>();
}

}  // namespace zelvar::sim
