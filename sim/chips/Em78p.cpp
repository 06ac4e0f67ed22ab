#include "sim/chips/Em78p.h"

namespace zelvar::sim {

namespace {
constexpr int kEntryMillivolts = 11500;
constexpr double kPulseUs = 1000;

struct Part {
  std::string_view name;
  Em78pChip::Layout l;
};
//                    pins words opt vpp vdd vss data sclk strobe read clock half bus start 458
constexpr Em78pChip::Layout k18(int words) {
  return {18, words, 1, 4, 14, 5, 6, 7, 8, 10, 11, 0, 0, 2, false};
}
constexpr Em78pChip::Layout k28(int words) {
  return {28, words, 1, 28, 2, 4, 11, 12, 13, 15, 16, 0, 0, 4, false};
}
constexpr Em78pChip::Layout k20 = {20, 1024, 2, 12, 16, 5, 8, 9, 10, 13, 3, 0, 0, 2, true};
constexpr Em78pChip::Layout k40 = {40, 4096, 1, 2, 38, 1, 0, 0, 40, 36, 13, 14, 28, 2, false};
const Part kParts[] = {{"EM78P156", k18(1024)},   {"EM78P256", k18(2048)},
                       {"EM78P456", k18(4096)},   {"EM78P247SA", k28(2048)},
                       {"EM78P247SB", k28(2048)}, {"EM78P447SA", k28(4096)},
                       {"EM78P447SB", k28(4096)}, {"EM78P458", k20},
                       {"EM78P459", k20},         {"EM78P451P", k40}};
}  // namespace

Em78pChip::Em78pChip(std::string_view part, const Layout& l)
    : code(static_cast<std::size_t>(l.words), 0x1FFF), part_(part), l_(l) {}

int Em78pChip::Level(const Programmer& p, int pin) const {
  const int mv = p.InputMillivolts(p.SocketPinOf(pin));
  if (mv < 0) return 1;  // pulled up
  return mv >= 2000 ? 1 : 0;
}

bool Em78pChip::Powered(const Programmer& p) const {
  const int vdd = p.SupplyMillivolts(p.SocketPinOf(l_.vdd));
  return vdd >= 4000 && vdd <= 5500 && p.IsGround(p.SocketPinOf(l_.vss));
}

std::uint16_t* Em78pChip::Cell() {
  const int address = falls_ < l_.startFalls ? -1 : (falls_ - l_.startFalls) / 2;
  if (address < 0) return nullptr;
  if (space_ == 1)
    return address < l_.optionWords ? &option[static_cast<std::size_t>(address)] : nullptr;
  return address < l_.words ? &code[static_cast<std::size_t>(address)] : nullptr;
}

std::uint16_t Em78pChip::CellValue() const {
  const std::uint16_t* cell = const_cast<Em78pChip*>(this)->Cell();
  return cell ? *cell : 0x1FFF;
}

void Em78pChip::OnPins(Programmer& p) {
  const bool bus = l_.bus != 0;
  const int clock = Level(p, l_.clock), read = Level(p, l_.readLine), strobe = Level(p, l_.strobe);
  const int shift = bus ? 0 : Level(p, l_.shiftClock);
  const int half = bus ? Level(p, l_.half) : 0;
  const bool high = p.InputMillivolts(p.SocketPinOf(l_.vpp)) >= kEntryMillivolts;
  const bool powered = Powered(p);
  if (powered && !powered_) poweredAt_ = p.clockUs();
  powered_ = powered;
  if (!powered || !high) {
    inMode_ = false;
  } else if (!inMode_) {
    inMode_ = true;
    ++entries;
    entryDelayUs = p.clockUs() - poweredAt_;
    falls_ = 0;
    readBit_ = 0;
    if (bus) {
      space_ = Level(p, l_.bus + 1) == 1 ? 1 : 0;
    } else {
      space_ = Level(p, l_.spaceFromData ? l_.data : l_.clock);
    }
  } else {
    if (clock == 0 && lastClock_ == 1) ++falls_;
    if (!bus) {
      if (read == 0 && lastRead_ == 1) readBit_ = 0;
      if (read == 0 && shift == 0 && lastShift_ == 1) ++readBit_;
      if (read == 1 && shift == 0 && lastShift_ == 1)
        shift_ = static_cast<std::uint16_t>((shift_ << 1 | Level(p, l_.data)) & 0x1FFF);
    } else if (read == 1 && half == 0 && lastHalf_ == 1) {
      std::uint16_t b = 0;
      for (int i = 0; i < 6; ++i) b = static_cast<std::uint16_t>(b | Level(p, l_.bus + i) << i);
      high_ = b;
    }
    if (strobe == 0 && lastStrobe_ == 1) {
      strobeStart_ = p.clockUs();
      if (bus) {
        std::uint16_t low = 0;
        for (int i = 0; i < 7; ++i)
          low = static_cast<std::uint16_t>(low | Level(p, l_.bus + i) << i);
        word_ = static_cast<std::uint16_t>((high_ << 7 | low) & 0x1FFF);
      } else {
        word_ = shift_;
      }
    }
    if (strobe == 1 && lastStrobe_ == 0 && read == 1) {
      if (p.clockUs() - strobeStart_ < kPulseUs) {
        ++shortPulses;
      } else if (std::uint16_t* cell = Cell()) {
        *cell &= word_;
      }
    }
  }
  lastClock_ = clock;
  lastRead_ = read;
  lastShift_ = shift;
  lastStrobe_ = strobe;
  lastHalf_ = half;
}

int Em78pChip::Drive(int pin) const {
  if (!inMode_ || lastRead_ != 0) return -1;
  const std::uint16_t w = CellValue();
  if (l_.bus != 0) {
    if (pin < l_.bus || pin >= l_.bus + 7) return -1;
    const int bits = lastHalf_ == 0 ? (w & 0x7F) : (w >> 7 & 0x3F);
    return bits >> (pin - l_.bus) & 1;
  }
  if (pin != l_.data || lastShift_ != 1 || readBit_ > 12) return -1;
  return w >> (12 - readBit_) & 1;
}

std::string_view Em78pPartOf(std::string_view chipName) {
  std::string_view best;
  for (const Part& part : kParts) {
    if (chipName.find(part.name) != std::string_view::npos && part.name.size() > best.size())
      best = part.name;
  }
  return best;
}

std::shared_ptr<Em78pChip> MakeEm78p(std::string_view part) {
  for (const Part& p : kParts) {
    if (p.name == part) return std::make_shared<Em78pChip>(p.name, p.l);
  }
  return nullptr;
}

}  // namespace zelvar::sim
