#include "sim/designs/P29F640.h"

#include <array>
#include <utility>
#include <vector>

#include "sim/designs/FpgaFlash.h"
#include "sim/designs/Waits.h"

namespace zelvar::sim {

namespace {

struct Adapter {
  const char* tag;
  std::vector<int> address;  // socket pins of A0, A1, ...
  std::vector<int> data;     // D0..D7, or D0..D15
  int ce, oe, we, reset;
};

// The 16-bit TSOP48 adapter: supplies on 21 (VCC) and 11 and 30 (ground), RESET# on 44, A9 on
// 12 and OE# on 39 (the pins the set raises to 12 V).
const Adapter kTsop48{
    "tsop48p29",
    {1, 2, 3, 4, 5, 6, 7, 8, 9, 12, 13, 14, 15, 16, 17, 18, 19, 20, 22, 23, 24, 25},
    {26, 27, 28, 29, 31, 32, 33, 34, 35, 36, 37, 38, 40, 41, 42, 43},
    10,
    39,
    45,
    44};
// A DIP32 at the bottom of the socket (chip pin n on socket pin n + 4), JEDEC pinout.
const Adapter kDip32{"sst39xx040dip32",
                     {16, 15, 14, 13, 12, 11, 10, 9, 31, 30, 27, 29, 8, 32, 33, 7, 6, 34, 5},
                     {17, 18, 19, 21, 22, 23, 24, 25},
                     26,
                     28,
                     35,
                     0};

// The 28F001BX-class DIP32 of the "F640" set at the bottom of the socket: the JEDEC pinout up
// to A16, VPP on chip pin 1 (socket 5), RP# on chip pin 30 (socket 34, the reset line).
const Adapter kIntelDip32{"p28f001bxdip32",
                          {16, 15, 14, 13, 12, 11, 10, 9, 31, 30, 27, 29, 8, 32, 33, 7, 6},
                          {17, 18, 19, 21, 22, 23, 24, 25},
                          26,
                          28,
                          35,
                          34};

// The 16-bit TSOP48 adapters of the "HN29AND" set ("tsop29cmd2aa" for chips that take their
// unlock cycles at words 0x555/0x2AA, "tsop29cmd2aaa" at 0x5555/0x2AAA; wired alike): A0-A8 on
// socket pins 1-9, A9 on 12, A10-A17 on 13-20; CE# 10, OE# 39, RESET# 44, WE# 45; DQ0-DQ15 on
// 26-29, 32, 33, 35-38, 40-43, 46 and 47; the chip's VCC on 34 and its VSS on 31, the pins the
// set selects.
const std::vector<int> kAndAddress = {1,  2,  3,  4,  5,  6,  7,  8,  9,
                                      12, 13, 14, 15, 16, 17, 18, 19, 20};
const std::vector<int> kAndData = {26, 27, 28, 29, 32, 33, 35, 36, 37, 38, 40, 41, 42, 43, 46, 47};
const Adapter kTsop48And555{"tsop29cmd2aa", kAndAddress, kAndData, 10, 39, 45, 44};
const Adapter kTsop48And5555{"tsop29cmd2aaa", kAndAddress, kAndData, 10, 39, 45, 44};

enum Op : std::uint8_t {
  kReadAtAddress = 1,
  kReadBus = 3,
  kWait1ms = 26,
  kEraseWait = 28,
  kProgramWait = 64,
  kReadBlocks = 65,
  kProgramWord = 66,
  kProgramByte = 67,
  kPulseSetting = 68,
  kWriteCycle = 69,
  kIntelProgramWord = 71,
  kIntelProgramByte = 72,
};
constexpr WaitCommand kWaits[] = {{kWait1ms, 1000}, {kEraseWait, 100000}, {kProgramWait, 50}};
class P29F640Design final : public FpgaFlashDesign {
 public:
  explicit P29F640Design(const Adapter& a) : FpgaFlashDesign(a.tag, a.data), a_(a) {}
  std::string Name() const override { return a_.tag; }

  int CommandLength(std::uint8_t op) const override {
    switch (op) {
      case kReadAtAddress:
      case kReadBus:
      case kWait1ms:
      case kEraseWait:
      case kProgramWait:
        return 1;
      case kReadBlocks:
      case kProgramByte:
      case kPulseSetting:
      case kIntelProgramByte:
        return 2;
      case kProgramWord:
      case kWriteCycle:
      case kIntelProgramWord:
        return 3;
      default:
        return 0;
    }
  }

