#include "sim/chips/JedecFlash.h"

#include <algorithm>
#include <array>

namespace zelvar::sim {

namespace {

constexpr int kA9 = 26;  // chip pin of A9
constexpr int kVidMin = 11500, kVidMax = 12500;
constexpr std::uint32_t kUnlockMask = 0x7FFF;  // A0..A14

// Sizes, signatures and typical chip-erase times from the makers' datasheets.
constexpr std::array<JedecFlashSheet, 17> kSheets = {{
    {"AM29F010", 17, 0x01, 0x20, 1.0e6},
    {"AM29F040", 19, 0x01, 0xA4, 8.0e6},
    {"AT49F010", 17, 0x1F, 0x17, 10.0e6},
    {"AT49F020", 18, 0x1F, 0x0B, 10.0e6},
    {"AT49F040", 19, 0x1F, 0x13, 10.0e6},
    {"MX29F040", 19, 0xC2, 0xA4, 4.0e6},
    {"SST39SF010", 17, 0xBF, 0xB5, 70.0e3},
    {"SST39SF040", 19, 0xBF, 0xB7, 70.0e3},
    {"SST39VF010", 17, 0xBF, 0xD5, 70.0e3, 2700, 3600},
    {"SST39SF020", 18, 0xBF, 0xB6, 70.0e3},
    {"SST39VF512", 16, 0xBF, 0xD4, 70.0e3, 2700, 3600},
    {"SST39VF020", 18, 0xBF, 0xD6, 70.0e3, 2700, 3600},
    {"SST39VF040", 19, 0xBF, 0xD7, 70.0e3, 2700, 3600},
    {"SST29SF040", 19, 0xBF, 0x13, 100.0e3},
    // Mosel Vitelic V29C51xxxT/B: maker 0x40; the device codes are not taken from a datasheet
    // (the set reads no signature), and the chip-erase time is the family's order of a second.
    {"V29C51001T", 17, 0x40, 0x00, 1.0e6},
    {"V29C51002T", 18, 0x40, 0x00, 1.0e6},
    {"V29C51004T", 19, 0x40, 0x00, 1.0e6},
}};

ByteWidePinout Pinout(const JedecFlashSheet& s) {
  ByteWidePinout p = JedecFlash32(s.addressBits);
  p.vccMin = s.vccMin;
  p.vccMax = s.vccMax;
  // A9 and OE# take VID; every other pin at most VCC + 0.5 V.
  p.highPins = {kA9, 24};
  p.maxHigh = 13000;
  p.maxOther = 6500;
  return p;
}

}  // namespace

JedecFlash::JedecFlash(const JedecFlashSheet& sheet)
    : ByteWideChip(std::string(sheet.name), Pinout(sheet), 1u << sheet.addressBits, 0xFF),
      eraseUs(sheet.chipEraseUs),
      sheet_(sheet) {}

void JedecFlash::Update(Programmer& p, bool powered) {
  if (!powered) {
    // Power-down ends every mode, autoselect included; an erase stops with its supply and the
    // cells stay as they were.
    erasing_ = false;
    state_ = State::Read;
    return;
  }
  if (!erasing_) return;
  if (p.clockUs() >= eraseEnd_) {
    erasing_ = false;
    std::fill(cells.begin(), cells.end(), 0xFF);
    ++chipErases;
    state_ = State::Read;
  }
}

void JedecFlash::Write(Programmer& p, std::uint32_t address, std::uint8_t data) {
  if (erasing_) return;  // commands during the embedded erase are ignored
  const std::uint32_t unlock = address & kUnlockMask;
  const bool at5555 = unlock == 0x5555, at2AAA = unlock == 0x2AAA;
  if (data == 0xF0 && state_ != State::Program) {
    state_ = State::Read;
    return;
  }
  switch (state_) {
    case State::Read:
    case State::Autoselect:
      state_ = at5555 && data == 0xAA ? State::Unlock1 : state_;
      break;
    case State::Unlock1:
      state_ = at2AAA && data == 0x55 ? State::Unlock2 : State::Read;
      break;
    case State::Unlock2:
      if (!at5555) {
        state_ = State::Read;
      } else if (data == 0xA0) {
        state_ = State::Program;
      } else if (data == 0x80) {
        state_ = State::Erase1;
      } else if (data == 0x90) {
        state_ = State::Autoselect;
      } else {
        state_ = State::Read;
      }
      break;
    case State::Program:
      cells[address & (cells.size() - 1)] &= data;
      state_ = State::Read;
      break;
    case State::Erase1:
      state_ = at5555 && data == 0xAA ? State::Erase2 : State::Read;
      break;
    case State::Erase2:
      state_ = at2AAA && data == 0x55 ? State::Erase3 : State::Read;
      break;
    case State::Erase3:
      state_ = State::Read;
      if (at5555 && data == 0x10) {
        erasing_ = true;
        eraseEnd_ = p.clockUs() + eraseUs;
      }
      break;
  }
}

std::uint8_t JedecFlash::Read(Programmer& p, std::uint32_t address) {
  if (erasing_) {
    toggle_ = !toggle_;
    return toggle_ ? 0x40 : 0x00;  // DQ7 0 until the erase ends, DQ6 toggling
  }
  const int a9 = Mv(p, kA9);
  if (state_ == State::Autoselect || (a9 >= kVidMin && a9 <= kVidMax)) {
    if (address & 2) return 0x00;  // sector protect status: unprotected
    return address & 1 ? sheet_.device : sheet_.maker;
  }
  return cells[address & (cells.size() - 1)];
}

std::shared_ptr<JedecFlash> MakeJedecFlash(std::string_view part) {
  for (const JedecFlashSheet& s : kSheets) {
    if (s.name == part) return std::make_shared<JedecFlash>(s);
  }
  return nullptr;
}

}  // namespace zelvar::sim
