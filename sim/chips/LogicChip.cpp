#include "sim/chips/LogicChip.h"

#include <cctype>

namespace zelvar::sim {

namespace {

using logic::Level;

// Supply ranges from the families' datasheets: standard and LS TTL 4.5 to 5.5 V (7 V absolute),
// HC 2 to 6 V (7 V), the 4000 series 3 to 18 V (20 V).
logic::SupplyRange RangeOf(std::string_view library, std::string_view tech) {
  if (library != "TTL74") return {3000, 18000, 20000};
  if (tech == "HC" || tech == "AC" || tech == "LV" || tech == "LVC") return {2000, 6000, 7000};
  return {4500, 5500, 7000};
}

}  // namespace

LogicChip::LogicChip(std::string name, const logic::ChipDef& def, logic::SupplyRange supply,
                     int stuckPin, int stuckLevel)
    : name_(std::move(name)),
      def_(def),
      supply_(supply),
      stuckPin_(stuckPin),
      stuckLevel_(stuckLevel) {}

void LogicChip::OnPins(Programmer& p) {
  const int vcc = p.SupplyMillivolts(p.SocketPinOf(def_.VccPin()));
  const bool grounded = p.IsGround(p.SocketPinOf(def_.GroundPin()));
  const bool powered = grounded && vcc >= supply_.minMv && vcc <= supply_.maxMv;
  if (!powered) {
    powered_ = false;
    eval_.reset();
    return;
  }
  if (!powered_) {
    // Each power-up finds the state somewhere new.
    eval_ = std::make_unique<logic::Evaluator>(def_, false, ++powerUps_);
    powered_ = true;
  }
  // Inputs switch at half the supply; a pin nothing drives floats high.
  std::vector<Level> in(def_.pins + 1, logic::L1);
  for (int k = 1; k <= def_.pins; ++k) {
    const int mv = p.InputMillivolts(p.SocketPinOf(k));
    in[k] = mv >= 0 && mv * 2 < vcc ? logic::L0 : logic::L1;
  }
  eval_->Apply(in);
}

int LogicChip::Drive(int pin) const {
  if (!powered_) return -1;
  if (pin == stuckPin_) return stuckLevel_;
  const Level v = eval_->Out(pin);
  return v == logic::L0 ? 0 : v == logic::L1 ? 1 : -1;
}

std::shared_ptr<LogicChip> MakeLogicChip(std::string_view part) {
  std::string name(part);
  bool stuck = false;
  if (const auto colon = name.find(':'); colon != std::string::npos) {
    if (name.substr(colon) != ":stuck") return nullptr;
    stuck = true;
    name.erase(colon);
  }
  std::string s = name;
  for (auto& ch : s) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  if (s.rfind("CD", 0) == 0) s.erase(0, 2);
  std::string library, tech, digits;
  std::size_t i = 0;
  if (s.rfind("74", 0) == 0) {
    library = "TTL74";
    i = 2;
    while (i < s.size() && std::isalpha(static_cast<unsigned char>(s[i]))) tech += s[i++];
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) digits += s[i++];
    if (i != s.size() || digits.empty() || digits.size() > 3) return nullptr;
  } else {
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) digits += s[i++];
    // A 4000-series suffix (B, UB, BE) names the package and grade, not the logic.
    const std::string suffix = s.substr(i);
    if (!(suffix.empty() || suffix == "B" || suffix == "UB" || suffix == "BE")) return nullptr;
    if (digits.size() < 4 || digits.size() > 5) return nullptr;
    if (digits.rfind("40", 0) == 0) library = "CMOS40";
    if (digits.rfind("45", 0) == 0) library = "CMOS45";
    if (library.empty()) return nullptr;
    digits.erase(0, 2);
  }
  const logic::ChipDef* def = logic::FindChip(library, std::stoi(digits));
  if (!def) return nullptr;
  const auto outputs = def->Outputs();
  const int stuckPin = stuck && !outputs.empty() ? outputs.front() : 0;
  return std::make_shared<LogicChip>(std::string(part), *def, RangeOf(library, tech), stuckPin, 0);
}

}  // namespace zelvar::sim
