#include "sim/chips/ChipModels.h"

#include <array>

#include "sim/chips/AndFlash.h"
#include "sim/chips/At89cx051.h"
#include "sim/chips/AvrHvParallel.h"
#include "sim/chips/AvrHvSerial.h"
#include "sim/chips/AvrSpi.h"
#include "sim/chips/BootBlock28F.h"
#include "sim/chips/C8051Tap.h"
#include "sim/chips/Cr80p.h"
#include "sim/chips/Dspic30.h"
#include "sim/chips/Em78p.h"
#include "sim/chips/Eprom.h"
#include "sim/chips/FirmwareHub.h"
#include "sim/chips/Gal.h"
#include "sim/chips/Ht48Otp.h"
#include "sim/chips/I2cEeprom.h"
#include "sim/chips/Intel28F.h"
#include "sim/chips/Is89c52.h"
#include "sim/chips/JedecFlash.h"
#include "sim/chips/Lp76x.h"
#include "sim/chips/Lpc9xx.h"
#include "sim/chips/M4a5.h"
#include "sim/chips/Mcs51.h"
#include "sim/chips/Mcs51Eprom.h"
#include "sim/chips/Mdt10p.h"
#include "sim/chips/Mdt20xx.h"
#include "sim/chips/Microwire93.h"
#include "sim/chips/Microwire93s.h"
#include "sim/chips/ModeFlash51.h"
#include "sim/chips/Msu29.h"
#include "sim/chips/P97c2051.h"
#include "sim/chips/PageEeprom.h"
#include "sim/chips/PageFlash16.h"
#include "sim/chips/PhiRx2.h"
#include "sim/chips/Pic12.h"
#include "sim/chips/Pic14.h"
#include "sim/chips/Pic14Eprom.h"
#include "sim/chips/Pic16c5x.h"
#include "sim/chips/Pic17.h"
#include "sim/chips/Pic18.h"
#include "sim/chips/PinMode51.h"
#include "sim/chips/Pld22v10.h"
#include "sim/chips/Rx2.h"
#include "sim/chips/S3f9.h"
#include "sim/chips/SectorFlash.h"
#include "sim/chips/Sm59.h"
#include "sim/chips/Sm894051.h"
#include "sim/chips/Sn8p.h"
#include "sim/chips/SpiMemory.h"
#include "sim/chips/Sst28sf.h"
#include "sim/chips/Sst89.h"
#include "sim/chips/StaticRam.h"
#include "sim/chips/Stc12.h"
#include "sim/chips/SyncMos.h"
#include "sim/chips/Tp28.h"
#include "sim/chips/W7851.h"
#include "sim/chips/W78e516.h"
#include "sim/chips/W79e.h"
#include "sim/chips/WordSerial.h"
#include "sim/chips/Xc95.h"

