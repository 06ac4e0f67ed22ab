#include "algorithms/pic/P16C61.h"

#include "link/LinkState.h"
#include "services/Services.h"

namespace zelvar::pic {

void P16C61::CheckRow(const PicType& t, TypeTableReport& r) {
  CheckMcuRow(t, r);
  for (const PicPackage& p : p16c61::kPackages) r.bitstreams.emplace_back(p.bitstream);
  r.bitstreams.emplace_back(kPlcc44.bitstream);
  r.bitstreams.emplace_back(kQfp44.bitstream);
}

const PicPackage* P16C61::NamedPackage() const {
  Services& s = services();
  if (s.ChipNameContains("*P44")) return &kPlcc44;
  if (s.ChipNameContains("*Q44")) return &kQfp44;
  return nullptr;
}

int P16C61::ProgramTicks() const {
  // "100 uS", "200u S", "300 uS": one to three pulse steps.
  const auto choice = static_cast<int>(Word(129));
  return choice >= 0 && choice <= 2 ? choice + 1 : 1;
}

std::uint16_t P16C61::ConfigWord() const {
  // The oscillator radio's item is FOSC1:FOSC0 (LP, XT, HS, RC).
  return static_cast<std::uint16_t>((ConfigToWrite() & ~3u) | (Word(128) & 3u));
}

void P16C61::ReadConfig() {
  IcspSet::ReadConfig();
  if (gLink.StatusWord == 0) SetWord(128, keptConfig_ & 3u);
}

}  // namespace zelvar::pic
