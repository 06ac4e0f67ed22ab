#include "sim/chips/Tp28.h"

#include <algorithm>
#include <utility>

namespace zelvar::sim {

namespace {

constexpr int kVcc = 40, kGnd = 20, kRst = 9, kStrobe = 17, kPsen = 29, kEa = 31, kAle = 30,
              kCommit = 16, kA16 = 15, kEraseLine = 14;
constexpr int kData0 = 39;
constexpr double kEraseUs = 150000;

}  // namespace

Tp28Chip::Tp28Chip(std::string name, std::uint32_t bytes) : name_(std::move(name)) {
  cells.assign(bytes, 0xFF);
}

bool Tp28Chip::HighAt(Programmer& p, int chipPin) const {
  return p.InputMillivolts(socket_[chipPin]) >= 2000;
}

std::uint32_t Tp28Chip::AddressNow(Programmer& p) const {
  std::uint32_t a = 0;
  for (int i = 0; i < 8; ++i) {
    if (HighAt(p, 1 + i)) a |= 1u << i;
    if (HighAt(p, 21 + i)) a |= 1u << (8 + i);
  }
  if (cells.size() > 0x10000 && HighAt(p, kA16)) a |= 1u << 16;
  return a;
}

bool Tp28Chip::Powered(const Programmer& p) const {
  const int vcc = p.SocketPinOf(kVcc), gnd = p.SocketPinOf(kGnd);
  return vcc != 0 && p.SupplyMillivolts(vcc) >= 4500 && p.IsGround(gnd);
}

void Tp28Chip::OnPins(Programmer& p) {
  if (socket_.empty() || p.ChipPinAt(socket_[1]) != 1) {
    socket_.assign(41, 0);
    for (int k = 1; k <= 40; ++k) socket_[k] = p.SocketPinOf(k);
  }
  if (!Powered(p)) {
    entered_ = driving_ = eraseArmed_ = false;
    page_.clear();
    rstWasHigh_ = true;
    return;
  }
  const bool rst = HighAt(p, kRst);
  if (rst && !rstWasHigh_) entered_ = true;
  rstWasHigh_ = rst;
  const bool strobe = HighAt(p, kStrobe), psen = HighAt(p, kPsen), ea = HighAt(p, kEa),
             ale = HighAt(p, kAle), commit = HighAt(p, kCommit), eraseLine = HighAt(p, kEraseLine);
  if (entered_ && rst) {
    if (strobe && !strobeWasHigh_ && !ea && ale && psen && !commit && !eraseLine) {
      std::uint8_t d = 0;
      for (int i = 0; i < 8; ++i) {
        if (HighAt(p, kData0 - i)) d |= static_cast<std::uint8_t>(1 << i);
      }
      page_[AddressNow(p) % cells.size()] = d;
    }
    if (commit && !commitWasHigh_ && !ea && ale && !psen && eraseLine) {
      for (const auto& [a, d] : page_) cells[a] &= d;
      writes += static_cast<int>(page_.size());
      page_.clear();
    }
    const bool eraseState = !ea && !ale && !commit && psen;
    if (!eraseLine && eraseLineWasHigh_) {
      eraseArmed_ = !ea && !ale;
      eraseFell_ = p.clockUs();
    }
    if (eraseLine && !eraseLineWasHigh_ && eraseArmed_) {
      eraseArmed_ = false;
      if (eraseState && p.clockUs() - eraseFell_ >= kEraseUs) {
        std::fill(cells.begin(), cells.end(), 0xFF);
        ++erases;
      } else {
        ++lost;
      }
    }
  }
  strobeWasHigh_ = strobe;
  commitWasHigh_ = commit;
  eraseLineWasHigh_ = eraseLine;
  driving_ = entered_ && rst && strobe && psen && ea && !ale && commit && eraseLine;
  if (driving_) out_ = cells[AddressNow(p) % cells.size()];
}

int Tp28Chip::Drive(int pin) const {
  if (!driving_ || pin < 32 || pin > 39) return -1;
  return (out_ >> (kData0 - pin)) & 1;
}

std::shared_ptr<Tp28Chip> MakeTp28(std::string_view part) {
  if (part == "PT2804") return std::make_shared<Tp28Chip>("PT2804", 0x10000);
  if (part == "PT2808") return std::make_shared<Tp28Chip>("PT2808", 0x20000);
  return nullptr;
}

std::string_view Tp28PartOf(std::string_view chipName) {
  for (std::string_view part : {std::string_view("PT2804"), std::string_view("PT2808")}) {
    if (chipName.find(part) != std::string_view::npos) return part;
  }
  return {};
}

}  // namespace zelvar::sim
