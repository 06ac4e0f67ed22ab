#include "sim/chips/SpiMemory.h"

#include <string>

namespace zelvar::sim {

namespace {
constexpr std::uint8_t kWriteEnable = 0x06, kWriteDisable = 0x04, kReadStatus = 0x05,
                       kWriteStatus = 0x01, kRead = 0x03, kWrite = 0x02;
constexpr std::uint8_t kBusy = 0x01, kEnabled = 0x02, kWpen = 0x80;
constexpr std::uint8_t kAddressBit8 = 0x08;

// The 3.3 V flash parts' ratings (see the header).
constexpr int kFlashVccRating = 3600, kFlashPinRating = 5000;

// Sizes, pages, supplies and cycle times from the parts' datasheets.
constexpr std::array<SpiPart, 13> kParts = {{
    {.name = "AT25010", .size = 128, .pageBytes = 8},
    {.name = "AT25020", .size = 256, .pageBytes = 8},
    {.name = "AT25040", .size = 512, .pageBytes = 8},
    {.name = "AT25080", .size = 1024, .pageBytes = 32},
    {.name = "AT25160", .size = 2048, .pageBytes = 32},
    {.name = "AT25320", .size = 4096, .pageBytes = 32},
    {.name = "AT25640", .size = 8192, .pageBytes = 32},
    {.name = "AT25128", .size = 16384, .pageBytes = 64},
    {.name = "AT25256", .size = 32768, .pageBytes = 64},
    // AT25F512A: 128-byte pages at 75 us a byte, two 32 KiB sectors of 1 s each erased together.
    {.name = "AT25F512",
     .size = 65536,
     .pageBytes = 128,
     .addressBytes = 3,
     .flash = true,
     .statusWritable = 0x84,
     .eraseOpcode = 0x62,
     .idOpcode = 0x15,
     .id = {0x1F, 0x65},
     .minMillivolts = 2700,
     .maxMillivolts = 3600,
     .vccRatingMillivolts = kFlashVccRating,
     .pinAbsMaxMillivolts = kFlashPinRating,
     .writeUs = 9600,
     .eraseUs = 2000000},
    {.name = "W25X10",
     .size = 131072,
     .pageBytes = 256,
     .addressBytes = 3,
     .flash = true,
     .statusWritable = 0x8C,
     .eraseOpcode = 0xC7,
     .idOpcode = 0x90,
     .idAfterAddress = true,
     .id = {0xEF, 0x10},
     .halfBlockProtect = true,
     .minMillivolts = 2700,
     .maxMillivolts = 3600,
     .vccRatingMillivolts = kFlashVccRating,
     .pinAbsMaxMillivolts = kFlashPinRating,
     .writeUs = 3000,
     .eraseUs = 2000000},
    // X5045 (RESET active high) and X5043 (active low): the same 512-byte EEPROM and status.
    {.name = "X5045",
     .size = 512,
     .pageBytes = 16,
     .statusWritable = 0x3C,
     .minMillivolts = 4500,
     .writeUs = 10000,
     .supervisor = true,
     .initialStatus = 0x30},
    {.name = "X5043",
     .size = 512,
     .pageBytes = 16,
     .statusWritable = 0x3C,
     .minMillivolts = 4500,
     .writeUs = 10000,
     .supervisor = true,
     .initialStatus = 0x30},
}};
}  // namespace

SpiMemory::SpiMemory(const SpiPart& part, const SpiPins& pins)
    : cells(part.size, 0xFF), status(part.initialStatus), part_(part), pins_(pins) {}

bool SpiMemory::Powered(const Programmer& p) const {
  const int mv = p.SupplyMillivolts(p.SocketPinOf(pins_.vcc));
  return p.IsGround(p.SocketPinOf(pins_.gnd)) && mv >= part_.minMillivolts &&
         mv <= part_.maxMillivolts;
}

bool SpiMemory::Level(Programmer& p, int pin) const {
  const int mv = p.InputMillivolts(p.SocketPinOf(pin));
  return mv < 0 || mv >= 2000;
}

std::uint8_t SpiMemory::StatusByte(const Programmer& p) const {
  return static_cast<std::uint8_t>(status | (writeEnable_ ? kEnabled : 0) | (Busy(p) ? kBusy : 0));
}

bool SpiMemory::Protected(std::uint32_t a) const {
  if (part_.flash && part_.halfBlockProtect) {
    if ((status & 0x08) != 0) return true;
    return (status & 0x04) != 0 && a >= part_.size / 2;
  }
  if (part_.flash) return (status & 0x04) != 0;
  switch ((status >> 2) & 3) {
    case 1:
      return a >= part_.size / 4 * 3;
    case 2:
      return a >= part_.size / 2;
    case 3:
      return true;
    default:
      return false;
  }
}

std::uint8_t SpiMemory::NextOut(const Programmer& p) {
  if (opcode_ == kReadStatus) return StatusByte(p);
  if (opcode_ == kRead) {
    const std::uint8_t b = cells[counter_];
    counter_ = (counter_ + 1) % part_.size;
    return b;
  }
  if (part_.idOpcode != 0 && opcode_ == part_.idOpcode) return part_.id[counter_++ % 2];
  return 0xFF;
}

void SpiMemory::OnPins(Programmer& p) {
  // The supply itself, whatever the contact check's sense puts on its route.
  const int vccPin = p.SocketPinOf(pins_.vcc);
  const bool over = vccPin != 0 && p.VccPin() == vccPin && !p.VppOnVccPin() &&
                    p.VccMillivolts() > part_.vccRatingMillivolts;
  if (over && !overVcc_) {
    p.record.Hazard(std::string(part_.name) + ": VCC at " + std::to_string(p.VccMillivolts()) +
                    " mV, over its rating");
  }
  overVcc_ = over;
  if (!Powered(p)) {
    selected_ = output_ = writeEnable_ = false;
    so_ = -1;
    page_.clear();
    return;
  }
  const bool cs = Level(p, pins_.cs);
  const bool sck = Level(p, pins_.sck);
  if (!cs && !selected_) {
    selected_ = true;
    bytes_.clear();
    page_.clear();
    bits_ = 0;
    output_ = false;
    opcode_ = 0;
  } else if (cs && selected_) {
    selected_ = output_ = false;
    so_ = -1;
    if (bits_ % 8 == 0) EndInstruction(p);
  } else if (selected_ && (part_.supervisor || Level(p, pins_.hold))) {
    if (sck && !sck_) {
      ++bits_;
      if (!output_) {
        shift_ = static_cast<std::uint8_t>(shift_ << 1 | (Level(p, pins_.si) ? 1 : 0));
        if (bits_ % 8 == 0) TakeByte(shift_, p);
      }
    } else if (!sck && sck_ && output_) {
      so_ = (out_ >> (7 - outPos_)) & 1;
      if (++outPos_ == 8) {
        out_ = NextOut(p);
        outPos_ = 0;
      }
    }
  }
  sck_ = sck;
}

void SpiMemory::TakeByte(std::uint8_t b, Programmer& p) {
  bytes_.push_back(b);
  if (bytes_.size() == 1) {
    opcode_ = b;
    std::uint32_t high = 0;
    if (!part_.flash && part_.size == 512 && (b & ~kAddressBit8) <= kRead) {
      opcode_ = static_cast<std::uint8_t>(b & ~kAddressBit8);
      high = (b & kAddressBit8) ? 0x100 : 0;
    }
    counter_ = high;
    // A busy chip answers the status read alone.
    if (Busy(p) && opcode_ != kReadStatus) opcode_ = 0;
    if (opcode_ == kReadStatus ||
        (part_.idOpcode != 0 && opcode_ == part_.idOpcode && !part_.idAfterAddress)) {
      counter_ = 0;
      output_ = true;
      out_ = NextOut(p);
      outPos_ = 0;
    }
    return;
  }
  if (part_.idAfterAddress && opcode_ == part_.idOpcode) {
    if (bytes_.size() == 4) {
      counter_ = b & 1;
      output_ = true;
      out_ = NextOut(p);
      outPos_ = 0;
    }
    return;
  }
  if (opcode_ != kRead && opcode_ != kWrite) return;
  const std::size_t addressBytes = part_.addressBytes != 0
                                       ? static_cast<std::size_t>(part_.addressBytes)
                                       : (part_.size <= 512 ? 1u : 2u);
  if (bytes_.size() <= addressBytes + 1) {
    const int shift = static_cast<int>(8 * (addressBytes + 1 - bytes_.size()));
    counter_ = (counter_ | static_cast<std::uint32_t>(b) << shift) & (part_.size - 1);
    if (bytes_.size() == addressBytes + 1 && opcode_ == kRead) {
      output_ = true;
      out_ = NextOut(p);
      outPos_ = 0;
    }
    return;
  }
  page_.emplace_back(counter_, b);
  const std::uint32_t base = counter_ & ~(part_.pageBytes - 1);
  counter_ = base | ((counter_ + 1) & (part_.pageBytes - 1));
}

void SpiMemory::EndInstruction(Programmer& p) {
  if (bytes_.empty() || opcode_ == 0) return;
  const bool alone = bytes_.size() == 1;
  // The supervisors' WP# low refuses every write, the latch's alone excepted.
  if (part_.supervisor && !Level(p, pins_.wp) && (opcode_ == kWrite || opcode_ == kWriteStatus)) {
    writeEnable_ = false;
    return;
  }
  if (opcode_ == kWriteEnable && alone) {
    writeEnable_ = true;
  } else if (opcode_ == kWriteDisable && alone) {
    writeEnable_ = false;
  } else if (opcode_ == kWrite && writeEnable_ && !page_.empty()) {
    for (const auto& [a, d] : page_) {
      if (!Protected(a)) cells[a] = part_.flash ? static_cast<std::uint8_t>(cells[a] & d) : d;
    }
    ++pagesWritten;
    writeEnable_ = false;
    busyUntilUs_ = p.clockUs() + part_.writeUs;
  } else if (opcode_ == kWriteStatus && writeEnable_ && bytes_.size() >= 2) {
    if (!((status & kWpen) != 0 && !Level(p, pins_.wp))) {
      status = static_cast<std::uint8_t>((status & ~part_.statusWritable) |
                                         (bytes_[1] & part_.statusWritable));
      busyUntilUs_ = p.clockUs() + part_.writeUs;
    }
    writeEnable_ = false;
  } else if (part_.eraseOpcode != 0 && opcode_ == part_.eraseOpcode && alone && writeEnable_) {
    // Refused while any block is guarded: the guarded area always reaches the top.
    if (!Protected(part_.size - 1)) {
      std::fill(cells.begin(), cells.end(), 0xFF);
      ++erases;
      busyUntilUs_ = p.clockUs() + part_.eraseUs;
    }
    writeEnable_ = false;
  }
}

std::string_view SpiPartOf(std::string_view chipName) {
  std::string_view best;
  for (const SpiPart& part : kParts) {
    if (chipName.find(part.name) != std::string_view::npos && part.name.size() > best.size())
      best = part.name;
  }
  return best;
}

std::shared_ptr<SpiMemory> MakeSpiMemory(std::string_view part, const SpiPins& pins) {
  for (const SpiPart& p : kParts) {
    if (p.name == part) return std::make_shared<SpiMemory>(p, pins);
  }
  return nullptr;
}

}  // namespace zelvar::sim