namespace zelvar::sim {

namespace {
constexpr std::array<std::string_view, 33> kOtherParts = {
    "AM29F010",   "AM29F040",   "AT49F010",   "AT49F020",   "AT49F040",   "MX29F040",
    "SST39SF010", "SST39SF020", "SST39VF512", "SST39VF020", "SST39VF040", "SST29SF040",
    "SST28SF040", "SST28VF040", "SST39SF040", "SST39VF010", "28F256",     "28F512",
    "28F010",     "28F020",     "DS1220AB",   "DS1225AB",   "DS1230Y",    "DS1245Y",
    "DS1249Y",    "DS1250Y",    "28F001BX-T", "28F001BX-B", "V29C51001T", "V29C51002T",
    "V29C51004T", "W79E2051",   "W79E8213"};
// The page-write flash and the parallel EEPROMs.
constexpr std::array<std::string_view, 18> kPageParts = {
    "SST29EE512", "SST29EE010", "SST29EE020", "AT29C256", "AT29C512", "AT29C010A",
    "AT29C020",   "AT29C040A",  "AT28C256",   "AT28C64B", "AT28C010", "AT28C040",
    "HN58C65",    "2816A",      "2817A",      "X2864A",   "AT28C64",  "X28C256"};

// Catalogue names that stand for a model of another name: the same part under a maker's prefix,
// an ordering code, a revision letter or the set's own suffix. Package variants ("*P44",
// "(PLCC44)", "(ISP)") are not here: a DIP model does not stand for a chip on an adapter or on the
// user's board, so those lines seat nothing unless a model is written for that package.
constexpr std::pair<std::string_view, std::string_view> kCatalogueNames[] = {
    // EPROMs of the JEDEC pinouts whose maker's signature is not modelled.
    {"27C512A", "27C512"},
    {"M2716", "2716"},
    {"M2732A", "2732A"},
    {"M2764A", "2764A"},
    {"M27128A", "27128A"},
    {"M27256", "27256"},
    {"M27512", "27512"},
    {"M27C64A", "27C64"},
    {"MX27C256", "27C256"},
    {"MX27C512", "27C512"},
    {"NM27C010", "27C010"},
    {"NM27C020", "27C020"},
    {"NM27C040", "27C040"},
    {"NM27C256", "27C256"},
    {"NM27C512", "27C512"},
    {"TMS27C010A", "27C010"},
    {"TMS27C020", "27C020"},
    {"TMS27C040", "27C040"},
    {"TMS27C256", "27C256"},
    {"TMS27C512", "27C512"},
    {"AT27C256R", "AT27C256"},
    // Flash and EEPROMs.
    {"28F256A", "28F256"},
    {"28F001BX-T(F640)", "28F001BX-T"},
    {"28F001BX-B(F640)", "28F001BX-B"},
    {"SST39VF040(P29F640)", "SST39VF040"},
    {"SST28SF040A", "SST28SF040"},
    {"SST28VF040A", "SST28VF040"},
    {"SST39SF010A", "SST39SF010"},
    {"SST39SF020A", "SST39SF020"},
    {"N82802AB", "82802AB"},
    {"N82802AC", "82802AC"},
    {"X2817A", "2817A"},
    // Xicor's byte-write parts, whose own sheets were not to hand (PageEeprom.h).
    {"X28C16", "2816A"},
    {"X28C17", "2817A"},
    // Serial EEPROMs (the x16 lines are the same chips with ORG high).
    {"AT24C01A", "24C01A"},
    {"AT24C02", "24C02"},
    {"AT24C04", "24C04"},
    {"AT24C08", "24C08"},
    {"AT24C16", "24C16"},
    {"AT24C32", "24C32"},
    {"AT24C64", "24C64"},
    {"AT24C128", "24C128"},
    {"AT24C256", "24C256"},
    {"AT24C512", "24C512"},
    {"AT24C1024", "24C1024"},
    {"AT25F512A", "AT25F512"},
    {"AT93C46", "93C46"},
    {"AT93C56", "93C56"},
    {"AT93C57", "93C57"},
    {"AT93C66", "93C66"},
    {"AT93C76", "93C76"},
    {"AT93C86", "93C86"},
    {"AT93C46(x16)", "93C46"},
    {"AT93C56(x16)", "93C56"},
    {"AT93C66(x16)", "93C66"},
    {"AT93C76(x16)", "93C76"},
    {"AT93C86(x16)", "93C86"},
    {"M93S46", "93S46"},
    {"M93S56", "93S56"},
    {"M93S66", "93S66"},
    {"NM93CS46", "93S46"},
    {"NM93CS56", "93S56"},
    {"NM93CS66", "93S66"},
    // Simple PLDs: the A and D kinds program as the B kind at 12 V.
    {"GAL16V8A", "GAL16V8B"},
    {"GAL16V8D", "GAL16V8B"},
    {"GAL20V8A", "GAL20V8B"},
    {"ATF16V8B", "ATF16V8"},
    {"ATF20V8B", "ATF20V8"},
    {"GAL22V10", "ATF22V10B"},
    {"ATF22V10C", "ATF22V10B"},
    // Microcontrollers: ordering codes, revisions and the sets' suffixes on DIP lines.
    {"AT89C51RC2", "T89C51RC2"},
    {"SM89D02G2", "SM89D02"},
    {"SM89D04G2", "SM89D04"},
    {"SST89C54-33-C-PI", "SST89C54"},
    {"SST89C58-33-C-PI", "SST89C58"},
    {"SST89E554RC-40-C-PI", "SST89E554RC"},
    {"SST89E564RD-40-C-PI", "SST89E564RD"},
    {"SST89V554RC-33-C-PI", "SST89V554RC"},
    {"SST89V564RD-33-C-PI", "SST89V564RD"},
    {"P89C51RA2HBP", "P89C51RA2"},
    {"P89C51RB2HBP", "P89C51RB2"},
    {"P89C51RC2HBP", "P89C51RC2"},
    {"P89C51RD2HBP", "P89C51RD2"},
    {"W78E51B", "W78E51"},
    {"W78E52B", "W78E52"},
    {"W78E54B", "W78E54"},
    {"HT48R05A-1(18DIP)", "HT48R05A-1"},
    {"HT48R06A-1(18DIP)", "HT48R06A-1"},
    {"MDT10P53A1(8PIN)", "MDT10P53"},
    {"MDT10P53A2(8PIN)", "MDT10P53"},
    {"MDT10P55A1", "MDT10P55"},
    {"MDT10P55A2", "MDT10P55"},
    {"PIC12F508(P12F508)", "PIC12F508"},
    {"PIC12F509(P12F508)", "PIC12F509"},
    {"PIC12F510(P12F508)", "PIC12F510"},
    {"PIC12F629(12F)", "PIC12F629"},
    {"PIC12F629(6XX)", "PIC12F629"},
    {"PIC12F675(12F)", "PIC12F675"},
    {"PIC12F675(6XX)", "PIC12F675"},
    {"ATmega64*TQFP64", "ATmega64"},
    {"ATmega128*TQFP64", "ATmega128"},
};

// The catalogue name without the maker: "AMD: AM29F040", a line's head "EEP AMD AM29F040" and
// "AM29F040" give "AM29F040".
std::string_view BareName(std::string_view chipName) {
  if (const std::size_t colon = chipName.find(": "); colon != std::string_view::npos)
    return chipName.substr(colon + 2);
  const std::size_t blank = chipName.rfind(' ');
  return blank == std::string_view::npos ? chipName : chipName.substr(blank + 1);
}

std::shared_ptr<ChipModel> MakeNamedModel(std::string_view name);
}  // namespace

std::shared_ptr<ChipModel> MakeChipModel(std::string_view chipName) {
  std::string_view name = BareName(chipName);
  for (const auto& [listed, part] : kCatalogueNames) {
    if (listed == name) return MakeNamedModel(part);
  }
  // The PIC16C6x/7x lines name their set after the part.
  if (name.ends_with("(P16CXXX)")) name.remove_suffix(9);
  return MakeNamedModel(name);
}

namespace {
std::shared_ptr<ChipModel> MakeNamedModel(std::string_view chipName) {
  // The families that name their own parts, then the rest by the table above.
  enum class Family {
    kNone,
    kEprom,
    kMcs51,
    kRx2,
    kPhiRx2,
    kI2c,
    kSpi,
    kMicrowire,
    kMicrowire93s,
    kAvrHvParallel,
    kAvrHvSerial,
    kWordSerial,
    kPic14,
    kPic12,
    kPic16c5x,
    kPic17,
    kPic18,
    kDspic30,
    kSyncMos,
    kSm894051,
    kPinMode51,
    kMsu29,
    kTp28,
    kLpc9xx,
    kLp76x,
    kStc12,
    kSm59,
    kAvrSpi,
    kFirmwareHub,
    kSectorFlash,
    kPageFlash16,
    kMdt20xx,
    kMdt10p,
    kEm78p,
    kJtagXc95,
    kJtagM4a5,
    kJtagC8051,
    kPic14Eprom,
    kOther
  } family = Family::kNone;
  std::string_view best;
  // A family's part only where it is the name itself.
  const auto consider = [&](std::string_view part, Family f) {
    if (part == chipName && part.size() > best.size()) {
      best = part;
      family = f;
    }
  };
  consider(EpromPartOf(chipName), Family::kEprom);
  consider(Mcs51PartOf(chipName), Family::kMcs51);
  consider(Rx2PartOf(chipName), Family::kRx2);
  consider(PhiRx2PartOf(chipName), Family::kPhiRx2);
  consider(I2cPartOf(chipName), Family::kI2c);
  consider(SpiPartOf(chipName), Family::kSpi);
  consider(MicrowirePartOf(chipName), Family::kMicrowire);
  consider(Microwire93sPartOf(chipName), Family::kMicrowire93s);
  consider(AvrHvParallelPartOf(chipName), Family::kAvrHvParallel);
  consider(AvrHvSerialPartOf(chipName), Family::kAvrHvSerial);
  consider(WordSerialPartOf(chipName), Family::kWordSerial);
  consider(Pic14PartOf(chipName), Family::kPic14);
  consider(Pic12PartOf(chipName), Family::kPic12);
  consider(Pic16c5xPartOf(chipName), Family::kPic16c5x);
  consider(Pic17PartOf(chipName), Family::kPic17);
  consider(Pic18PartOf(chipName), Family::kPic18);
  consider(Dspic30PartOf(chipName), Family::kDspic30);
  consider(SyncMosPartOf(chipName), Family::kSyncMos);
  consider(Sm894051PartOf(chipName), Family::kSm894051);
  consider(PinMode51PartOf(chipName), Family::kPinMode51);
  consider(Msu29PartOf(chipName), Family::kMsu29);
  consider(Tp28PartOf(chipName), Family::kTp28);
  consider(Lpc9xxPartOf(chipName), Family::kLpc9xx);
  consider(Lp76xPartOf(chipName), Family::kLp76x);
  consider(Stc12PartOf(chipName), Family::kStc12);
  consider(Sm59IspPartOf(chipName), Family::kSm59);
  consider(AvrSpiPartOf(chipName), Family::kAvrSpi);
  consider(FirmwareHubPartOf(chipName), Family::kFirmwareHub);
  consider(SectorFlashPartOf(chipName), Family::kSectorFlash);
  consider(PageFlash16PartOf(chipName), Family::kPageFlash16);
  consider(Mdt20xxPartOf(chipName), Family::kMdt20xx);
  consider(Mdt10pPartOf(chipName), Family::kMdt10p);
  consider(Em78pPartOf(chipName), Family::kEm78p);
  consider(Xc95PartOf(chipName), Family::kJtagXc95);
  consider(M4a5PartOf(chipName), Family::kJtagM4a5);
  consider(C8051TapPartOf(chipName), Family::kJtagC8051);
  consider(Pic14EpromPartOf(chipName), Family::kPic14Eprom);
  consider(At89cx051PartOf(chipName), Family::kOther);
  consider(Sn8pPartOf(chipName), Family::kOther);
  consider(S3f9PartOf(chipName), Family::kOther);
  consider(Cr80pPartOf(chipName), Family::kOther);
  consider(Ht48OtpPartOf(chipName), Family::kOther);
  consider(Mcs51EpromPartOf(chipName), Family::kOther);
  consider(W78e516PartOf(chipName), Family::kOther);
  consider(Sst89PartOf(chipName), Family::kOther);
  consider(ModeFlash51PartOf(chipName), Family::kOther);
  consider(Is89c52PartOf(chipName), Family::kOther);
  consider(W7851PartOf(chipName), Family::kOther);
  consider(P97c2051PartOf(chipName), Family::kOther);
  consider(AndFlashPartOf(chipName), Family::kOther);
  for (std::string_view part : kOtherParts) consider(part, Family::kOther);
  consider("W79E225", Family::kOther);
  consider("W79E825", Family::kOther);
  for (std::string_view part : kPageParts) consider(part, Family::kOther);
  consider("X5045(14pin)", Family::kSpi);
  consider("X5043(14pin)", Family::kSpi);
  if (chipName == "ATF22V10B") return std::make_shared<Pld22v10>();
  if (auto gal = MakeGal(chipName)) return gal;
  switch (family) {
    case Family::kNone:
      return nullptr;
    case Family::kEprom:
      return MakeEprom(best);
    case Family::kMcs51:
      return MakeMcs51(best);
    case Family::kRx2:
      return MakeRx2(best);
    case Family::kPhiRx2:
      return MakePhiRx2(best);
    case Family::kI2c:
      return MakeI2cEeprom(best);
    case Family::kSpi:
      // The supervisors' 14-lead package is named in the catalogue line.
      if (best.ends_with("(14pin)")) return MakeSpiMemory(best.substr(0, 5), kX5045Pins14);
      return MakeSpiMemory(best);
    case Family::kMicrowire:
      return MakeMicrowire93(best);
    case Family::kMicrowire93s:
      return MakeMicrowire93s(best);
    case Family::kAvrHvParallel:
      return MakeAvrHvParallel(best);
    case Family::kAvrHvSerial:
      return MakeAvrHvSerial(best);
    case Family::kWordSerial:
      return MakeWordSerial(best);
    case Family::kPic14:
      return MakePic14(best);
    case Family::kPic12:
      return MakePic12(best);
    case Family::kPic16c5x:
      return MakePic16c5x(best);
    case Family::kPic14Eprom:
      return MakePic14Eprom(best);
    case Family::kPic17:
      return MakePic17(best);
    case Family::kPic18:
      return MakePic18(best);
    case Family::kDspic30:
      return MakeDspic30(best);
    case Family::kSyncMos:
      return MakeSyncMos(best);
    case Family::kSm894051:
      return MakeSm894051(best);
    case Family::kPinMode51:
      return MakePinMode51(best);
    case Family::kMsu29:
      return MakeMsu29(best);
    case Family::kTp28:
      return MakeTp28(best);
    case Family::kLpc9xx:
      return MakeLpc9xx(best);
    case Family::kLp76x:
      return MakeLp76x(best);
    case Family::kStc12:
      return MakeStc12(best);
    case Family::kSm59:
      return MakeSm59Isp(best);
    case Family::kAvrSpi:
      return MakeAvrSpi(best);
    case Family::kFirmwareHub:
      return MakeFirmwareHub(best);
    case Family::kSectorFlash:
      return MakeSectorFlash(best);
    case Family::kPageFlash16:
      return MakePageFlash16(best);
    case Family::kMdt20xx:
      return MakeMdt20xx(best);
    case Family::kMdt10p:
      return MakeMdt10p(best);
    case Family::kEm78p:
      return MakeEm78p(best);
    case Family::kJtagXc95:
      return MakeXc95(best);
    case Family::kJtagM4a5:
      return MakeM4a5(best);
    case Family::kJtagC8051:
      return MakeC8051Tap(best);
    case Family::kOther:
      break;
  }
  if (auto c = MakeAndFlash(best)) return c;
  if (auto c = MakeJedecFlash(best)) return c;
  if (auto c = MakeIntel28F(best)) return c;
  if (auto c = MakeBootBlock28F(best)) return c;
  if (auto c = MakeSst28sf(best)) return c;
  if (auto c = MakeW79e(best)) return c;
  if (auto c = MakePageEeprom(best)) return c;
  if (auto c = MakeAt89cx051(best)) return c;
  if (auto c = MakeMcs51Eprom(best)) return c;
  if (auto c = MakeW78e516(best)) return c;
  if (auto c = MakeSst89(best)) return c;
  if (auto c = MakeModeFlash51(best)) return c;
  if (auto c = MakeIs89c52(best)) return c;
  if (auto c = MakeW7851(best)) return c;
  if (auto c = MakeP97c2051(best)) return c;
  if (auto c = MakeSn8p(best)) return c;
  if (auto c = MakeS3f9(best)) return c;
  if (auto c = MakeCr80p(best)) return c;
  if (auto c = MakeHt48Otp(best)) return c;
  return MakeStaticRam(best);
}
}  // namespace

}  // namespace zelvar::sim
