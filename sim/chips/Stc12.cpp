#include "sim/chips/Stc12.h"

#include <algorithm>

namespace zelvar::sim {

namespace {
constexpr int kVcc = 28, kGround = 14, kFirstBusPin = 1, kFirstLinePin = 15;
constexpr std::array<std::uint8_t, 6> kProgram = {0x88, 0x89, 0xC9, 0x89, 0x81, 0x00};
constexpr double kEraseUs = 150;
constexpr std::uint16_t kConfigAddress = 0xF000;
}  // namespace

Stc12Chip::Stc12Chip() : code(10240, 0xFF) {}

bool Stc12Chip::Powered(const Programmer& p) const {
  const int vcc = p.SupplyMillivolts(p.SocketPinOf(kVcc));
  return vcc >= 3500 && vcc <= 5500 && p.IsGround(p.SocketPinOf(kGround));
}

int Stc12Chip::Level(const Programmer& p, int chipPin) const {
  return p.InputMillivolts(p.SocketPinOf(chipPin)) >= 2000 ? 1 : 0;
}

std::uint8_t Stc12Chip::Bus(const Programmer& p) const {
  std::uint8_t b = 0;
  for (int i = 0; i < 8; ++i) {
    if (Level(p, kFirstBusPin + i)) b |= static_cast<std::uint8_t>(1u << i);
  }
  return b;
}

std::uint8_t* Stc12Chip::Cell(std::uint16_t a) {
  if (a < code.size()) return &code[a];
  if (a >= kConfigAddress && a < kConfigAddress + config.size()) return &config[a - kConfigAddress];
  return nullptr;
}

void Stc12Chip::Control(Programmer& p, std::uint8_t c) {
  reading_ = c == 0xF0;
  codes_.push_back(c);
  if (codes_.size() > kProgram.size()) codes_.pop_front();
  const auto tail = [&](std::initializer_list<std::uint8_t> want) {
    return codes_.size() >= want.size() &&
           std::equal(want.begin(), want.end(), codes_.end() - static_cast<long>(want.size()));
  };
  if (codes_.size() == kProgram.size() &&
      std::equal(kProgram.begin(), kProgram.end(), codes_.begin())) {
    if (std::uint8_t* cell = Cell(address_)) *cell &= data_;
    codes_.clear();
  } else if (tail({0x86, 0x87})) {
    eraseArmed_ = p.clockUs();
  } else if (tail({0x83, 0x00}) && eraseArmed_ >= 0) {
    if (p.clockUs() - eraseArmed_ >= kEraseUs) {
      std::fill(code.begin(), code.end(), 0xFF);
      config.fill(0xFF);
      ++erases;
    }
    eraseArmed_ = -1;
  }
}

void Stc12Chip::Strobe(Programmer& p, const std::array<int, 11>& now) {
  const std::uint8_t b = Bus(p);
  if (!inMode) {
    if (entryBytes_ < 0 || now[6] == 0) return;
    entryBytes_ = b == kEntryCode[static_cast<std::size_t>(entryBytes_)] ? entryBytes_ + 1 : -1;
    if (entryBytes_ == static_cast<int>(kEntryCode.size())) {
      inMode = true;
      entryBytes_ = -1;
      codes_.clear();
      reading_ = false;
    }
    return;
  }
  if (now[5]) {
    address_ = static_cast<std::uint16_t>((address_ & 0x00FF) | b << 8);
  } else if (now[2]) {
    address_ = static_cast<std::uint16_t>((address_ & 0xFF00) | b);
  } else if (now[6]) {
    Control(p, b);
  } else if (reading_) {
    ++address_;
  } else {
    data_ = b;
  }
}

void Stc12Chip::OnPins(Programmer& p) {
  std::array<int, 11> now{};
  for (int n = 0; n <= 10; ++n) now[n] = Level(p, kFirstLinePin + n);
  if (!Powered(p)) {
    inMode = reading_ = driving_ = false;
    entryBytes_ = -1;
    last_ = now;
    return;
  }
  if (now[9] == 1 && last_[9] == 0 && !inMode) entryBytes_ = 0;
  if (now[7] == 1 && last_[7] == 0) Strobe(p, now);
  last_ = now;
  driving_ = inMode && reading_ && now[0] == 1 && now[1] == 0;
}

int Stc12Chip::Drive(int pin) const {
  if (!driving_ || pin < kFirstBusPin || pin >= kFirstBusPin + 8) return -1;
  const std::uint8_t* cell = const_cast<Stc12Chip*>(this)->Cell(address_);
  return ((cell ? *cell : 0xFF) >> (pin - kFirstBusPin)) & 1;
}

std::string_view Stc12PartOf(std::string_view chipName) {
  return chipName.find("STC12C5410") != std::string_view::npos ? "STC12C5410" : "";
}

std::shared_ptr<Stc12Chip> MakeStc12(std::string_view part) {
  return part == "STC12C5410" ? std::make_shared<Stc12Chip>() : nullptr;
}

}  // namespace zelvar::sim
