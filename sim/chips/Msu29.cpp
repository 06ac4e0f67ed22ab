#include "sim/chips/Msu29.h"

#include <algorithm>

namespace zelvar::sim {

namespace {

constexpr int kVcc = 40, kGnd = 20, kRst = 9, kPsen = 29, kAle = 30, kWe = 17;
constexpr int kData0 = 39;  // P0.0, A0
constexpr const char* kCommandMode = "0000111";
constexpr const char* kLockMode = "0101111";
constexpr const char* kUnlockMode = "1001111";
constexpr double kEraseUs = 800000;

bool High(int mv) {
  return mv >= 2000;
}

}  // namespace

Msu29Chip::Msu29Chip() {
  cells.assign(65536, 0xFF);
}

int Msu29Chip::In(Programmer& p, int chipPin) const {
  return p.InputMillivolts(socket_[chipPin]);
}

bool Msu29Chip::HighAt(Programmer& p, int chipPin) const {
  return High(In(p, chipPin));
}

std::uint32_t Msu29Chip::AddressNow(Programmer& p) const {
  std::uint32_t a = 0;
  for (int i = 0; i < 8; ++i) {
    if (HighAt(p, kData0 - i)) a |= 1u << i;
    if (HighAt(p, 21 + i)) a |= 1u << (8 + i);
  }
  return a;
}

std::uint8_t Msu29Chip::DataNow(Programmer& p) const {
  std::uint8_t d = 0;
  for (int i = 0; i < 8; ++i) {
    if (HighAt(p, 1 + i)) d |= static_cast<std::uint8_t>(1 << i);
  }
  return d;
}

bool Msu29Chip::Powered(const Programmer& p) const {
  const int vcc = p.SocketPinOf(kVcc), gnd = p.SocketPinOf(kGnd);
  return vcc != 0 && p.SupplyMillivolts(vcc) >= 4500 && p.IsGround(gnd);
}

void Msu29Chip::Cycle(std::uint32_t a, std::uint8_t d, Programmer& p) {
  struct Expect {
    std::uint32_t a;
    std::uint8_t d;
  };
  static constexpr Expect kUnlock[] = {{0x5555, 0xAA}, {0x2AAA, 0x55}};
  static constexpr Expect kEraseTail[] = {{0x5555, 0xAA}, {0x2AAA, 0x55}, {0x5555, 0x10}};
  if (step_ < 2) {
    step_ = a == kUnlock[step_].a && d == kUnlock[step_].d ? step_ + 1 : 0;
    return;
  }
  if (step_ == 2) {
    if (a == 0x5555 && d == 0xA0) {
      eraseCommand_ = false;
      step_ = 3;
    } else if (a == 0x5555 && d == 0x80) {
      eraseCommand_ = true;
      step_ = 3;
    } else {
      step_ = 0;
    }
    return;
  }
  if (!eraseCommand_) {
    step_ = 0;
    if (locked) {
      ++lost;
      return;
    }
    cells[a] &= d;
    ++writes;
    return;
  }
  const Expect& e = kEraseTail[step_ - 3];
  if (a != e.a || d != e.d) {
    step_ = 0;
    return;
  }
  if (++step_ == 6) {
    step_ = 0;
    if (locked) {
      ++lost;
      return;
    }
    erasing_ = true;
    eraseStart_ = p.clockUs();
  }
}

void Msu29Chip::OnPins(Programmer& p) {
  if (socket_.empty() || p.ChipPinAt(socket_[1]) != 1) {
    socket_.assign(41, 0);
    for (int k = 1; k <= 40; ++k) socket_[k] = p.SocketPinOf(k);
  }
  if (!Powered(p)) {
    if (erasing_) ++lost;
    erasing_ = driving_ = false;
    step_ = 0;
    weWasHigh_ = true;
    return;
  }
  if (erasing_ && p.clockUs() - eraseStart_ >= kEraseUs) {
    std::fill(cells.begin(), cells.end(), 0xFF);
    erasing_ = false;
    ++erases;
  }
  std::string mode;
  for (int pin = 10; pin <= 16; ++pin) mode += HighAt(p, pin) ? '1' : '0';
  const bool rst = HighAt(p, kRst), psen = HighAt(p, kPsen), ale = HighAt(p, kAle);
  const bool weHigh = HighAt(p, kWe);
  if (rst && !weHigh && weWasHigh_) {
    weFell_ = p.clockUs();
    modeAtFall_ = mode;
  }
  if (rst && weHigh && !weWasHigh_ && psen && !ale && mode == modeAtFall_) {
    const double width = p.clockUs() - weFell_;
    if (mode == kCommandMode) {
      Cycle(AddressNow(p), DataNow(p), p);
    } else if (mode == kLockMode && width >= 200) {
      locked = true;
    } else if (mode == kUnlockMode && width >= 500) {
      locked = false;
    } else {
      ++lost;
    }
  }
  weWasHigh_ = weHigh;
  driving_ = rst && !psen && !ale && weHigh && mode == kCommandMode && !erasing_;
  if (driving_) out_ = locked ? 0xFF : cells[AddressNow(p)];
}

int Msu29Chip::Drive(int pin) const {
  if (!driving_ || pin < 1 || pin > 8) return -1;
  return (out_ >> (pin - 1)) & 1;
}

std::shared_ptr<Msu29Chip> MakeMsu29(std::string_view part) {
  return part == "MSU2964" ? std::make_shared<Msu29Chip>() : nullptr;
}

std::string_view Msu29PartOf(std::string_view chipName) {
  return chipName.find("MSU2964") != std::string_view::npos ? "MSU2964" : "";
}

}  // namespace zelvar::sim
