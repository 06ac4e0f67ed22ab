#include "sim/chips/Sst28sf.h"

#include <algorithm>

namespace zelvar::sim {

namespace {
constexpr int kAddressBits = 19;
constexpr std::uint32_t kSector = 256;
constexpr double kSectorEraseUs = 2000, kChipEraseUs = 20000;
constexpr std::array<std::uint32_t, 7> kUnprotect = {0x1823, 0x1820, 0x1822, 0x0418,
                                                     0x041B, 0x0419, 0x041A};
constexpr std::array<std::uint32_t, 7> kProtect = {0x1823, 0x1820, 0x1822, 0x0418,
                                                   0x041B, 0x0419, 0x040A};

ByteWidePinout Pinout(int vccMin, int vccMax) {
  ByteWidePinout p = JedecFlash32(kAddressBits);
  p.vccMin = vccMin;
  p.vccMax = vccMax;
  p.highPins = {};
  p.maxOther = 6500;
  return p;
}
}  // namespace

Sst28sf::Sst28sf(std::string_view name, int vccMin, int vccMax)
    : ByteWideChip(std::string(name), Pinout(vccMin, vccMax), 1u << kAddressBits, 0xFF) {}

void Sst28sf::Update(Programmer& p, bool powered) {
  // An erase whose time has passed is done, even when this change is the supply going: the
  // clock moved on without a pin change.
  if (eraseCount_ != 0 && p.clockUs() >= eraseEnd_) {
    std::fill_n(cells.begin() + eraseFirst_, eraseCount_, 0xFF);
    eraseCount_ == cells.size() ? ++chipErases : ++sectorErases;
    eraseCount_ = 0;
  } else if (eraseCount_ != 0 && !powered) {
    eraseCount_ = 0;  // the erase stops with its supply
  }
  if (!powered) {
    state_ = State::Read;
    ceWasLow_ = false;
    return;
  }
  // Read cycles: the protection sequences are read at CE# rising.
  const auto& pins = pinout();
  const bool ceLow = Low(p, pins.ce);
  if (ceWasLow_ && !ceLow && Low(p, pins.oe) && Mv(p, pins.we) >= 2000) {
    std::rotate(reads_.begin(), reads_.begin() + 1, reads_.end());
    reads_.back() = Address(p);
    if (reads_ == kUnprotect) isProtected = false;
    if (reads_ == kProtect) isProtected = true;
  }
  ceWasLow_ = ceLow;
}

void Sst28sf::Write(Programmer& p, std::uint32_t address, std::uint8_t data) {
  if (isProtected || eraseCount_ != 0) return;
  const std::uint32_t a = address & (cells.size() - 1);
  switch (state_) {
    case State::EraseSetup:
      state_ = State::Read;
      if (data == 0xD0) {
        eraseFirst_ = a & ~(kSector - 1);
        eraseCount_ = kSector;
        eraseEnd_ = p.clockUs() + kSectorEraseUs;
      }
      return;
    case State::ChipEraseSetup:
      state_ = State::Read;
      if (data == 0x30) {
        eraseFirst_ = 0;
        eraseCount_ = static_cast<std::uint32_t>(cells.size());
        eraseEnd_ = p.clockUs() + kChipEraseUs;
      }
      return;
    case State::ProgramSetup:
      cells[a] &= data;
      state_ = State::Read;
      return;
    default:
      break;
  }
  switch (data) {
    case 0x20:
      state_ = State::EraseSetup;
      break;
    case 0x30:
      state_ = State::ChipEraseSetup;
      break;
    case 0x10:  // the byte-program set-up; 0x40 is no command of this part
      state_ = State::ProgramSetup;
      break;
    case 0x90:
      state_ = State::Identify;
      break;
    default:
      state_ = State::Read;
  }
}

std::uint8_t Sst28sf::Read(Programmer&, std::uint32_t address) {
  if (eraseCount_ != 0) return 0x7F;
  if (state_ == State::Identify) return address & 1 ? 0x04 : 0xBF;
  return cells[address & (cells.size() - 1)];
}

std::shared_ptr<Sst28sf> MakeSst28sf(std::string_view part) {
  if (part == "SST28SF040") return std::make_shared<Sst28sf>(part, 4500, 5500);
  if (part == "SST28VF040") return std::make_shared<Sst28sf>(part, 2700, 3600);
  return nullptr;
}

}  // namespace zelvar::sim
