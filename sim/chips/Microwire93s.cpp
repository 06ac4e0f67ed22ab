#include "sim/chips/Microwire93s.h"

#include <algorithm>
#include <array>

namespace zelvar::sim {

namespace {
constexpr int kCs = 1, kSk = 2, kDi = 3, kGnd = 5, kPe = 6, kPre = 7, kVcc = 8;
constexpr int kMinMillivolts = 4500, kMaxMillivolts = 5500;

// The catalogue names them M93S46 or NM93CS46; both contain the key.
constexpr std::array<std::pair<std::string_view, Microwire93sPart>, 6> kParts = {{
    {"93S46", {.name = "93S46", .words = 64, .addressBits = 6}},
    {"93S56", {.name = "93S56", .words = 128, .addressBits = 8}},
    {"93S66", {.name = "93S66", .words = 256, .addressBits = 8}},
    {"93CS46", {.name = "93S46", .words = 64, .addressBits = 6}},
    {"93CS56", {.name = "93S56", .words = 128, .addressBits = 8}},
    {"93CS66", {.name = "93S66", .words = 256, .addressBits = 8}},
}};
}  // namespace

Microwire93s::Microwire93s(const Microwire93sPart& part)
    : cells(part.words * 2, 0xFF), protectRegister((1u << part.addressBits) - 1), part_(part) {}

bool Microwire93s::Powered(const Programmer& p) const {
  const int mv = p.SupplyMillivolts(p.SocketPinOf(kVcc));
  return p.IsGround(p.SocketPinOf(kGnd)) && mv >= kMinMillivolts && mv <= kMaxMillivolts;
}

bool Microwire93s::Level(Programmer& p, int pin, bool undriven) const {
  const int mv = p.InputMillivolts(p.SocketPinOf(pin));
  return mv < 0 ? undriven : mv >= 2000;
}

std::uint32_t Microwire93s::Word(std::uint32_t w) const {
  w %= part_.words;
  return cells[2 * w] | cells[2 * w + 1] << 8;
}

void Microwire93s::SetWord(std::uint32_t w, std::uint32_t v) {
  w %= part_.words;
  cells[2 * w] = static_cast<std::uint8_t>(v);
  cells[2 * w + 1] = static_cast<std::uint8_t>(v >> 8);
}

void Microwire93s::Begin(Programmer& p) {
  state_ = p.clockUs() < busyUntilUs_ ? State::kDone : State::kStart;
  count_ = 0;
  extraClocks_ = 0;
  complete_ = preMixed_ = registerRead_ = false;
  opcode_ = address_ = data_ = 0;
}

void Microwire93s::OnPins(Programmer& p) {
  if (!Powered(p)) {
    enabled_ = prenArmed_ = false;
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
    Execute(p);
    state_ = State::kDone;
  } else if (cs && sk && !sk_) {
    const std::uint32_t bit = Level(p, kDi, false) ? 1 : 0;
    const bool pre = Level(p, kPre, false);
    const bool pe = Level(p, kPe, false);
    if (state_ != State::kStart && state_ != State::kDone) {
      if (pre != pre_) preMixed_ = true;
      peHeld_ = peHeld_ && pe;
    }
    switch (state_) {
      case State::kStart:
        if (bit) {
          state_ = State::kOpcode;
          pre_ = pre;
          peHeld_ = pe;
        }
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
        if (++count_ == part_.addressBits) {
          count_ = 0;
          const std::uint32_t sub = address_ >> (part_.addressBits - 2);
          if (opcode_ == 2 && !preMixed_) {
            state_ = State::kReading;
            registerRead_ = pre_;
            if (pre_) {
              // The register's bits, the flag, then ones.
              const int ab = part_.addressBits;
              word_ = protectRegister << (16 - ab) | (protectOn ? 0u : 1u) << (15 - ab) |
                      ((1u << (15 - ab)) - 1);
            } else {
              word_ = Word(address_);
            }
            bitPos_ = 16;
            do_ = 0;  // the dummy bit
          } else if (!pre_ && (opcode_ == 1 || (opcode_ == 0 && sub == 1))) {
            state_ = State::kData;
          } else {
            state_ = State::kDone;
            complete_ = true;
          }
        }
        break;
      case State::kData:
        data_ = data_ << 1 | bit;
        if (++count_ == 16) {
          state_ = State::kDone;
          complete_ = true;
        }
        break;
      case State::kReading:
        if (bitPos_ == 0) {
          word_ = registerRead_ ? 0xFFFF : Word(++address_);
          bitPos_ = 16;
        }
        --bitPos_;
        do_ = static_cast<int>((word_ >> bitPos_) & 1);
        break;
      case State::kDone:
        if (complete_) ++extraClocks_;
        break;
    }
  }
  cs_ = cs;
  sk_ = sk;
}

// At CS low: the instruction taken in, if complete, acts.
void Microwire93s::Execute(Programmer& p) {
  if (!complete_ || preMixed_ || p.clockUs() < busyUntilUs_) return;
  const bool armed = prenArmed_;
  prenArmed_ = false;
  const std::uint32_t sub = address_ >> (part_.addressBits - 2);
  const std::uint32_t allOnes = (1u << part_.addressBits) - 1;
  // Programming needs the enable, PE held and CS falling straight after the last bit.
  const bool mayProgram = enabled_ && peHeld_ && extraClocks_ == 0;
  const auto busy = [&] { busyUntilUs_ = p.clockUs() + part_.writeUs; };
  if (!pre_) {
    if (opcode_ == 0 && sub == 3) {
      enabled_ = true;
    } else if (opcode_ == 0 && sub == 0) {
      enabled_ = false;
    } else if (opcode_ == 1 && mayProgram) {
      if (protectOn && address_ % part_.words >= protectRegister) {
        ++wordsRefused;
        return;
      }
      SetWord(address_, data_);
      ++wordsWritten;
      busy();
    } else if (opcode_ == 0 && sub == 1 && mayProgram && !protectOn) {
      for (std::uint32_t w = 0; w < part_.words; ++w) SetWord(w, data_);
      busy();
    }
    return;
  }
  if (opcode_ == 0 && sub == 3) {
    prenArmed_ = enabled_ && peHeld_;
    return;
  }
  if (!armed || !mayProgram || frozen) return;
  if (opcode_ == 3 && address_ == allOnes) {
    protectRegister = allOnes;
    protectOn = false;
    busy();
  } else if (opcode_ == 1) {
    protectRegister = address_;
    protectOn = true;
    busy();
  } else if (opcode_ == 0 && sub == 0) {
    frozen = true;
    busy();
  }
}

std::string_view Microwire93sPartOf(std::string_view chipName) {
  std::string_view best;
  for (const auto& [key, part] : kParts) {
    if (chipName.find(key) != std::string_view::npos && key.size() > best.size()) best = key;
  }
  return best;
}

std::shared_ptr<Microwire93s> MakeMicrowire93s(std::string_view part) {
  for (const auto& [key, p] : kParts) {
    if (key == part || p.name == part) return std::make_shared<Microwire93s>(p);
  }
  return nullptr;
}

}  // namespace zelvar::sim
