#include "sim/designs/Pic30Icsp.h"

#include <optional>
#include <string>

#include "sim/designs/IcspBits.h"
#include "sim/designs/Waits.h"

namespace zelvar::sim {

namespace {

// The design's own bytes and register values, named apart from the set's names.
enum : std::uint8_t {
  kVisiLow = 3,
  kVisiHigh = 4,
  kTick = 26,
  kSettle = 27,
  kDone = 29,
  kLines = 18,
  kStrobe = 0x80,
  kLatch = 1,
  kLow = 2,
  kDirection = 3,
  kReset = 4,
  kPortFirst = 16,
  kPortLast = 21,
};
constexpr WaitCommand kWaits[] = {{kTick, 1000}, {kSettle, 10000}};
constexpr double kBitUs = 1, kDoneUs = 2;

struct Pic30Wiring {
  const char* tag;
  int pgc, pgd;
};

class Pic30Icsp final : public Design {
 public:
  explicit Pic30Icsp(const Pic30Wiring& w) : w_(w), bits_{w.pgc, w.pgd, kBitUs} {}
  std::string Name() const override { return w_.tag; }

  int CommandLength(std::uint8_t op) const override {
    if (IsWait(kWaits, op) || op == kDone || op == kVisiLow || op == kVisiHigh) return 1;
    if (op >= kPortFirst && op <= kPortLast) return 2;
    return 0;
  }

  bool Execute(Programmer& p, const Command& c) override {
    const std::uint8_t op = c.op();
    if (RunWait(p, kWaits, op)) {
      Check(p, "a wait");
      p.Settle();
      return true;
    }
    switch (op) {
      case kDone:
        busy_ = false;
        p.AdvanceUs(kDoneUs);
        return true;
      case kVisiLow:
      case kVisiHigh:
        Check(p, "command 3 or 4");
        if (!read_) {
          p.record.ProtocolError(std::string(w_.tag) + ": command 3 or 4 without a read");
        }
        p.PushReplyByte(static_cast<std::uint8_t>(op == kVisiLow ? read_.value_or(0) & 0xFF
                                                                 : read_.value_or(0) >> 8));
        return true;
      default:
        break;
    }
    if (op >= kPortFirst && op <= kPortLast) {
      Check(p, "a port");
      return false;  // the programmer's own port write
    }
    return true;
  }

  void OnFpgaRegister(Programmer& p, std::uint8_t reg, std::uint8_t value) override {
    if (reg != kLines) return;
    Check(p, "register 18");
    const bool strobe = (value & kStrobe) != 0;
    switch (value & 0x7F) {
      case kLatch:
        if (strobe) Transfer(p);
        return;
      case kLow:
        p.busInput[w_.pgd] = false;
        p.level[w_.pgc] = 0;
        p.level[w_.pgd] = 0;
        p.Settle();
        return;
      case kDirection:
        readDirection_ = !strobe;
        return;
      case kReset:
        read_.reset();
        readDirection_ = false;
        return;
      default:
        return;
    }
  }

 private:
  void Check(Programmer& p, const char* what) {
    if (busy_) {
      p.record.ProtocolError(std::string(w_.tag) + ": " + what + " while a transfer runs");
      busy_ = false;
    }
  }

  void Transfer(Programmer& p) {
    if (p.port[0] != 1) {
      p.record.ProtocolError(std::string(w_.tag) + ": a strobe without the start (port 0 at 1)");
      return;
    }
    bits_.Out(p, p.port[1] & 0x0Fu, 4);
    if (readDirection_) {
      // 24 clocks with PGD let go; the bits after the rising edges of the last 16 are kept.
      read_ = static_cast<std::uint16_t>(bits_.In(p, 24));
    } else {
      bits_.Out(p, static_cast<std::uint32_t>(p.port[3] | p.port[4] << 8 | p.port[5] << 16), 24);
    }
    busy_ = p.model() == 6400;
  }

  const Pic30Wiring& w_;
  IcspBits bits_;
  bool readDirection_ = false, busy_ = false;
  std::optional<std::uint16_t> read_;
};

constexpr Pic30Wiring kDip40{"pic30dip40", 25, 26};
constexpr Pic30Wiring kDip28{"pic30dip28", 23, 24};

}  // namespace

std::unique_ptr<Design> MakePic30Dip40() {
  return std::make_unique<Pic30Icsp>(kDip40);
}
std::unique_ptr<Design> MakePic30Dip28() {
  return std::make_unique<Pic30Icsp>(kDip28);
}

}  // namespace zelvar::sim