  bool Execute(Programmer& p, const Command& c) override {
    Attach(p);
    const std::uint16_t word = static_cast<std::uint16_t>(c.bytes[1] | c.bytes[2] << 8);
    switch (c.op()) {
      case kReadAtAddress:
        PutAddress(p, Address(p));
        p.PushReplyByte(static_cast<std::uint8_t>(ReadBus(p)));
        return true;
      case kReadBus:
        p.PushReplyByte(static_cast<std::uint8_t>(ReadBus(p)));
        return true;
      case kReadBlocks:
        ReadBlocks(p, c.bytes[1]);
        return true;
      case kProgramWord:
      case kProgramByte: {
        const std::uint32_t a = Address(p);
        WriteCycle(p, 0x5555, 0xAA);
        WriteCycle(p, 0x2AAA, 0x55);
        WriteCycle(p, 0x5555, 0xA0);
        WriteCycle(p, a, c.op() == kProgramWord ? word : c.bytes[1]);
        SetAddress(p, a + 1);
        PutAddress(p, a + 1);
        return true;
      }
      case kIntelProgramWord:
      case kIntelProgramByte: {
        const std::uint32_t a = Address(p);
        WriteCycle(p, a, 0x40);
        WriteCycle(p, a, c.op() == kIntelProgramWord ? word : c.bytes[1]);
        SetAddress(p, a + 1);
        PutAddress(p, a + 1);
        return true;
      }
      case kPulseSetting:
        pulseSetting_ = c.bytes[1];
        return true;
      case kWriteCycle:
        WriteCycle(p, Address(p), word);
        PutAddress(p, Address(p));
        return true;
      default:
        if (!RunWait(p, kWaits, c.op())) return false;
        p.Settle();
        return true;
    }
  }

 private:
  // The control lines and the bus direction onto their pins.
  void Apply(Programmer& p) override {
    p.level[a_.ce] = lines_[kCeLine];
    p.level[a_.oe] = lines_[kOeLine];
    p.level[a_.we] = lines_[kWeLine];
    if (a_.reset) p.level[a_.reset] = lines_[kResetLine];
    for (int pin : a_.data) p.busInput[pin] = lines_[kBusLine];
  }
  void PutAddress(Programmer& p, std::uint32_t a) override {
    for (std::size_t i = 0; i < a_.address.size(); ++i) p.level[a_.address[i]] = (a >> i) & 1;
    p.Settle();
  }
  void WriteCycle(Programmer& p, std::uint32_t address, std::uint16_t data) {
    PutAddress(p, address);
    for (std::size_t i = 0; i < a_.data.size(); ++i) p.level[a_.data[i]] = (data >> i) & 1;
    p.level[a_.we] = 0;
    p.Settle();
    p.level[a_.we] = 1;
    p.Settle();
    p.level[a_.we] = lines_[kWeLine];
  }
  void RunCycle(Programmer& p, int code) override {
    static constexpr std::array<std::pair<std::uint32_t, std::uint8_t>, 8> kCycles = {
        {{0, 0},
         {0x5555, 0xAA},
         {0x2AAA, 0x55},
         {0x5555, 0xA0},
         {0x5555, 0x80},
         {0x5555, 0x10},
         {0, 0x30},
         {0x5555, 0x90}}};
    if (code >= 1 && code <= 7) {
      const auto [address, data] = kCycles[static_cast<std::size_t>(code)];
      WriteCycle(p, code == 6 ? Address(p) : address, data);
    }
    PutAddress(p, Address(p));
  }
  const Adapter& a_;
  std::uint8_t pulseSetting_ = 6;  // the program pulse; a simulated program takes at its latch
};

}  // namespace

std::unique_ptr<Design> MakeP29F640Tsop48() {
  return std::make_unique<P29F640Design>(kTsop48);
}
std::unique_ptr<Design> MakeP29F640Dip32() {
  return std::make_unique<P29F640Design>(kDip32);
}
std::unique_ptr<Design> MakeHn29Tsop48Unlock555() {
  return std::make_unique<P29F640Design>(kTsop48And555);
}
std::unique_ptr<Design> MakeHn29Tsop48Unlock5555() {
  return std::make_unique<P29F640Design>(kTsop48And5555);
}
std::unique_ptr<Design> MakeF640Dip32() {
  return std::make_unique<P29F640Design>(kIntelDip32);
}

}  // namespace zelvar::sim
