#include "sim/chips/Chips.h"

#include "sim/chips/Eprom.h"
#include "sim/chips/Mcs51.h"
#include "sim/chips/Rx2.h"

namespace zelvar::sim {

std::shared_ptr<ChipModel> MakeChip(std::string_view part) {
  if (auto eprom = MakeEprom(part)) return eprom;
  if (auto rx2 = MakeRx2(part)) return rx2;
  return MakeMcs51(part);
}

std::string_view ChipPartOf(std::string_view chipName) {
  std::string_view best;
  for (std::string_view part :
       {EpromPartOf(chipName), Mcs51PartOf(chipName), Rx2PartOf(chipName)}) {
    if (part.size() > best.size()) best = part;
  }
  return best;
}

}  // namespace zelvar::sim
