#include "sim/chips/Sm59.h"

namespace zelvar::sim {

namespace {
constexpr int kVdd = 40, kVss = 20, kRst = 9, kEa = 31, kStrobe = 12, kP0First = 39;
constexpr double kResetUs = 10000;
}  // namespace

bool Sm59Chip::Powered(const Programmer& p) const {
  const int vdd = p.SupplyMillivolts(p.SocketPinOf(kVdd));
  return vdd >= 4500 && vdd <= 5500 && p.IsGround(p.SocketPinOf(kVss));
}

int Sm59Chip::Level(const Programmer& p, int chipPin) const {
  return p.InputMillivolts(p.SocketPinOf(chipPin)) >= 2000 ? 1 : 0;
}

void Sm59Chip::OnPins(Programmer& p) {
  const int rst = Level(p, kRst), strobe = Level(p, kStrobe);
  if (!Powered(p)) {
    ispMode = false;
    matched_ = -1;
    rstRose_ = -1;
  } else {
    if (rst == 1 && lastRst_ == 0) rstRose_ = p.clockUs();
    if (rst == 0 && lastRst_ == 1) {
      const bool held = rstRose_ >= 0 && p.clockUs() - rstRose_ >= kResetUs;
      matched_ = held && Level(p, kEa) == 1 ? 0 : -1;
    }
    std::uint8_t b = 0;
    for (int i = 0; i < 8; ++i) {
      if (Level(p, kP0First - i)) b |= static_cast<std::uint8_t>(1u << i);
    }
    if (strobe == 1 && lastStrobe_ == 0) strobed.push_back(b);
    if (strobe == 1 && lastStrobe_ == 0 && matched_ >= 0 && !ispMode) {
      matched_ = b == kEntry[static_cast<std::size_t>(matched_)] ? matched_ + 1 : -1;
      if (matched_ == static_cast<int>(kEntry.size())) {
        ispMode = true;
        ++entries;
        matched_ = -1;
      }
    }
  }
  lastRst_ = rst;
  lastStrobe_ = strobe;
}

std::string_view Sm59IspPartOf(std::string_view chipName) {
  return chipName.find("SM59R16A2") != std::string_view::npos ? "SM59R16A2" : "";
}

std::shared_ptr<Sm59Chip> MakeSm59Isp(std::string_view part) {
  return part == "SM59R16A2" ? std::make_shared<Sm59Chip>() : nullptr;
}

}  // namespace zelvar::sim
