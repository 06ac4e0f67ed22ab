#include "sim/chips/Microwire93.h"

#include <algorithm>
#include <array>

namespace zelvar::sim {

namespace {
constexpr int kCs = 1, kSk = 2, kDi = 3, kGnd = 5, kOrg = 6, kVcc = 8;
constexpr int kMinMillivolts = 1800, kMaxMillivolts = 5500;

constexpr std::array<MicrowirePart, 6> kParts = {{
    {.name = "93C46", .size = 128, .addressBits8 = 7, .addressBits16 = 6},
    {.name = "93C56", .size = 256, .addressBits8 = 9, .addressBits16 = 8},
    {.name = "93C57", .size = 256, .addressBits8 = 8, .addressBits16 = 7},
    {.name = "93C66", .size = 512, .addressBits8 = 9, .addressBits16 = 8},
    {.name = "93C76", .size = 1024, .addressBits8 = 11, .addressBits16 = 10},
    {.name = "93C86", .size = 2048, .addressBits8 = 11, .addressBits16 = 10},
}};
}  // namespace

Microwire93::Microwire93(const MicrowirePart& part) : cells(part.size, 0xFF), part_(part) {}

bool Microwire93::Powered(const Programmer& p) const {
  const int mv = p.SupplyMillivolts(p.SocketPinOf(kVcc));
  return p.IsGround(p.SocketPinOf(kGnd)) && mv >= kMinMillivolts && mv <= kMaxMillivolts;
}

bool Microwire93::Level(Programmer& p, int pin, bool undriven) const {
  const int mv = p.InputMillivolts(p.SocketPinOf(pin));
  return mv < 0 ? undriven : mv >= 2000;
}

std::uint32_t Microwire93::ReadUnit(std::uint32_t a) const {
  if (!x16_) return cells[a % part_.size];
  const std::uint32_t w = a % (part_.size / 2);
  return cells[2 * w] | cells[2 * w + 1] << 8;
}

void Microwire93::WriteUnit(std::uint32_t a, std::uint32_t v) {
  if (!x16_) {
    cells[a % part_.size] = static_cast<std::uint8_t>(v);
    return;
  }
  const std::uint32_t w = a % (part_.size / 2);
  cells[2 * w] = static_cast<std::uint8_t>(v);
  cells[2 * w + 1] = static_cast<std::uint8_t>(v >> 8);
}

void Microwire93::Begin(Programmer& p) {
  state_ = p.clockUs() < busyUntilUs_ ? State::kDone : State::kStart;
  count_ = 0;
  complete_ = false;
  opcode_ = address_ = data_ = 0;
  x16_ = Level(p, kOrg, true);
}

void Microwire93::OnPins(Programmer& p) {
  if (!Powered(p)) {
    enabled_ = false;
    do_ = -1;
    state_ = State::kDone;
    cs_ = false;
    return;
  }
  const bool cs = Level(p, kCs, false);
  const bool sk = Level(p, kSk, false);
  if (cs && !cs_) {
    Begin(p);
  } else if (!cs && cs_) {
    do_ = -1;
    Program(p);
    state_ = State::kDone;
  } else if (cs && sk && !sk_) {
    const std::uint32_t bit = Level(p, kDi, false) ? 1 : 0;
    const int addressBits = x16_ ? part_.addressBits16 : part_.addressBits8;
    const int dataBits = x16_ ? 16 : 8;
    switch (state_) {
      case State::kStart:
        if (bit) state_ = State::kOpcode;
        break;
      case State::kOpcode:
        opcode_ = opcode_ << 1 | bit;
        if (++count_ == 2) {
          count_ = 0;
          state_ = State::kAddress;
        }
        break;
      case State::kAddress:
        address_ = address_ << 1 | bit;
        if (++count_ == addressBits) {
          count_ = 0;
          const std::uint32_t sub = address_ >> (addressBits - 2);
          if (opcode_ == 2) {
            state_ = State::kReading;
            word_ = ReadUnit(address_);
            bitPos_ = dataBits;
            do_ = 0;  // the dummy bit
          } else if (opcode_ == 1 || (opcode_ == 0 && sub == 1)) {
            state_ = State::kData;
          } else {
            state_ = State::kDone;
            complete_ = true;
          }
        }
        break;
      case State::kData:
        data_ = data_ << 1 | bit;
        if (++count_ == dataBits) {
          state_ = State::kDone;
          complete_ = true;
        }
        break;
      case State::kReading:
        if (bitPos_ == 0) {
          word_ = ReadUnit(++address_);
          bitPos_ = dataBits;
        }
        --bitPos_;
        do_ = static_cast<int>((word_ >> bitPos_) & 1);
        break;
      case State::kDone:
        break;
    }
  }
  cs_ = cs;
  sk_ = sk;
}

// At CS low: the instruction taken in, if complete, acts.
void Microwire93::Program(Programmer& p) {
  if (!complete_ || p.clockUs() < busyUntilUs_) return;
  const int addressBits = x16_ ? part_.addressBits16 : part_.addressBits8;
  const int dataBits = x16_ ? 16 : 8;
  const std::uint32_t sub = address_ >> (addressBits - 2);
  if (opcode_ == 0 && sub == 3) {
    enabled_ = true;
  } else if (opcode_ == 0 && sub == 0) {
    enabled_ = false;
  } else if (!enabled_) {
    return;
  } else if (opcode_ == 1 && count_ == dataBits) {
    WriteUnit(address_, data_);
    ++wordsWritten;
    busyUntilUs_ = p.clockUs() + part_.writeUs;
  } else if (opcode_ == 3) {
    WriteUnit(address_, 0xFFFF);
    busyUntilUs_ = p.clockUs() + part_.writeUs;
  } else if (opcode_ == 0 && sub == 2) {
    std::fill(cells.begin(), cells.end(), 0xFF);
    ++eraseAlls;
    busyUntilUs_ = p.clockUs() + part_.eraseAllUs;
  } else if (opcode_ == 0 && sub == 1 && count_ == dataBits) {
    for (std::uint32_t a = 0; a < part_.size / (x16_ ? 2u : 1u); ++a) WriteUnit(a, data_);
    busyUntilUs_ = p.clockUs() + part_.eraseAllUs;
  }
}

std::string_view MicrowirePartOf(std::string_view chipName) {
  std::string_view best;
  for (const MicrowirePart& part : kParts) {
    if (chipName.find(part.name) != std::string_view::npos && part.name.size() > best.size())
      best = part.name;
  }
  return best;
}

std::shared_ptr<Microwire93> MakeMicrowire93(std::string_view part) {
  for (const MicrowirePart& p : kParts) {
    if (p.name == part) return std::make_shared<Microwire93>(p);
  }
  return nullptr;
}

}  // namespace zelvar::sim
