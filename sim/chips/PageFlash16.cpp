#include "sim/chips/PageFlash16.h"

#include <algorithm>
#include <array>

namespace zelvar::sim {

namespace {

// The adapter's pin k sits on socket pin k - 4 (pins 1 to 4 on 45 to 48).
constexpr int Pin(int socketPin) {
  return socketPin <= 44 ? socketPin + 4 : socketPin - 44;
}
// A-1, A0 ... A19 and D0 ... D7.
constexpr std::array<int, 21> kA = {Pin(29), Pin(9),  Pin(8),  Pin(7),  Pin(6),  Pin(5),  Pin(4),
                                    Pin(3),  Pin(2),  Pin(40), Pin(39), Pin(38), Pin(37), Pin(36),
                                    Pin(35), Pin(34), Pin(33), Pin(32), Pin(1),  Pin(48), Pin(41)};
constexpr std::array<int, 8> kD = {Pin(13), Pin(15), Pin(17), Pin(19),
                                   Pin(22), Pin(24), Pin(26), Pin(28)};
constexpr int kCe = Pin(10), kOe = Pin(12), kWe = Pin(42), kVcc = Pin(21), kGround = Pin(30),
              kA9 = Pin(39);
constexpr int kVccMin = 4500, kVccMax = 5500;
constexpr double kLoadWindowUs = 30, kPageProgramUs = 3000, kSectorEraseUs = 1.3e6;
constexpr std::uint32_t kUnlock1 = 0xAAAA, kUnlock2 = 0x5554;

constexpr PageFlashSheet kSheets[] = {
    {"MX29F1610A", 0xC2, 0xFA},
    {"MX29F1610B", 0xC2, 0xFB},
};

}  // namespace

PageFlash16::PageFlash16(const PageFlashSheet& sheet)
    : cells(kBytes, 0xFF), protect(kBytes / kSectorBytes, false), sheet_(sheet) {}

std::vector<int> PageFlash16::GroundPins() const {
  return {kGround};
}

int PageFlash16::MaxMillivolts(int pin) const {
  if (pin == kA9) return 13000;
  if (pin == kVcc) return 7000;
  return 6500;
}

bool PageFlash16::Powered(const Programmer& p) const {
  if (socket_.empty()) return false;
  const int vcc = p.SupplyMillivolts(socket_[kVcc]);
  return vcc >= kVccMin && vcc <= kVccMax && p.SupplyMillivolts(socket_[kGround]) == 0;
}

int PageFlash16::Level(const Programmer& p, int pin) const {
  const int mv = p.InputMillivolts(socket_[pin]);
  if (mv < 0) return -1;
  if (mv < 800) return 0;
  return mv >= 2000 ? 1 : -1;
}

std::uint32_t PageFlash16::Address(const Programmer& p) const {
  std::uint32_t a = 0;
  for (std::size_t i = 0; i < kA.size(); ++i) {
    if (Level(p, kA[i]) == 1) a |= 1u << i;
  }
  return a;
}

std::uint8_t PageFlash16::DataPins(const Programmer& p) const {
  std::uint8_t d = 0;
  for (std::size_t i = 0; i < kD.size(); ++i) {
    if (Level(p, kD[i]) == 1) d |= static_cast<std::uint8_t>(1u << i);
  }
  return d;
}

void PageFlash16::Reset() {
  busy_ = loading_ = programming_ = false;
  erasing_.clear();
  unlock_ = 0;
  armed_ = Armed::kNone;
  idMode_ = statusMode_ = false;
  latchedValid_ = false;
}

// The internally timed steps whose time has come: the end of a page load starts its program,
// the end of a program or erase writes the cells.
void PageFlash16::Finish(double now) {
  if (loading_ && now - lastLoadUs_ > kLoadWindowUs) {
    loading_ = false;
    busy_ = programming_ = true;
    busyEnd_ = lastLoadUs_ + kLoadWindowUs + kPageProgramUs;
  }
  if (!busy_ || now < busyEnd_) return;
  busy_ = false;
  if (programming_) {
    programming_ = false;
    const std::uint32_t base = page_ * kPageBytes;
    if (!protect[base / kSectorBytes]) {
      for (std::uint32_t i = 0; i < kPageBytes; ++i) {
        if (pageData_[i] >= 0) cells[base + i] &= static_cast<std::uint8_t>(pageData_[i]);
      }
    }
    ++pagePrograms;
  }
  for (std::uint32_t s : erasing_) {
    std::fill_n(cells.begin() + s * kSectorBytes, kSectorBytes, std::uint8_t{0xFF});
  }
  if (erasing_.size() > 1) ++chipErases;
  erasing_.clear();
}

void PageFlash16::OnPins(Programmer& p) {
  if (socket_.empty() || p.ChipPinAt(socket_[1]) != 1) {
    socket_.assign(49, 0);
    for (int k = 1; k <= 48; ++k) socket_[k] = p.SocketPinOf(k);
  }
  const double now = p.clockUs();
  if (powered_) Finish(now);
  if (!Powered(p)) {
    if (powered_) Reset();
    powered_ = false;
    driving_ = false;
    lastWe_ = -1;
    return;
  }
  powered_ = true;
  const bool ce = Level(p, kCe) == 0;
  const int oe = Level(p, kOe);
  const int we = Level(p, kWe);
  const std::uint32_t address = Address(p);
  // The address is taken at WE#'s falling edge, the data at its rising edge.
  if (ce && oe == 1 && lastWe_ == 1 && we == 0) {
    latched_ = address;
    latchedValid_ = true;
  }
  if (lastWe_ == 0 && we == 1) {
    if (latchedValid_ && ce && oe == 1) Write(now, latched_, DataPins(p));
    latchedValid_ = false;
  }
  lastWe_ = we;
  driving_ = ce && oe == 0 && we == 1;
  if (driving_) out_ = Read(address);
}

void PageFlash16::Write(double now, std::uint32_t address, std::uint8_t data) {
  if (busy_) return;
  if (loading_) {
    // The load's first byte names the page.
    if (page_ == 0xFFFFFFFF) page_ = (address % kBytes) / kPageBytes;
    if ((address % kBytes) / kPageBytes == page_) {
      pageData_[address % kPageBytes] = data;
      lastData_ = data;
    }
    lastLoadUs_ = now;
    return;
  }
  const std::uint32_t u = address & 0xFFFF;
  if (data == 0xF0) {
    Reset();
    return;
  }
  if (unlock_ == 0) {
    unlock_ = u == kUnlock1 && data == 0xAA ? 1 : 0;
    if (unlock_ == 0) armed_ = Armed::kNone;
    return;
  }
  if (unlock_ == 1) {
    unlock_ = u == kUnlock2 && data == 0x55 ? 2 : 0;
    if (unlock_ == 0) armed_ = Armed::kNone;
    return;
  }
  unlock_ = 0;
  const std::uint32_t sector = (address % kBytes) / kSectorBytes;
  if (armed_ == Armed::kErase) {
    armed_ = Armed::kNone;
    if (data == 0x10 && u == kUnlock1) {
      for (std::uint32_t s = 0; s < protect.size(); ++s) {
        if (!protect[s]) erasing_.push_back(s);
      }
      busyEnd_ = now + eraseUs;
    } else if (data == 0x30 && !protect[sector]) {
      erasing_.push_back(sector);
      busyEnd_ = now + kSectorEraseUs;
    }
    busy_ = !erasing_.empty();
    statusMode_ = true;
    lastData_ = 0;
    return;
  }
  if (armed_ == Armed::kProtect) {
    armed_ = Armed::kNone;
    if (data == 0x20) protect[sector] = true;
    if (data == 0x40) {
      std::fill(protect.begin(), protect.end(), false);
      ++unprotects;
    }
    statusMode_ = true;
    return;
  }
  if (u != kUnlock1) return;
  idMode_ = statusMode_ = false;
  switch (data) {
    case 0xA0:
      loading_ = true;
      page_ = 0xFFFFFFFF;
      pageData_.assign(kPageBytes, -1);
      lastLoadUs_ = now;
      statusMode_ = true;
      break;
    case 0x80:
      armed_ = Armed::kErase;
      break;
    case 0x60:
      armed_ = Armed::kProtect;
      break;
    case 0x90:
      idMode_ = true;
      break;
    default:
      break;
  }
}

std::uint8_t PageFlash16::Read(std::uint32_t address) {
  if (busy_ || loading_) {
    toggle_ = !toggle_;
    return static_cast<std::uint8_t>((~lastData_ & 0x80) | (toggle_ ? 0x40 : 0));
  }
  if (statusMode_) return 0x80;
  const std::uint32_t a = address % kBytes;
  if (idMode_) {
    switch ((a >> 1) & 0x3F) {
      case 0:
        return sheet_.maker;
      case 1:
        return sheet_.device;
      case 2:
        return protect[a / kSectorBytes] ? sheet_.maker : 0x00;
      default:
        return 0x00;
    }
  }
  return cells[a];
}

int PageFlash16::Drive(int pin) const {
  if (!driving_) return -1;
  for (std::size_t i = 0; i < kD.size(); ++i) {
    if (kD[i] == pin) return (out_ >> i) & 1;
  }
  return -1;
}

std::string_view PageFlash16PartOf(std::string_view chipName) {
  for (const PageFlashSheet& s : kSheets) {
    if (chipName.find(s.name) != std::string_view::npos) return s.name;
  }
  return {};
}

std::shared_ptr<PageFlash16> MakePageFlash16(std::string_view part) {
  for (const PageFlashSheet& s : kSheets) {
    if (s.name == part) return std::make_shared<PageFlash16>(s);
  }
  return nullptr;
}

}  // namespace zelvar::sim
