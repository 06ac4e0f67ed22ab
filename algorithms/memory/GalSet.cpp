#include "algorithms/memory/GalSet.h"

namespace zelvar::memory {

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

}  // namespace zelvar::memory
