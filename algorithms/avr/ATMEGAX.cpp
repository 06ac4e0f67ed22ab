#include "algorithms/avr/ATMEGAX.h"

#include <cstdio>

#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "services/AppState.h"
#include "services/Messages.h"
#include "services/Services.h"

namespace zelvar::avr {

using namespace avr_parallel;

std::span<const char* const> ATMEGAX::ConfigTable() const {
  // The ATmega16, 32, 64 and 128 have JTAGEN and OCDEN where the ATmega8 has WDTON and RSTDISBL.
  return gApp.TypeIndex >= 2 && gApp.TypeIndex <= 5 ? std::span<const char* const>(kConfigJtag)
                                                    : std::span<const char* const>(kConfig);
}

void ATMEGAX::Init() {
  row_ = ChosenRow(kTypes);
  Services& s = services();
  if (s.ChipNameContains("*P44") || s.ChipNameContains("*Q44")) {
    PlacementRequest picture;
    picture.file = s.ChipNameContains("*P44") ? "p44.bmp" : "qfp44.bmp";
    s.ShowPlacement(picture);
  }
  const int pkg = s.ChipParam("pkg=");
  const int row = gApp.TypeIndex;
  const char* design = nullptr;
  const char* refusal = "No design for this chip in this package*此封装没有对应的逻辑";
  if (row == 6 || row == 7) {
    refusal = "AT90S8515/8535: use set AT90S8515 or AT90S8535*请用AT90S8515或AT90S8535算法";
  } else if (row == 1 && pkg == 28) {
    design = "atmega8dip28.bit";
  } else if ((row == 2 || row == 3) && pkg == 41) {
    if (gLink.ModelNumber >= 6300) {
      design = "at90s8535dip40std.bit";
      row_.vppPin = 9;
      row_.vccPin = 10;
      row_.groundPin = 11;
    } else {
      // The older models reach RESET, VCC and GND only with the chip turned round, its pin 1 in
      // socket pin 21.
      design = "at90s8535dip40.bit";
      PlacementRequest picture;
      picture.pins = 40;
      picture.pin1Side = 1;
      s.ShowPlacement(picture);
    }
  } else if ((row == 4 || row == 5) && pkg == 50) {
    design = "at90s8535plcc44.bit";
  }
  SetUp(kTypes.size(), design, refusal, 5000);
}

bool ATMEGAX::WriteFuses(std::uint8_t low, std::uint8_t high) {
  if (!EnterChecked()) return false;
  WriteFuseByte(FuseByte::Low, low);
  PutCmd1(kCmdCycleWait);
  WriteFuseByte(FuseByte::High, high);
  ClearLine(kLineBs1);
  FlushCommands();
  SuppliesOff();
  return true;
}

void ATMEGAX::Erase() {
  // The fuses go back to 0xFF first, so that a chip whose clock or reset fuses locked it out comes
  // back; that also turns serial programming off.
  AddMessageLine(
      "Erase sets fuse low and high to FF first (clock source, SPIEN)*擦除前熔丝位写为FF");
  if (!WriteFuses(0xFF, 0xFF)) return;
  EnterHvProgramming();
  SelectVppPin(Type().vppPin);
  if (!CheckPower()) return;
  ChipErase();
}

void ATMEGAX::Config() {
  WriteFuses(static_cast<std::uint8_t>(Word(kFuseLowWord)),
             static_cast<std::uint8_t>(Word(kFuseHighWord)));
}

void ATMEGAX::Lock() {
  if (!EnterChecked()) return;
  WriteLockByte(static_cast<std::uint8_t>(Word(kLockWord)));
}

void ATMEGAX::ReadId() {
  ReadSignatures();
  LogSignature("ID: %02X,%02X,%02X");
}

void ATMEGAX::ReadConfig() {
  const auto b = ReadFuseBytes(std::array{FuseByte::Low, FuseByte::High, FuseByte::Lock});
  char line[64];
  std::snprintf(line, sizeof line, "Fuse low=%02x,  Fuse Hi=%02x,  Lock=%02x", b[0], b[1], b[2]);
  AddMessageLine(line);
  SetWord(kFuseLowWord, b[0]);
  SetWord(kFuseHighWord, b[1]);
  SetWord(kLockWord, b[2]);
}

void ATMEGAX::ReadCalibration() {
  // Four calibration bytes, one per oscillator frequency, at calibration addresses 0 to 3.
  static constexpr const char* kFrequencies[] = {"1MHz", "2MHz", "4MHz", "8MHz"};
  const std::uint32_t choice = Word(kCalibrationChoiceWord);
  if (choice >= std::size(kFrequencies)) {
    AddMessageLine("Unknown calibration frequency*校准频率无效");
    gLink.StatusWord = 1;
    return;
  }
  EnterHvProgramming();
  const std::uint8_t c = ReadCalibrationByte(static_cast<std::uint8_t>(choice));
  StoreCalibration(c, kFrequencies[choice]);
}

}  // namespace zelvar::avr
