#include "sim/chips/Intel28F.h"

#include <algorithm>
#include <array>

namespace zelvar::sim {

namespace {

constexpr int kVppPin = 1, kA9 = 26;
constexpr int kVpphMin = 11400, kVpphMax = 12600;
constexpr double kErasePulseUs = 9500;

ByteWidePinout Pinout(int addressBits) {
  // The flash pinout with VPP on pin 1 in place of A18.
  ByteWidePinout p = JedecFlash32(addressBits);
  // VPP is rated 14 V, A9 13.5 V; every other pin 7 V.
  p.highPins = {kVppPin, kA9};
  p.maxHigh = 13500;
  return p;
}

struct Part {
  std::string_view name;
  int addressBits;
  std::uint8_t device;
};
constexpr std::array<Part, 4> kParts = {{
    {"28F256", 15, 0xB9},
    {"28F512", 16, 0xB8},
    {"28F010", 17, 0xB4},
    {"28F020", 18, 0xBD},
}};

}  // namespace

Intel28F::Intel28F(std::string_view name, int addressBits, std::uint8_t device)
    : ByteWideChip(std::string(name), Pinout(addressBits), 1u << addressBits, 0xFF),
      device_(device) {}

bool Intel28F::VppHigh(const Programmer& p) const {
  const int mv = Mv(p, kVppPin);
  return mv >= kVpphMin && mv <= kVpphMax;
}

void Intel28F::EndErasePulse(const Programmer& p) {
  if (state_ != State::Erasing) return;
  state_ = State::Read;
  if (p.clockUs() - eraseStart_ < kErasePulseUs) return;
  ++erasePulses;
  if (pulsesToErase > 0 && erasePulses >= pulsesToErase) {
    std::fill(cells.begin(), cells.end(), 0xFF);
    ++chipErases;
    erasePulses = 0;
  }
}

void Intel28F::Update(Programmer& p, bool powered) {
  // VPP leaving VPPH (or VCC going) resets the command register; a running pulse ends there.
  if (!powered || !VppHigh(p)) {
    EndErasePulse(p);
    state_ = State::Read;
  }
}

void Intel28F::Write(Programmer& p, std::uint32_t address, std::uint8_t data) {
  if (!VppHigh(p)) return;
  if (state_ == State::Erasing) EndErasePulse(p);
  switch (state_) {
    case State::EraseSetup:
      if (data == 0x20) {
        state_ = State::Erasing;
        eraseStart_ = p.clockUs();
      } else {
        state_ = State::Read;
      }
      return;
    case State::ProgramSetup:
      cells[address & (cells.size() - 1)] &= data;
      state_ = State::Read;
      return;
    default:
      break;
  }
  if (data == 0x20) {
    state_ = State::EraseSetup;
  } else if (data == 0x40 || data == 0x10) {
    state_ = State::ProgramSetup;
  } else if (data == 0x90) {
    state_ = State::Identify;
  } else {
    state_ = State::Read;  // read, erase verify, program verify, reset
  }
}

std::uint8_t Intel28F::Read(Programmer& p, std::uint32_t address) {
  const int a9 = Mv(p, kA9);
  if (state_ == State::Identify || (a9 >= 11500 && a9 <= 13000)) {
    return address & 1 ? device_ : 0x89;
  }
  return cells[address & (cells.size() - 1)];
}

std::shared_ptr<Intel28F> MakeIntel28F(std::string_view part) {
  for (const Part& p : kParts) {
    if (p.name == part) return std::make_shared<Intel28F>(p.name, p.addressBits, p.device);
  }
  return nullptr;
}

}  // namespace zelvar::sim
