#include "sim/designs/Pic18Icsp.h"

#include <optional>
#include <string>

#include "sim/designs/IcspBits.h"
#include "sim/designs/PicIcsp.h"
#include "sim/designs/Waits.h"

namespace zelvar::sim {

namespace {

// The design's own bytes and register values, named apart from the sets' names.
enum : std::uint8_t {
  kIdleHalf = 0,
  kPushRead = 3,
  kTick = 26,
  kSettle = 27,
  kEraseWait = 28,
  kDone = 29,
  kLines = 18,
  kStrobe = 0x80,
  kLatch = 1,
  kIdle = 2,
  kDirection = 3,
  kHold = 4,
  kPortFirst = 16,
  kPortLast = 21,
};
constexpr WaitCommand kWaits[] = {{kTick, 1000}, {kSettle, 10000}, {kEraseWait, 10000}};
constexpr double kBitUs = 1, kDischargeUs = 100, kDoneUs = 20;

struct Pic18Wiring {
  const char* tag;
  int pgc, pgd, pgm;
  int high = 0, low = 0;  // pins held high and low
  const IcspWiring* pic16 = nullptr;
};

class Pic18Icsp final : public Design {
 public:
  explicit Pic18Icsp(const Pic18Wiring& w) : w_(w), bits_{w.pgc, w.pgd, kBitUs} {
    if (w.pic16 != nullptr) pic16_.emplace(*w.pic16);
  }
  std::string Name() const override { return w_.tag; }

  int CommandLength(std::uint8_t op) const override {
    if (IsWait(kWaits, op) || op == kDone || op == kIdleHalf || op == kPushRead) return 1;
    if (op >= kPortFirst && op <= kPortLast) return 2;
    return pic16_ ? PicIcspLogic::CommandLength(op) : 0;
  }

  bool Execute(Programmer& p, const Command& c) override {
    const std::uint8_t op = c.op();
    if (RunWait(p, kWaits, op)) {
      p.Settle();
      return true;
    }
    switch (op) {
      case kDone:
        busy_ = 0;
        p.AdvanceUs(kDoneUs);
        return true;
      case kIdleHalf:
        busy_ = busy_ > 0 ? busy_ - 1 : 0;
        p.AdvanceUs(kDoneUs / 2);
        return true;
      case kPushRead:
        Check(p, "command 3");
        if (!read_) p.record.ProtocolError(std::string(w_.tag) + ": command 3 without a read");
        p.PushReplyByte(read_.value_or(0));
        read_.reset();
        return true;
      default:
        break;
    }
    if (op >= kPortFirst && op <= kPortLast) {
      Check(p, "a port");
      return false;  // the programmer's own port write
    }
    if (pic16_) pic16_->Execute(p, c);
    return true;
  }

  void OnFpgaRegister(Programmer& p, std::uint8_t reg, std::uint8_t value) override {
    if (reg == 20 && pic16_) return pic16_->OnFpgaRegister(p, reg, value);
    if (reg != kLines) return;
    // The idle latch state alone leaves a running transfer be (the PIC18C engine selects it
    // right after ending a hold).
    if (value != kLatch) Check(p, "register 18");
    HoldPins(p);
    const bool strobe = (value & kStrobe) != 0;
    switch (value & 0x7F) {
      case kLatch:
        if (strobe) Transfer(p);
        return;
      case kDirection:
        readDirection_ = !strobe;
        return;
      case kHold:
        if (strobe) {
          holdArmed_ = true;
        } else if (holding_) {
          EndHold(p);
        }
        return;
      default:
        return;
    }
  }

 private:
  void Check(Programmer& p, const char* what) {
    if (busy_ > 0) {
      p.record.ProtocolError(std::string(w_.tag) + ": " + what + " written while a transfer runs");
      busy_ = 0;
    }
  }

  void HoldPins(Programmer& p) {
    bool changed = false;
    const auto set = [&](int pin, int level) {
      if (pin != 0 && p.level[pin] != level) {
        p.level[pin] = level;
        changed = true;
      }
    };
    set(w_.pgm, 0);
    set(w_.high, 1);
    set(w_.low, 0);
    if (!holding_ && busy_ == 0) set(w_.pgc, 0);
    if (changed) p.Settle();
  }

