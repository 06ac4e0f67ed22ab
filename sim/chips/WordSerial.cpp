#include "sim/chips/WordSerial.h"

#include <array>

namespace zelvar::sim {

namespace {
constexpr std::uint8_t kRead = 0xA8, kWrite = 0xA4, kWriteEnable = 0xA3, kWriteDisable = 0xA0;

// Sizes and supplies from the parts' datasheets.
constexpr std::array<WordSerialPart, 10> kParts = {{
    {.name = "AK6420A", .words = 128},
    {.name = "AK6440A", .words = 256},
    {.name = "AK6480A", .words = 512},
    {.name = "AK6420AF", .words = 128, .rotated = true},
    {.name = "AK6440AF", .words = 256, .rotated = true},
    {.name = "BR9010", .words = 64, .lsbFirst = true, .minMillivolts = 2700, .writeUs = 10000},
    {.name = "BR9020", .words = 128, .lsbFirst = true, .minMillivolts = 2700, .writeUs = 10000},
    {.name = "BR9040", .words = 256, .lsbFirst = true, .minMillivolts = 2700, .writeUs = 10000},
    {.name = "BR9080", .words = 512, .lsbFirst = true, .minMillivolts = 2700, .writeUs = 10000},
    {.name = "BR9016", .words = 1024, .lsbFirst = true, .minMillivolts = 2700, .writeUs = 10000},
}};

std::uint8_t Reversed(std::uint8_t b) {
  std::uint8_t r = 0;
  for (int i = 0; i < 8; ++i) r = static_cast<std::uint8_t>(r << 1 | ((b >> i) & 1));
  return r;
}
}  // namespace

WordSerial::WordSerial(const WordSerialPart& part) : cells(part.words * 2, 0xFF), part_(part) {}

int WordSerial::Pin(Role r) const {
  static constexpr int kStd[] = {1, 2, 3, 4, 5, 8};
  static constexpr int kRotated[] = {3, 4, 5, 6, 7, 2};
  return (part_.rotated ? kRotated : kStd)[r];
}

bool WordSerial::Powered(const Programmer& p) const {
  const int mv = p.SupplyMillivolts(p.SocketPinOf(Pin(kVcc)));
  return p.IsGround(p.SocketPinOf(Pin(kGnd))) && mv >= part_.minMillivolts &&
         mv <= part_.maxMillivolts;
}

bool WordSerial::Level(Programmer& p, Role r) const {
  const int mv = p.InputMillivolts(p.SocketPinOf(Pin(r)));
  return mv < 0 || mv >= 1500;
}

void WordSerial::OnPins(Programmer& p) {
  if (!Powered(p)) {
    selected_ = reading_ = writeEnable_ = false;
    do_ = -1;
    return;
  }
  const bool cs = Level(p, kCs);
  const bool sk = Level(p, kSk);
  if (!cs && !selected_) {
    selected_ = true;
    // Busy, or SK low at the falling CS#: the instruction is not taken.
    ignored_ = !sk || p.clockUs() < busyUntilUs_;
    bits_ = 0;
    shift_ = 0;
    reading_ = false;
  } else if (cs && selected_) {
    selected_ = reading_ = false;
    do_ = -1;
  } else if (selected_ && !ignored_) {
    if (sk && !sk_ && !reading_) {
      shift_ = shift_ << 1 | (Level(p, kDi) ? 1u : 0u);
      ++bits_;
      Decode(p);
    } else if (!sk && sk_ && reading_) {
      do_ = NextOutBit();
    }
  }
  sk_ = sk;
}

// Acts on the instruction at its 16th and 32nd bits.
void WordSerial::Decode(Programmer& p) {
  const auto byteIn = [this](int fromEnd) {
    const auto b = static_cast<std::uint8_t>(shift_ >> (8 * fromEnd));
    return part_.lsbFirst ? Reversed(b) : b;
  };
  if (bits_ == 16) {
    opcode_ = static_cast<std::uint8_t>(shift_ >> 8);
    const std::uint8_t a = byteIn(0);
    std::uint32_t word;
    if (!part_.lsbFirst) {
      word = (static_cast<std::uint32_t>(opcode_ & 3) << 8 | a) >> 1;
    } else if (part_.words <= 256) {
      word = a;
    } else if (part_.words == 512) {
      word = static_cast<std::uint32_t>(a) << 1 | (opcode_ & 1);
    } else {
      word = static_cast<std::uint32_t>(a) << 2 | (opcode_ & 1) << 1 | ((opcode_ >> 1) & 1);
    }
    word_ = word % part_.words;
    if ((opcode_ & 0xFC) == kRead) {
      reading_ = true;
      outBit_ = 0;
    } else if (opcode_ == kWriteEnable) {
      writeEnable_ = true;
    } else if (opcode_ == kWriteDisable) {
      writeEnable_ = false;
    }
  } else if (bits_ == 32 && (opcode_ & 0xFC) == kWrite && writeEnable_) {
    // Data: AK high byte first, BR90 low byte first.
    const std::uint8_t first = byteIn(1), second = byteIn(0);
    cells[word_ * 2] = part_.lsbFirst ? first : second;
    cells[word_ * 2 + 1] = part_.lsbFirst ? second : first;
    ++wordsWritten;
    busyUntilUs_ = p.clockUs() + part_.writeUs;
  }
}

int WordSerial::NextOutBit() {
  const std::uint16_t w = static_cast<std::uint16_t>(cells[word_ * 2] | cells[word_ * 2 + 1] << 8);
  const int bit = part_.lsbFirst ? (w >> outBit_) & 1 : (w >> (15 - outBit_)) & 1;
  if (++outBit_ == 16) {
    outBit_ = 0;
    word_ = (word_ + 1) % part_.words;
  }
  return bit;
}

std::string_view WordSerialPartOf(std::string_view chipName) {
  std::string_view best;
  for (const WordSerialPart& part : kParts) {
    if (chipName.find(part.name) != std::string_view::npos && part.name.size() > best.size())
      best = part.name;
  }
  return best;
}

std::shared_ptr<WordSerial> MakeWordSerial(std::string_view part) {
  for (const WordSerialPart& p : kParts) {
    if (p.name == part) return std::make_shared<WordSerial>(p);
  }
  return nullptr;
}

}  // namespace zelvar::sim
