#include "sim/chips/ChipModels.h"

#include <array>

#include "sim/chips/Eprom.h"
#include "sim/chips/Intel28F.h"
#include "sim/chips/JedecFlash.h"
#include "sim/chips/StaticRam.h"

namespace zelvar::sim {

namespace {
constexpr std::array<std::string_view, 19> kOtherParts = {
    "AM29F010",   "AM29F040",   "AT49F010", "AT49F020", "AT49F040", "MX29F040", "SST39SF010",
    "SST39SF040", "SST39VF010", "28F256",   "28F512",   "28F010",   "28F020",   "DS1220AB",
    "DS1225AB",   "DS1230Y",    "DS1245Y",  "DS1249Y",  "DS1250Y"};
}  // namespace

std::shared_ptr<ChipModel> MakeChipModel(std::string_view chipName) {
  std::string_view best = EpromPartOf(chipName);
  bool eprom = !best.empty();
  for (std::string_view part : kOtherParts) {
    if (part.size() > best.size() && chipName.find(part) != std::string_view::npos) {
      best = part;
      eprom = false;
    }
  }
  if (best.empty()) return nullptr;
  if (eprom) return MakeEprom(best);
  if (auto c = MakeJedecFlash(best)) return c;
  if (auto c = MakeIntel28F(best)) return c;
  return MakeStaticRam(best);
}

}  // namespace zelvar::sim
