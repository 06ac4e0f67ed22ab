#include "sim/chips/Chips.h"

#include "sim/chips/Eprom.h"
#include "sim/chips/Mcs51.h"

namespace zelvar::sim {

std::shared_ptr<ChipModel> MakeChip(std::string_view part) {
  if (auto eprom = MakeEprom(part)) return eprom;
  return MakeMcs51(part);
}

std::string_view ChipPartOf(std::string_view chipName) {
  const std::string_view eprom = EpromPartOf(chipName);
  const std::string_view mcs51 = Mcs51PartOf(chipName);
  return mcs51.size() > eprom.size() ? mcs51 : eprom;
}

}  // namespace zelvar::sim
