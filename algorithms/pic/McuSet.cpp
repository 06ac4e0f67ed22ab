#include "algorithms/pic/McuSet.h"

#include "link/Bitstream.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "services/Messages.h"
#include "services/Services.h"

namespace zelvar::pic {

namespace {
using line_refusal::kNoFla;
using line_refusal::kNoPackage;
using line_refusal::kTooLarge;
constexpr const char* kNoEe =
    "No data EEPROM size (ee=) in the device list! *器件列表缺少数据EEPROM容量(ee=)!";
// The largest data area the buffer holds after 0x4200 for these parts.
constexpr std::uint32_t kMaxData = 0x1000;
}  // namespace

void CheckMcuRow(const McuType& t, TypeTableReport& r) {
  if (t.vccPin == 0) {
    if (t.vppPin != 0 || t.contactMask != 0 || t.lastAddress != 0)
      r.Fault("sizes or pins on a row without a VCC pin");
    return;
  }
  r.DistinctSupplyPins({{"VCC", t.vccPin}, {"VPP", t.vppPin}, {"ground", t.groundPin}}, {}, 40);
  r.MaskInSocket(t.contactMask, 40);
  for (int pin : {t.vccPin, t.groundPin}) {
    if ((t.contactMask >> (pin - 1) & 1) == 0) r.Fault("a supply pin outside the contact pins");
  }
  r.SizeIsPowerOfTwo(static_cast<std::uint32_t>(t.lastAddress));
  if (static_cast<std::uint32_t>(t.lastAddress) >= kDataStart)
    r.Fault("program words reach the data area");
  if (t.eepromLast > 0) r.SizeIsPowerOfTwo(static_cast<std::uint32_t>(t.eepromLast));
}

void McuSet::UsePackage(const McuPackage& p) {
  Services& s = services();
  if (p.picture[0] != '\0' || p.placePins != 0) {
    PlacementRequest place;
    place.file = p.picture;
    place.pins = p.placePins;
    place.firstRow = p.placeRow;
    place.pin1Side = p.pin1Side;
    s.ShowPlacement(place);
  }
  LoadBitstream(p.bitstream);
  row_.vppPin = p.vppPin;
  row_.vccPin = p.vccPin;
  row_.groundPin = p.groundPin;
  row_.contactMask = p.contactMask;
}

const McuPackage* McuSet::PackageFor(int pkg) const {
  for (const McuPackage& p : Packages()) {
    if (p.pkg == pkg) return &p;
  }
  return nullptr;
}

const McuPackage* McuSet::IspOrPackage() const {
  Services& s = services();
  if (s.ChipParam("isp=") != 0) {
    s.ShowIspWiring(IspLegend());
    return IspPackage();
  }
  return PackageFor(s.ChipParam("pkg="));
}

void McuSet::SetUpSupplies(int vccMillivolts, int vppMillivolts) {
  gApp.GroundPin = row_.groundPin;
  gApp.PinMask = row_.contactMask;
  SelectVppPin(0);
  SelectGndPin(row_.groundPin);
  vccMillivolts_ = vccMillivolts;
  SetVccVoltage(vccMillivolts_);
  vppMillivolts_ = vppMillivolts;
  SetVppVoltage(vppMillivolts_);
  SelectVppPin(0);
}

void McuSet::Init() {
  BeginSetup();
  const auto types = Types();
  if (!AcceptRow(static_cast<int>(types.size()))) return;
  row_ = types[static_cast<std::size_t>(gApp.TypeIndex)];
  if (row_.vccPin == 0) return Refuse(frame::kNoSuchType);
  Services& s = services();
  delay_ = 0;
  const McuPackage* chosen = nullptr;
  if (SizesFromLine()) {
    const int fla = s.ChipParam("fla=");
    const int ee = s.ChipParam("ee=");
    // Without "fla=" the last address would be -1 and every operation would pass untouched;
    // without "ee=" a chip with data EEPROM would be erased as one without.
    if (fla <= 0) return Refuse(kNoFla);
    if (row_.eepromLast > 0 && ee <= 0) return Refuse(kNoEe);
    if (static_cast<std::uint32_t>(fla) * 2 > kDataStart ||
        static_cast<std::uint32_t>(ee) > kMaxData)
      return Refuse(kTooLarge);
    row_.lastAddress = fla * 2 - 1;
    row_.eepromLast = ee - 1;
    delay_ = s.ChipParam("dly=");
    const int pkg = s.ChipParam("pkg=");
    if (IspPackage() != nullptr && s.ChipParam("isp=") != 0) {
      s.ShowIspWiring(IspLegend());
      chosen = IspPackage();
    } else {
      chosen = PackageFor(pkg);
    }
  } else {
    for (const McuPackage& p : Packages()) {
      if (p.vccPin == row_.vccPin && chosen == nullptr) chosen = &p;
    }
  }
  if (const McuPackage* named = NamedPackage()) chosen = named;
  // A package without wiring would put the programming voltage on whatever pin the row names.
  if (chosen == nullptr) return Refuse(kNoPackage);
  if (SizesFromLine() || chosen == NamedPackage()) {
    UsePackage(*chosen);
  } else {
    LoadBitstream(chosen->bitstream);
  }
  SetUpSupplies(SetupVccMillivolts(), SetupVppMillivolts());
  AfterSetup();
}

bool McuSet::EnterChecked() const {
  Enter();
  return CheckPower();
}

}  // namespace zelvar::pic
