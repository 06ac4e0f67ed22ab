#include "sim/chips/Intel28F.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace zelvar::sim {

namespace {

constexpr int kVppPin = 1, kA9 = 26;
constexpr int kVpphMin = 11400, kVpphMax = 12600;
constexpr double kProgramPulseUs = 10, kErasePulseUs = 9500, kEraseStepUs = 10000;
constexpr double kVerifySettleUs = 6;

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
      device_(device),
      programTaken_(cells.size(), 0),
      eraseTaken_(cells.size(), 0),
      overErase_(cells.size(), 0),
      damaged_(cells.size(), false) {}

bool Intel28F::VppHigh(const Programmer& p) const {
  const int mv = Mv(p, kVppPin);
  return mv >= kVpphMin && mv <= kVpphMax;
}

void Intel28F::ErasePulse(Programmer& p) {
  ++erasePulses;
  bool allErased = true;
  for (std::uint32_t a = 0; a < cells.size(); ++a) {
    if (cells[a] != 0x00 && ++overErase_[a] > kOverEraseMargin && !damaged_[a]) {
      damaged_[a] = true;
      if (overErased++ == 0) {
        char text[96];
        std::snprintf(text, sizeof text, "%s: byte %05X over-erased (erased bits given %d pulses)",
                      Name().c_str(), a, overErase_[a]);
        p.record.Hazard(text);
      }
    }
    if (cells[a] != 0xFF) {
      const int need = pulsesToErase + (Slow(a) ? 2 : 0);
      if (pulsesToErase > 0 && ++eraseTaken_[a] >= need) {
        cells[a] = 0xFF;
        eraseTaken_[a] = 0;
      } else {
        allErased = false;
      }
    }
  }
  if (allErased) ++chipErases;
}

void Intel28F::EndOperation(Programmer& p) {
  const double lasted = p.clockUs() - startedAt_;
  if (state_ == State::Erasing) {
    state_ = State::Read;
    if (lasted < kErasePulseUs) {
      ++shortPulses;
      return;
    }
    const int pulses =
        std::max(1, static_cast<int>((lasted + kEraseStepUs - kErasePulseUs) / kEraseStepUs));
    for (int i = 0; i < pulses; ++i) ErasePulse(p);
  } else if (state_ == State::Programming) {
    state_ = State::Read;
    if (lasted < kProgramPulseUs) {
      ++shortPulses;
      return;
    }
    ++programPulses;
    const std::uint32_t a = programAddress_;
    if (damaged_[a] || ++programTaken_[a] < (Slow(a) ? slowPulses : 1)) return;
    programTaken_[a] = 0;
    const std::uint8_t before = cells[a];
    cells[a] &= programData_;
    // Bits programmed now start their erase afresh; a byte all programmed holds no erased bit.
    if (cells[a] != before) eraseTaken_[a] = 0;
    if (cells[a] == 0x00) overErase_[a] = 0;
  }
}

void Intel28F::Update(Programmer& p, bool powered) {
  // VPP leaving VPPH (or VCC going) resets the command register; a running operation ends there.
  if (!powered || !VppHigh(p)) {
    EndOperation(p);
    state_ = State::Read;
  }
}

void Intel28F::Write(Programmer& p, std::uint32_t address, std::uint8_t data) {
  if (!VppHigh(p)) return;
  const std::uint32_t a = address & (cells.size() - 1);
  EndOperation(p);
  switch (state_) {
    case State::EraseSetup:
      state_ = data == 0x20 ? State::Erasing : State::Read;
      startedAt_ = p.clockUs();
      return;
    case State::ProgramSetup:
      state_ = State::Programming;
      programAddress_ = a;
      programData_ = data;
      startedAt_ = p.clockUs();
      return;
    default:
      break;
  }
  verifyAt_ = p.clockUs();
  switch (data) {
    case 0x20:
      state_ = State::EraseSetup;
      break;
    case 0x40:
    case 0x10:
      state_ = State::ProgramSetup;
      break;
    case 0x90:
      state_ = State::Identify;
      break;
    case 0xA0:
      state_ = State::EraseVerify;
      break;
    case 0xC0:
      state_ = State::ProgramVerify;
      break;
    default:
      state_ = State::Read;  // read, reset
  }
}

std::uint8_t Intel28F::Read(Programmer& p, std::uint32_t address) {
  const int a9 = Mv(p, kA9);
  if (state_ == State::Identify || (a9 >= 11500 && a9 <= 13000)) {
    return address & 1 ? device_ : 0x89;
  }
  const std::uint8_t cell = cells[address & (cells.size() - 1)];
  const bool verifying = state_ == State::EraseVerify || state_ == State::ProgramVerify;
  if (verifying && p.clockUs() - verifyAt_ < kVerifySettleUs)
    return static_cast<std::uint8_t>(~cell);
  return cell;
}

std::shared_ptr<Intel28F> MakeIntel28F(std::string_view part) {
  for (const Part& p : kParts) {
    if (p.name == part) return std::make_shared<Intel28F>(p.name, p.addressBits, p.device);
  }
  return nullptr;
}

}  // namespace zelvar::sim
