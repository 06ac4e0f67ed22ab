#include "sim/designs/P51Parallel.h"

#include <string>

namespace zelvar::sim {

namespace {

// The design's own command bytes, named here apart from the sets' names so that the design stays
// an independent check of them.
enum : std::uint8_t {
  kSampleP0 = 1,
  kSetRegister = 14,
  kPort0 = 16,
  kStrobeStep = 24,
  kWait100us = 25,
  kWait1ms = 26,
  kLongWait = 28,
  kWait50us = 29,
  kBlock256 = 32,
  kDataByte = 33,
  kSampleByte = 34,
  kSampleByte37 = 37,
  kPort20Byte = 38,
};

constexpr int kAddressFirstPin = 1;  // P1.0 .. P1.7 on socket pins 1..8
constexpr int kDataPin0 = 39;        // P0.0 on 39 down to P0.7 on 32
constexpr std::uint8_t kBusModeRegister = 25;
constexpr std::uint8_t kWaitReadyRegister = 29;  // value: a socket pin; then a limit in ms
constexpr std::uint8_t kDriveMode = 15;
constexpr std::uint8_t kPort20ReadMode = 9;
constexpr std::uint8_t kReadMode = 7;
constexpr std::uint8_t kPort0InputMode = 1;  // P0 an input, whether or not a byte was latched
constexpr int kPort20Pin0 = 22;              // P1.0 of a 20-pin part at socket pins 11 to 30

int DataPin(int bit) {
  return kDataPin0 - bit;
}

void DrivePort0(Programmer& p, std::uint8_t v) {
  p.port[0] = v;
  for (int i = 0; i < 8; ++i) p.level[kAddressFirstPin + i] = (v >> i) & 1;
}

}  // namespace

int P51Logic::CommandLength(std::uint8_t op) const {
  switch (op) {
    case kSampleP0:
    case kStrobeStep:
    case kWait50us:
    case kBlock256:
    case kSampleByte:
    case kSampleByte37:
      return 1;
    case kPort0:
    case kDataByte:
    case kPort20Byte:
      return 2;
    case kSetRegister:
      return 4;
    default:
      return 0;
  }
}

void P51Logic::Settle(Programmer& p) {
  if (p.chip()) p.chip()->OnPins(p);
}

void P51Logic::DriveData(Programmer& p) {
  for (int i = 0; i < 8; ++i) p.level[DataPin(i)] = (latch_ >> i) & 1;
  Settle(p);
}

void P51Logic::ReleaseData(Programmer& p) {
  for (int i = 0; i < 8; ++i) p.level[DataPin(i)] = -1;
  Settle(p);
}

// P0 as the chip drives it. A sample while the programmer drives P0 itself, or of a bus that
// nothing drives, is recorded: either means the set read back its own byte or a silent chip.
std::uint8_t P51Logic::SampleData(Programmer& p) {
  if (drive_ && latched_) {
    p.record.ProtocolError("p51: P0 sampled while the programmer drives it");
  }
  std::uint8_t b = 0;
  bool driven = false;
  for (int i = 0; i < 8; ++i) {
    const int sp = DataPin(i);
    const int cp = p.ChipPinAt(sp);
    const int d = cp > 0 && p.chip() ? p.chip()->Drive(cp) : -1;
    driven = driven || d >= 0;
    if (d > 0 || (d < 0 && p.ReadLevel(sp) != 0)) b |= static_cast<std::uint8_t>(1 << i);
  }
  if (p.chip() && !driven && !floatingReported_) {
    floatingReported_ = true;
    p.record.ProtocolError("p51: P0 read while the chip drives none of it");
  }
  return b;
}

void P51Logic::DrivePort20(Programmer& p, bool drive) {
  for (int i = 0; i < 8; ++i) p.level[kPort20Pin0 + i] = drive ? (latch20_ >> i) & 1 : -1;
  Settle(p);
}

// Eight socket pins from `first` up as the chip drives them (the 20-pin part's P1, or socket
// pins 1 to 8 as an input port); a bus nothing drives is recorded as for P0.
std::uint8_t P51Logic::SamplePins(Programmer& p, int first) {
  std::uint8_t b = 0;
  bool driven = false;
  for (int i = 0; i < 8; ++i) {
    const int sp = first + i;
    const int cp = p.ChipPinAt(sp);
    const int d = cp > 0 && p.chip() ? p.chip()->Drive(cp) : -1;
    driven = driven || d >= 0;
    if (d > 0 || (d < 0 && p.ReadLevel(sp) != 0)) b |= static_cast<std::uint8_t>(1 << i);
  }
  if (p.chip() && !driven && !floatingReported_) {
    floatingReported_ = true;
    p.record.ProtocolError("p51: an input port read while the chip drives none of it");
  }
  return b;
}

bool P51Logic::Execute(Programmer& p, const Command& c) {
  switch (c.op()) {
    case kSetRegister:
      if (c.bytes[1] == kWaitReadyRegister) {
        p.WaitReady(c.bytes[2], c.bytes[3]);
        return true;
      }
      // Register 25 sets the data lines' direction; the core keeps the register itself.
      if (c.bytes[1] == kBusModeRegister) {
        // Modes 0 and 1 carry the address on P0 and the data on socket pins 1 to 8, an input
        // port in mode 1.
        drive_ = c.bytes[2] == kDriveMode || c.bytes[2] == kPort0InputMode || c.bytes[2] == 0;
        if (busMode_ == kPort0InputMode && c.bytes[2] != kPort0InputMode) {
          DrivePort0(p, p.port[0]);
        }
        busMode_ = c.bytes[2];
        if (busMode_ == kPort0InputMode) {
          for (int i = 0; i < 8; ++i) p.level[kAddressFirstPin + i] = -1;
        }
        if (latched_) {
          drive_ ? DriveData(p) : ReleaseData(p);
        } else if (busMode_ == kReadMode) {
          ReleaseData(p);
        }
        if (latched20_) {
          DrivePort20(p, drive_);
        } else if (busMode_ == kPort20ReadMode) {
          DrivePort20(p, false);
        }
      }
      return false;
    case kPort20Byte:
      latch20_ = c.bytes[1];
      latched20_ = true;
      if (drive_) DrivePort20(p, true);
      return true;
    case kPort0:
      // As an input port (register 25 at 1) the pins keep to the chip.
      if (busMode_ == kPort0InputMode) {
        p.port[0] = c.bytes[1];
        return true;
      }
      DrivePort0(p, c.bytes[1]);
      Settle(p);
      return true;
    case kDataByte:
      latch_ = c.bytes[1];
      latched_ = true;
      if (drive_) DriveData(p);
      return true;
    case kSampleByte37:
      if (busMode_ == kPort20ReadMode && drive_) {
        p.record.ProtocolError("p51: P1 of the 20-pin part sampled while driven");
      }
      p.PushReplyByte(busMode_ == kPort20ReadMode ? SamplePins(p, kPort20Pin0) : SampleData(p));
      return true;
    case kSampleP0:
      p.PushReplyByte(busMode_ == kPort0InputMode ? SamplePins(p, kAddressFirstPin)
                                                  : SampleData(p));
      return true;
    case kSampleByte:
      p.PushReplyByte(SampleData(p));
      return true;
    case kStrobeStep:
      p.AdvanceUs(1);
      return true;
    case kWait50us:
      p.AdvanceUs(50);
      Settle(p);
      return true;
    case kBlock256: {
      std::array<std::uint8_t, 256> block;
      const std::uint8_t low = p.port[0];
      for (int i = 0; i < 256; ++i) {
        DrivePort0(p, static_cast<std::uint8_t>(low + i));
        Settle(p);
        block[i] = SampleData(p);
      }
      DrivePort0(p, low);
      Settle(p);
      p.AdvanceUs(256 * 0.25);
      p.PushInData(block.data(), block.size());
      return true;
    }
    default:
      return false;
  }
}

namespace {

// The logic alone, with the waits of the 8051 designs.
class P51Design final : public Design {
 public:
  explicit P51Design(std::string name) : name_(std::move(name)) {}
  std::string Name() const override { return name_; }
  int CommandLength(std::uint8_t op) const override {
    if (op == kWait100us || op == kWait1ms || op == kLongWait || op == kWait50us) return 1;
    return logic_.CommandLength(op);
  }
  bool Execute(Programmer& p, const Command& c) override {
    switch (c.op()) {
      case kWait100us:
        p.AdvanceUs(100);
        return true;
      case kWait1ms:
        p.AdvanceUs(1000);
        return true;
      case kLongWait:
        p.AdvanceUs(100000);
        return true;
      case kWait50us:
        p.AdvanceUs(50);
        return true;
      default:
        return logic_.Execute(p, c);
    }
  }

 private:
  std::string name_;
  P51Logic logic_;
};

}  // namespace

std::unique_ptr<Design> MakeP51Dip40() {
  return std::make_unique<P51Design>("p51dip40");
}
std::unique_ptr<Design> MakeP51Plcc44() {
  return std::make_unique<P51Design>("p51plcc44");
}

}  // namespace zelvar::sim
