#include "sim/chips/PageEeprom.h"

#include <algorithm>
#include <array>

namespace zelvar::sim {

namespace {

constexpr int kVhMin = 11500, kVhMax = 12500;
constexpr double kClearSetupUs = 5000, kClearPulseUs = 10000;

// Sizes, page sizes and times from the makers' datasheets (tWC and tBLC their longest).
constexpr std::array<PageEepromSheet, 18> kSheets = {{
    {"SST29EE512", PageKind::Flash29, PagePinout::Dip32, 16, 128, 10000, 200, 20000},
    {"SST29EE010", PageKind::Flash29, PagePinout::Dip32, 17, 128, 10000, 200, 20000},
    {"SST29EE020", PageKind::Flash29, PagePinout::Dip32, 18, 128, 10000, 200, 20000},
    {"AT29C256", PageKind::Flash29, PagePinout::Dip28WeOn1, 15, 64, 10000, 150, 10000},
    {"AT29C512", PageKind::Flash29, PagePinout::Dip32, 16, 128, 10000, 150, 20000},
    {"AT29C010A", PageKind::Flash29, PagePinout::Dip32, 17, 128, 10000, 150, 20000},
    {"AT29C020", PageKind::Flash29, PagePinout::Dip32, 18, 256, 10000, 150, 20000},
    {"AT29C040A", PageKind::Flash29, PagePinout::Dip32, 19, 256, 10000, 150, 20000},
    {"AT28C256", PageKind::Eeprom28, PagePinout::Dip28, 15, 64, 10000, 150, 0},
    {"AT28C64B", PageKind::Eeprom28, PagePinout::Dip28, 13, 64, 10000, 150, 0},
    {"AT28C010", PageKind::Eeprom28, PagePinout::Dip32, 17, 128, 10000, 150, 0},
    // The AT28C040's 32-lead package takes the JEDEC flash pinout (A18 on pin 1, A17 on 30).
    {"AT28C040", PageKind::Eeprom28, PagePinout::Dip32, 19, 256, 10000, 150, 0},
    {"HN58C65", PageKind::Eeprom28, PagePinout::Dip28Busy1, 13, 32, 10000, 30, 0, false, false},
    {"X28C256", PageKind::Eeprom28, PagePinout::Dip28, 15, 64, 10000, 100, 0, false},
    {"2816A", PageKind::ByteWrite, PagePinout::Dip24, 11, 1, 10000, 0, 0},
    {"2817A", PageKind::ByteWrite, PagePinout::Dip28Busy1, 11, 1, 10000, 0, 0},
    {"X2864A", PageKind::ByteWrite, PagePinout::Dip28Busy1, 13, 1, 10000, 0, 0},
    {"AT28C64", PageKind::ByteWrite, PagePinout::Dip28Busy1, 13, 1, 1000, 0, 0},
}};

ByteWidePinout Pinout(const PageEepromSheet& s) {
  ByteWidePinout p;
  if (s.pinout == PagePinout::Dip32) {
    p = JedecFlash32(s.addressBits);
    p.highPins = {26};  // A9 takes VH for the signature
  } else if (s.pinout == PagePinout::Dip24) {
    p.pins = 24;
    p.address = {8, 7, 6, 5, 4, 3, 2, 1, 23, 22, 19};
    p.data = {9, 10, 11, 13, 14, 15, 16, 17};
    p.ground = {12};
    p.vcc = 24;
    p.ce = 18;
    p.oe = 20;
    p.we = 21;
    p.highPins = {20};
  } else {
    // A0..A14 of the 28-pin JEDEC EEPROM pinout; the 29C parts swap A14 and WE#.
    const bool weOn1 = s.pinout == PagePinout::Dip28WeOn1;
    p.pins = 28;
    p.address = {10, 9, 8, 7, 6, 5, 4, 3, 25, 24, 21, 23, 2, 26, weOn1 ? 27 : 1};
    p.address.resize(static_cast<std::size_t>(s.addressBits));
    p.data = {11, 12, 13, 15, 16, 17, 18, 19};
    p.ground = {14};
    p.vcc = 28;
    p.ce = 20;
    p.oe = 22;
    p.we = weOn1 ? 1 : 27;
    p.highPins = {22, 24};  // OE# takes VH for chip clear, A9 for the signature
  }
  if (s.pinout == PagePinout::Dip32 && s.kind != PageKind::Flash29) p.highPins.push_back(24);
  p.maxHigh = 13500;
  p.maxOther = 6250;
  if (!s.chipClear) {
    p.highPins.clear();
    p.maxOther = 7000;
  }
  return p;
}

}  // namespace

PageEeprom::PageEeprom(const PageEepromSheet& sheet)
    : ByteWideChip(std::string(sheet.name), Pinout(sheet), 1u << sheet.addressBits, 0xFF),
      writeCycleUs(sheet.writeCycleUs),
      sheet_(sheet) {}

void PageEeprom::CloseWindow(double at) {
  const auto loads = std::move(loads_);
  loads_.clear();
  const std::uint32_t unlockMask = 0x7FFFu & static_cast<std::uint32_t>(cells.size() - 1);
  const auto is = [&](std::size_t i, std::uint32_t address, std::uint8_t data) {
    return i < loads.size() && (loads[i].first & unlockMask) == (address & unlockMask) &&
           loads[i].second == data;
  };
  enum class Code { None, Enable, Disable, Erase } code = Code::None;
  std::size_t first = 0;
  if (sheet_.kind != PageKind::ByteWrite && sheet_.sdp && is(0, 0x5555, 0xAA) &&
      is(1, 0x2AAA, 0x55)) {
    if (is(2, 0x5555, 0xA0)) {
      code = Code::Enable;
      first = 3;
    } else if (is(2, 0x5555, 0x80) && is(3, 0x5555, 0xAA) && is(4, 0x2AAA, 0x55)) {
      if (is(5, 0x5555, 0x20)) {
        code = Code::Disable;
        first = 6;
      } else if (is(5, 0x5555, 0x10) && sheet_.kind == PageKind::Flash29) {
        code = Code::Erase;
        first = loads.size();
      }
    }
  }
  if (code == Code::None && protection) return;  // a plain load of a protected part
  Pending w;
  w.protection = code == Code::Enable ? true : code == Code::Disable ? false : protection;
  w.erase = code == Code::Erase;
  if (first < loads.size()) {
    const std::uint32_t mask = static_cast<std::uint32_t>(cells.size() - 1);
    const std::uint32_t page = static_cast<std::uint32_t>(sheet_.pageBytes);
    const std::uint32_t base = loads[first].first & mask & ~(page - 1);
    if (sheet_.kind == PageKind::Flash29) {
      for (std::uint32_t i = 0; i < page; ++i) w.cells.emplace_back(base + i, 0xFF);
    }
    for (std::size_t i = first; i < loads.size(); ++i) {
      const std::uint32_t a = loads[i].first & mask;
      if ((a & ~(page - 1)) == base) w.cells.emplace_back(a, loads[i].second);
    }
  }
  if (w.cells.empty() && !w.erase && w.protection == protection) return;
  pending_ = std::move(w);
  busy_ = true;
  busyUntil_ = at + (pending_.erase ? sheet_.chipEraseUs : writeCycleUs);
}

void PageEeprom::Advance(double now) {
  if (!loads_.empty() && now > lastLoadUs_ + sheet_.loadWindowUs) {
    CloseWindow(lastLoadUs_ + sheet_.loadWindowUs);
  }
  if (busy_ && now >= busyUntil_) {
    busy_ = false;
    if (pending_.erase) {
      std::fill(cells.begin(), cells.end(), 0xFF);
      ++chipErases;
    }
    for (const auto& [a, d] : pending_.cells) cells[a] = d;
    protection = pending_.protection;
    ++writeCycles;
  }
}

void PageEeprom::Update(Programmer& p, bool powered) {
  const double now = p.clockUs();
  Advance(now);
  if (!powered) {
    loads_.clear();
    busy_ = false;
    oeHighSinceUs_ = -1;
    weLow_ = false;
    return;
  }
  const int oe = Mv(p, pinout().oe);
  const bool vh = oe >= kVhMin && oe <= kVhMax;
  if (!vh) {
    oeHighSinceUs_ = -1;
  } else if (oeHighSinceUs_ < 0) {
    oeHighSinceUs_ = now;
  }
  const bool weLow = Low(p, pinout().we);
  if (weLow && !weLow_) weFellUs_ = now;
  weLow_ = weLow;
}

void PageEeprom::Write(Programmer& p, std::uint32_t address, std::uint8_t data) {
  const double now = p.clockUs();
  if (oeHighSinceUs_ >= 0) {
    // Chip clear: a write cycle with OE# at VH.
    if (sheet_.kind != PageKind::Flash29 && sheet_.chipClear && !busy_ &&
        now - weFellUs_ >= kClearPulseUs && weFellUs_ - oeHighSinceUs_ >= kClearSetupUs) {
      std::fill(cells.begin(), cells.end(), 0xFF);
      ++chipErases;
    }
    return;
  }
  if (busy_) {
    ++ignoredLoads;
    return;
  }
  lastByte_ = data;
  loads_.emplace_back(address, data);
  lastLoadUs_ = now;
  if (sheet_.kind == PageKind::ByteWrite) CloseWindow(now);
}

std::uint8_t PageEeprom::Read(Programmer& p, std::uint32_t address) {
  Advance(p.clockUs());
  if (busy_) {
    toggle_ = !toggle_;
    return static_cast<std::uint8_t>((~lastByte_ & 0x80) | (toggle_ ? 0x40 : 0));
  }
  return cells[address & (cells.size() - 1)];
}

std::shared_ptr<PageEeprom> MakePageEeprom(std::string_view part) {
  for (const PageEepromSheet& s : kSheets) {
    if (s.name == part) return std::make_shared<PageEeprom>(s);
  }
  return nullptr;
}

}  // namespace zelvar::sim