  std::uint32_t Operand(const Programmer& p) const {
    return static_cast<std::uint32_t>(p.port[1] | p.port[3] << 8);
  }

  void Transfer(Programmer& p) {
    if (holding_) {
      p.record.ProtocolError(std::string(w_.tag) + ": a transfer during a hold");
      return;
    }
    const std::uint32_t command = p.port[0] & 0x0F;
    if (holdArmed_) {
      holdArmed_ = false;
      bits_.Out(p, command, 3);
      p.level[w_.pgd] = static_cast<int>(command >> 3 & 1);
      bits_.Clock(p, 1);
      holding_ = true;
      return;
    }
    bits_.Out(p, command, 4);
    if (readDirection_) {
      // The 16-bit phase with PGD let go: the byte of the last 8 clocks is kept.
      read_ = static_cast<std::uint8_t>(bits_.In(p, 16));
    } else {
      bits_.Out(p, Operand(p), 16);
    }
    busy_ = 1;
  }

  void EndHold(Programmer& p) {
    holding_ = false;
    bits_.Clock(p, 0);
    p.AdvanceUs(kDischargeUs);
    bits_.Out(p, Operand(p), 16);
    busy_ = 1;
  }

  const Pic18Wiring& w_;
  IcspBits bits_;
  std::optional<PicIcspLogic> pic16_;
  bool readDirection_ = false, holdArmed_ = false, holding_ = false;
  int busy_ = 0;  // a transfer still running: 29 or an idle byte 0 ends it
  std::optional<std::uint8_t> read_;
};

constexpr IcspWiring kPic16Plcc{"pic18plcc44", 19, 20, 15};
constexpr IcspWiring kPic16Qfp{"pic18qfp44", 20, 21, 16};
constexpr IcspWiring kPic16Tqfp{"pic18tqfp44", 20, 21, 16};

constexpr Pic18Wiring kDip40{"pic18dip40", 39, 40, 38};
constexpr Pic18Wiring kDip28{"pic18dip28", 33, 34, 32};
constexpr Pic18Wiring kF2331{"pic18f2331dip28", 33, 34, 32, 13, 14};
constexpr Pic18Wiring kDip18{"pic18dip18", 23, 24, 22};
constexpr Pic18Wiring kPlcc44{"pic18plcc44", 19, 20, 16, 0, 0, &kPic16Plcc};
constexpr Pic18Wiring kQfp44{"pic18qfp44", 20, 21, 17, 0, 0, &kPic16Qfp};
constexpr Pic18Wiring kTqfp44{"pic18tqfp44", 20, 21, 17, 0, 0, &kPic16Tqfp};
constexpr Pic18Wiring kIsp{"pic18isp", 23, 24, 0};

}  // namespace

std::unique_ptr<Design> MakePic18Dip40() {
  return std::make_unique<Pic18Icsp>(kDip40);
}
std::unique_ptr<Design> MakePic18Dip28() {
  return std::make_unique<Pic18Icsp>(kDip28);
}
std::unique_ptr<Design> MakePic18f2331Dip28() {
  return std::make_unique<Pic18Icsp>(kF2331);
}
std::unique_ptr<Design> MakePic18Dip18() {
  return std::make_unique<Pic18Icsp>(kDip18);
}
std::unique_ptr<Design> MakePic18Plcc44() {
  return std::make_unique<Pic18Icsp>(kPlcc44);
}
std::unique_ptr<Design> MakePic18Qfp44() {
  return std::make_unique<Pic18Icsp>(kQfp44);
}
std::unique_ptr<Design> MakePic18Tqfp44() {
  return std::make_unique<Pic18Icsp>(kTqfp44);
}
std::unique_ptr<Design> MakePic18Isp() {
  return std::make_unique<Pic18Icsp>(kIsp);
}

}  // namespace zelvar::sim
