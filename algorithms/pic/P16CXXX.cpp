#include "algorithms/pic/P16CXXX.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "link/Bitstream.h"
#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/Primitives.h"
#include "link/commands/PicIcsp.h"
#include "services/AppState.h"
#include "services/Messages.h"
#include "services/Services.h"

namespace zelvar::pic {

namespace {
using line_refusal::kNoFla;
using line_refusal::kNoPackage;
using line_refusal::kTooLarge;
}  // namespace

void P16CXXX::CheckRow(const PicType& t, TypeTableReport& r) {
  CheckMcuRow(t, r);
  for (const p16cxxx::Stage& s : p16cxxx::kStages) {
    if (s.first != nullptr) r.bitstreams.emplace_back(s.first);
    r.bitstreams.emplace_back(s.bitstream);
  }
}

void P16CXXX::Init() {
  calibrated_ = false;
  BeginSetup();
  if (!AcceptRow(static_cast<int>(kTypes.size()))) return;
  row_ = kTypes[static_cast<std::size_t>(gApp.TypeIndex)];
  if (row_.vccPin == 0) return Refuse(frame::kNoSuchType);
  Services& s = services();
  const int pkg = s.ChipParam("pkg=");
  const p16cxxx::Stage* stage = nullptr;
  for (const p16cxxx::Stage& st : p16cxxx::kStages) {
    if (st.pkg == pkg && stage == nullptr) stage = &st;
  }
  // Without a known package the row's pins would get VPP with no design wired to them.
  if (stage == nullptr) return Refuse(kNoPackage);
  calibrated_ = pkg == 8;
  // Without "fla=" every handler would pass without touching a word.
  const int fla = s.ChipParam("fla=");
  if (fla <= 0) return Refuse(kNoFla);
  if (static_cast<std::uint32_t>(fla) * 2 > kDataStart) return Refuse(kTooLarge);
  if (stage->first != nullptr) LoadBitstream(stage->first);
  if (stage->picture[0] != '\0') {
    PlacementRequest place;
    place.file = stage->picture;
    s.ShowPlacement(place);
  }
  LoadBitstream(stage->bitstream);
  row_.vppPin = stage->vppPin;
  row_.vccPin = stage->vccPin;
  row_.groundPin = stage->groundPin;
  // The package's own pins; none (no contact test) where it names none, never an earlier
  // chip's.
  row_.contactMask = stage->contactMask;
  row_.lastAddress = fla * 2 - 1;
  delay_ = 0;
  gApp.GroundPin = row_.groundPin;
  gApp.PinMask = row_.contactMask;
  SelectVppPin(0);
  SelectGndPin(row_.groundPin);
  vppMillivolts_ = 12000;
  SetVppVoltage(vppMillivolts_);
  PutCmd1(pic_icsp::kCmdLongWait);
  vccMillivolts_ = 5000;
  SetVccVoltage(vccMillivolts_);
  FlushCommands();
}

std::uint16_t P16CXXX::ConfigWord() const {
  // Grid bit b of word 0 is the chip's bit 15 - b; a chip bit without a row stays erased.
  const int group = services().ChipParam("cfg=");
  std::uint16_t word = 0x3FFF;
  bool inGroup = false;
  for (const char* entry : ConfigTable()) {
    if (std::strncmp(entry, "$end", 4) == 0) break;
    if (std::isdigit(static_cast<unsigned char>(entry[0])) != 0) {
      inGroup = std::atoi(entry) == group;
      continue;
    }
    const char* b = std::strstr(entry, ",b=");
    if (!inGroup || b == nullptr || std::strstr(entry, ",a=0,") == nullptr) continue;
    const int gridBit = std::atoi(b + 3);
    const int chipBit = 15 - gridBit;
    if (gridBit < 0 || chipBit < 0 || chipBit > 13) continue;
    if ((Word(0) >> gridBit & 1u) == 0) word = static_cast<std::uint16_t>(word & ~(1u << chipBit));
  }
  return word;
}

void P16CXXX::ReadConfig() {
  if (!EnterChecked()) return;
  std::uint16_t words[8];
  ReadConfigSpace(Policy().readConfigLoad, words);
  SuppliesOff();
  keptId_ = static_cast<std::uint16_t>((words[0] & 15) << 12 | (words[1] & 15) << 8 |
                                       (words[2] & 15) << 4 | (words[3] & 15));
  keptConfig_ = words[7];
  char line[48];
  std::snprintf(line, sizeof line, "Config:%04x, user ID:%04x", keptConfig_, keptId_);
  AddMessageLine(line);
}

}  // namespace zelvar::pic
