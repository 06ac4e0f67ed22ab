#include "sim/chips/Lp76x.h"

namespace zelvar::sim {

namespace {

constexpr int kVppMin = 10000, kVppMax = 12500;
constexpr double kPulseUs = 250;
constexpr std::uint16_t kIdAddress = 0xFC30, kConfigAddress = 0xFD00;

constexpr Lp76xSheet kP87lpc761{.name = "P87LPC761",
                                .pins = 16,
                                .vdd = 12,
                                .vss = 4,
                                .rst = 3,
                                .clock = 13,
                                .data = 14,
                                .codeSize = 2048,
                                .device = 0x61,
                                .seat6200 = 7};
constexpr Lp76xSheet kP87lpc762{.name = "P87LPC762",
                                .pins = 20,
                                .vdd = 15,
                                .vss = 5,
                                .rst = 4,
                                .clock = 16,
                                .data = 17,
                                .codeSize = 2048,
                                .device = 0x62,
                                .seat6200 = 6};

}  // namespace

Lp76xChip::Lp76xChip(const Lp76xSheet& sheet) : code(sheet.codeSize, 0xFF), sheet_(sheet) {}

bool Lp76xChip::Powered(const Programmer& p) const {
  const int vdd = p.SupplyMillivolts(p.SocketPinOf(sheet_.vdd));
  return vdd >= 4500 && vdd <= 5500 && p.IsGround(p.SocketPinOf(sheet_.vss));
}

int Lp76xChip::Level(const Programmer& p, int chipPin) const {
  return p.InputMillivolts(p.SocketPinOf(chipPin)) >= 2000 ? 1 : 0;
}

std::uint8_t* Lp76xChip::Cell(std::uint16_t a) {
  if (a < code.size()) return &code[a];
  if (a >= kConfigAddress && a < kConfigAddress + 2) return &config[a - kConfigAddress];
  return nullptr;
}

std::uint8_t Lp76xChip::Value(std::uint16_t a) {
  if (a == kIdAddress) return 0x15;
  if (a == kIdAddress + 1) return sheet_.device;
  const std::uint8_t* c = Cell(a);
  return c ? *c : 0xFF;
}

void Lp76xChip::Byte(Programmer& p, std::uint8_t b) {
  if (argument_ >= 0) {
    const int command = argument_;
    argument_ = -1;
    if (command == 0x08) address_ = static_cast<std::uint16_t>((address_ & 0xFF00) | b);
    if (command == 0x0A) address_ = static_cast<std::uint16_t>((address_ & 0x00FF) | b << 8);
    if (command == 0x02) latch_ = b;
    return;
  }
  switch (b) {
    case 0x02:
    case 0x08:
    case 0x0A:
      argument_ = b;
      return;
    case 0x04:
      out_ = Value(address_);
      sendBits_ = 8;
      reading_ = true;
      return;
    case 0x06:
      ++address_;
      return;
    case 0x0C:
      pulseStart_ = p.clockUs();
      return;
    case 0x0E:
      if (pulseStart_ >= 0 && p.clockUs() - pulseStart_ >= kPulseUs) {
        if (std::uint8_t* c = Cell(address_)) {
          *c &= latch_;
          ++programmed;
        }
      }
      pulseStart_ = -1;
      return;
    default:
      p.record.ProtocolError(std::string(sheet_.name) + ": unknown command byte");
      return;
  }
}

void Lp76xChip::OnPins(Programmer& p) {
  const int rst = p.SupplyMillivolts(p.SocketPinOf(sheet_.rst));
  const int clock = Level(p, sheet_.clock);
  if (!Powered(p) || rst < kVppMin || rst > kVppMax) {
    inMode = reading_ = false;
    bits_ = sendBits_ = 0;
    argument_ = -1;
    pulseStart_ = -1;
    lastClock_ = clock;
    return;
  }
  if (!inMode) {
    inMode = true;
    lastClock_ = clock;
    return;
  }
  if (clock == 0 && lastClock_ == 1 && reading_ && sendBits_ == 0) reading_ = false;
  if (clock == 1 && lastClock_ == 0) {
    if (reading_) {
      --sendBits_;
    } else {
      shift_ = static_cast<std::uint8_t>(shift_ << 1 | Level(p, sheet_.data));
      if (++bits_ == 8) {
        bits_ = 0;
        Byte(p, shift_);
      }
    }
  }
  lastClock_ = clock;
}

// A read's bit n goes out from the rising edge that made sendBits_ n until the next one.
int Lp76xChip::Drive(int pin) const {
  if (!inMode || !reading_ || pin != sheet_.data || sendBits_ == 8) return -1;
  return (out_ >> sendBits_) & 1;
}

std::string_view Lp76xPartOf(std::string_view chipName) {
  if (chipName.find("87LP761") != std::string_view::npos ||
      chipName.find("87LPC761") != std::string_view::npos)
    return "P87LPC761";
  if (chipName.find("87LP762") != std::string_view::npos ||
      chipName.find("87LPC762") != std::string_view::npos)
    return "P87LPC762";
  return {};
}

std::shared_ptr<Lp76xChip> MakeLp76x(std::string_view part) {
  if (part == "P87LPC761") return std::make_shared<Lp76xChip>(kP87lpc761);
  if (part == "P87LPC762") return std::make_shared<Lp76xChip>(kP87lpc762);
  return nullptr;
}

}  // namespace zelvar::sim
