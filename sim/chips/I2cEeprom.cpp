#include "sim/chips/I2cEeprom.h"

#include <array>

namespace zelvar::sim {

namespace {
constexpr int kMaxMillivolts = 5500;
constexpr int kA0 = 1, kGnd = 4, kSda = 5, kScl = 6, kWp = 7, kVcc = 8;

// Sizes, pages, supply ranges and write cycles from the parts' datasheets.
constexpr std::array<I2cPart, 12> kParts = {{
    {.name = "24C01A", .size = 128, .pageBytes = 8},
    {.name = "24C02", .size = 256, .pageBytes = 8},
    {.name = "24C04", .size = 512, .pageBytes = 16, .pageBits = 1},
    {.name = "24C08", .size = 1024, .pageBytes = 16, .pageBits = 2},
    {.name = "24C16", .size = 2048, .pageBytes = 16, .pageBits = 3},
    {.name = "24C32", .size = 4096, .pageBytes = 32, .addressBytes = 2, .writeUs = 10000},
    {.name = "24C64", .size = 8192, .pageBytes = 32, .addressBytes = 2, .writeUs = 10000},
    {.name = "24C128", .size = 16384, .pageBytes = 64, .addressBytes = 2, .writeUs = 10000},
    {.name = "24C256", .size = 32768, .pageBytes = 64, .addressBytes = 2, .writeUs = 10000},
    {.name = "24C512",
     .size = 65536,
     .pageBytes = 128,
     .addressBytes = 2,
     .minMillivolts = 2700,
     .writeUs = 10000},
    {.name = "24C1024",
     .size = 131072,
     .pageBytes = 256,
     .addressBytes = 2,
     .pageBits = 1,
     .minMillivolts = 2700,
     .writeUs = 10000},
    {.name = "X24C01",
     .size = 128,
     .pageBytes = 4,
     .addressBytes = 0,
     .minMillivolts = 4500,
     .writeUs = 10000,
     .writeProtect = false},
}};
}  // namespace

I2cEeprom::I2cEeprom(const I2cPart& part) : cells(part.size, 0xFF), part_(part) {}

bool I2cEeprom::Powered(const Programmer& p) const {
  const int mv = p.SupplyMillivolts(p.SocketPinOf(kVcc));
  return p.IsGround(p.SocketPinOf(kGnd)) && mv >= part_.minMillivolts && mv <= kMaxMillivolts;
}

bool I2cEeprom::Level(Programmer& p, int pin, bool undriven) const {
  const int mv = p.InputMillivolts(p.SocketPinOf(pin));
  return mv < 0 ? undriven : mv >= 2000;
}

void I2cEeprom::OnPins(Programmer& p) {
  if (!Powered(p)) {
    state_ = State::kIdle;
    sdaLow_ = false;
    page_.clear();
    scl_ = sda_ = true;
    return;
  }
  const bool scl = Level(p, kScl, true);
  // The bus is low while either side pulls it low.
  const bool sda = !sdaLow_ && Level(p, kSda, true);
  if (scl && scl_ && sda != sda_) {
    sdaLow_ = false;
    if (!sda) {
      // Start: a write not yet stopped is dropped; a chip in its write cycle does not answer.
      page_.clear();
      state_ = p.clockUs() < busyUntilUs_ ? State::kIdle : State::kDevice;
    } else {
      if (state_ == State::kWrite) Commit(p);
      state_ = State::kIdle;
    }
    clock_ = 0;
    shift_ = 0;
  } else if (scl && !scl_ && state_ != State::kIdle) {
    ++clock_;
    if (state_ == State::kRead) {
      if (clock_ == 9) masterAck_ = !sda;
    } else if (clock_ <= 8) {
      shift_ = static_cast<std::uint8_t>(shift_ << 1 | (sda ? 1 : 0));
    }
  } else if (!scl && scl_ && state_ != State::kIdle) {
    if (state_ == State::kRead) {
      if (clock_ < 8) {
        sdaLow_ = ((out_ >> (7 - clock_)) & 1) == 0;
      } else if (clock_ == 8) {
        sdaLow_ = false;
      } else {
        clock_ = 0;
        if (masterAck_) {
          out_ = cells[counter_];
          counter_ = (counter_ + 1) % part_.size;
          sdaLow_ = (out_ & 0x80) == 0;
        } else {
          state_ = State::kIdle;
        }
      }
    } else if (clock_ == 8) {
      ack_ = true;
      Receive(shift_, p);
      sdaLow_ = ack_;
    } else if (clock_ == 9) {
      sdaLow_ = false;
      clock_ = 0;
      shift_ = 0;
      if (state_ == State::kAckRead) {
        state_ = State::kRead;
        out_ = cells[counter_];
        counter_ = (counter_ + 1) % part_.size;
        sdaLow_ = (out_ & 0x80) == 0;
      }
    }
  }
  scl_ = scl;
  sda_ = !sdaLow_ && Level(p, kSda, true);
}

void I2cEeprom::Receive(std::uint8_t b, Programmer& p) {
  const std::uint32_t mask = part_.size - 1;
  switch (state_) {
    case State::kDevice: {
      const bool read = (b & 1) != 0;
      if (part_.addressBytes == 0) {
        counter_ = (b >> 1) & mask;
        state_ = read ? State::kAckRead : State::kWrite;
        return;
      }
      if ((b & 0xF0) != 0xA0) {
        ack_ = false;
        state_ = State::kIdle;
        return;
      }
      for (int s = part_.pageBits; s < 3; ++s) {
        const bool pin = Level(p, kA0 + s, false);
        if ((((b >> (s + 1)) & 1) != 0) != pin) {
          ack_ = false;
          state_ = State::kIdle;
          return;
        }
      }
      if (read) {
        state_ = State::kAckRead;
        return;
      }
      const std::uint32_t pageBits = (b >> 1) & ((1u << part_.pageBits) - 1);
      high_ = pageBits << (part_.addressBytes * 8);
      state_ = part_.addressBytes == 2 ? State::kHigh : State::kLow;
      return;
    }
    case State::kHigh:
      high_ |= static_cast<std::uint32_t>(b) << 8;
      state_ = State::kLow;
      return;
    case State::kLow:
      counter_ = (high_ | b) & mask;
      state_ = State::kWrite;
      return;
    case State::kWrite: {
      page_.emplace_back(counter_, b);
      const std::uint32_t base = counter_ & ~(part_.pageBytes - 1);
      counter_ = base | ((counter_ + 1) & (part_.pageBytes - 1));
      return;
    }
    default:
      return;
  }
}

void I2cEeprom::Commit(Programmer& p) {
  if (page_.empty()) return;
  const bool protect = part_.writeProtect && Level(p, kWp, false);
  if (!protect) {
    for (const auto& [a, d] : page_) cells[a] = d;
    ++pagesWritten;
    busyUntilUs_ = p.clockUs() + part_.writeUs;
  }
  page_.clear();
}

std::string_view I2cPartOf(std::string_view chipName) {
  std::string_view best;
  for (const I2cPart& part : kParts) {
    if (chipName.find(part.name) != std::string_view::npos && part.name.size() > best.size())
      best = part.name;
  }
  return best;
}

std::shared_ptr<I2cEeprom> MakeI2cEeprom(std::string_view part) {
  for (const I2cPart& p : kParts) {
    if (p.name == part) return std::make_shared<I2cEeprom>(p);
  }
  return nullptr;
}

}  // namespace zelvar::sim
