#include "algorithms/memory/GalSet.h"

#include <algorithm>
#include <string_view>

#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/Primitives.h"
#include "services/Messages.h"
#include "services/PldDocuments.h"

namespace zelvar::memory {

namespace {
// The programming voltage a caption ends with ("16.5V", "12V") agrees with the row's VPP to the
// caption's precision; a caption without one agrees with any.
bool CaptionAgreesWithVpp(std::string_view name, int millivolts) {
  if (!name.ends_with('V')) return true;
  name.remove_suffix(1);
  const std::size_t start = name.find_last_not_of("0123456789.") + 1;
  const std::string_view digits = name.substr(start);
  const std::size_t dot = digits.find('.');
  if (digits.empty() || dot == 0) return true;
  int whole = 0;
  for (char c : digits.substr(0, dot)) whole = whole * 10 + (c - '0');
  if (dot == std::string_view::npos) return millivolts / 1000 == whole;
  int tenths = 0;
  for (char c : digits.substr(dot + 1)) tenths = tenths * 10 + (c - '0');
  return digits.size() - dot == 2 && millivolts == whole * 1000 + tenths * 100;
}
}  // namespace

void CheckGalRow(const GalType& t, TypeTableReport& r, const char* bitstream) {
  if (t.packagePins != 20 && t.packagePins != 24) {
    r.Fault("package is not a 20- or 24-pin DIP");
    return;
  }
  r.DistinctSupplyPins({{"VCC", t.vccPin}, {"VPP", t.vppPin}}, {kBottomGroundPin}, 40);
  if (t.socketPin(t.packagePins) != t.vccPin) r.Fault("VCC is not the package's top pin");
  if (t.socketPin(2) != t.vppPin) r.Fault("VPP is not the package's edit pin 2");
  if (t.socketPin(t.packagePins / 2) != kBottomGroundPin) r.Fault("ground is not pin 20");
  if (t.vppMillivolts < 10000 || t.vppMillivolts > 16500) r.Fault("VPP outside 10 to 16.5 V");
  if (!CaptionAgreesWithVpp(t.name, t.vppMillivolts)) r.Fault("caption names another VPP");
  if (t.rowLength == 0 || t.rows == 0 || t.mapFuses() >= 65535) r.Fault("map size");
  const std::uint64_t package =
      SocketPins(t.socketPin(1), t.socketPin(t.packagePins / 2)) |
      SocketPins(t.socketPin(t.packagePins / 2 + 1), t.socketPin(t.packagePins));
  if ((t.contactMask & ~package) != 0) r.Fault("contact mask off the package");
  r.bitstreams.push_back(bitstream);
}

int ArchitectureFuse(int base, int bit) {
  if (bit < 4) return base + kXorFuses + bit;
  if (bit == 4) return base + kAc0Fuse;
  if (bit < 9) return base + kAc1Fuses + bit - 5;
  if (bit < 73) return base + kPtdFuses + bit - 9;
  if (bit < 77) return base + kAc1Fuses + 4 + bit - 73;
  if (bit == 77) return base + kSynFuse;
  return base + kXorFuses + 4 + bit - 78;
}

TypeFacts GalSet::Facts() const {
  const GalType& t = Type();
  return {.lastAddress = static_cast<std::uint32_t>(t.mapFuses()),
          .contactMask = t.contactMask,
          .viewKind = 1,
          .noStamps = 1};
}

bool GalSet::Run(int op) {
  switch (op) {
    case kOpErase:
      Erase();
      return true;
    case kOpBlank:
      Blank();
      return true;
    case kOpWrite:
      Write();
      return true;
    case kOpVerify:
      Verify();
      return true;
    case kOpRead:
      Read();
      return true;
    case kOpLock:
      Security();
      return true;
    default:
      return false;
  }
}

void GalSet::SetUpFuseMap() {
  const GalType& t = Type();
  SelectGndPin(kBottomGroundPin);
  SetVccVoltage(5000);
  SetVppVoltage(static_cast<int>(t.vppMillivolts));
  vccMillivolts_ = 5000;
  vppMillivolts_ = static_cast<int>(t.vppMillivolts);
  FuseMapDocument& doc = gPld.fuse;
  if (!doc.exists) {
    doc.exists = true;
    std::fill_n(gApp.CodeBuffer.begin(), std::max(kFuseMapFill, t.mapFuses()), '1');
  }
  if (t.rowLength != 0) {
    doc.rowLength = static_cast<int>(t.rowLength);
    doc.rowCount = static_cast<int>(t.rows);
  }
}

bool GalSet::MapLoaded() {
  if (gPld.fuse.exists && gPld.fuse.loaded) return true;
  ShowMessageText(kNoJedecText);
  gLink.StatusWord = 1;
  return false;
}

void GalSet::MapRead() {
  const GalType& t = Type();
  FuseMapDocument& doc = gPld.fuse;
  doc.exists = true;
  doc.rowLength = static_cast<int>(t.rowLength);
  doc.rowCount = static_cast<int>(t.rows);
  doc.fuseCount = t.arrayFuses();
  doc.loaded = true;
}

void GalSet::PowerDown() {
  SelectVppPin(0);
  SelectVccPin(0);
  FlushCommands();
}

void GalSet::FailAt(int fuse, char read) {
  PowerDown();
  gLink.StatusWord = 1;
  gLink.FailAddress = static_cast<std::uint32_t>(fuse);
  gLink.FailByte = static_cast<std::uint8_t>(read);
}

}  // namespace zelvar::memory
