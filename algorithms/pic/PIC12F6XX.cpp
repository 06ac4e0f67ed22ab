// The steps in which "PIC12F6XX" and "PIC12F" differ.
#include "algorithms/pic/PIC12F6XX.h"

#include <cstdio>

#include "algorithms/pic/PIC12F.h"
#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/Primitives.h"
#include "services/Messages.h"

namespace zelvar::pic {

namespace {
constexpr std::uint8_t kBeginProgramming = 0x08;
}  // namespace

std::span<const McuPackage> PIC12F6XX::Packages() const {
  if (gLink.ModelNumber >= 6300) return pic12f6xx::kPackages6300;
  return pic12f6xx::kPackages;
}

void PIC12F6XX::EraseTrailer() const {
  PutCmd1(kCmdSettle);
  PutCmd1(kCmdSettle);
}

std::span<const McuPackage> PIC12F::Packages() const {
  if (gLink.ModelNumber >= 6300) return pic12f6xx::kPackages6300;
  return pic12f6xx::kPackages;
}

void PIC12F::EraseTrailer() const {
  Command(kBeginProgramming);
  PutCmd1(kCmdSettle);
}

void PIC12F::ReadConfig() {
  if (!EnterChecked()) return;
  std::uint16_t words[8];
  ReadConfigSpace(0x00FF, words);
  keptId_ = static_cast<std::uint16_t>((words[0] & 15) << 12 | (words[1] & 15) << 8 |
                                       (words[2] & 15) << 4 | (words[3] & 15));
  keptConfig_ = words[7];
  SetWord(0, keptConfig_);
  SetWord(64, keptId_);
  SetWord(65, words[6]);
  SuppliesOff();
  char line[48];
  std::snprintf(line, sizeof line, "Config = %04X,UserID = %04X", keptConfig_, keptId_);
  AddMessageLine(line);
}

}  // namespace zelvar::pic
