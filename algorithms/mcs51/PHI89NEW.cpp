#include "algorithms/mcs51/PHI89NEW.h"

#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "services/AppState.h"
#include "services/Messages.h"

namespace zelvar::mcs51 {

std::span<const int> PHI89NEW::Operations() const {
  static constexpr int kOps[] = {kOpErase, kOpBlank, kOpWrite, kOpVerify,
                                 kOpLock,  kOpRead,  kOpReadId};
  return kOps;
}

// Supplies set here (4.5 V VPP, 5 V VCC), every pin low before VCC, then RST high and PSEN low;
// VPP on the package's pin last.
void PHI89NEW::EnterProgramMode() {
  SelectVccPin(0);
  SelectGndPin(gApp.GroundPin);
  SetVppVoltage(4500);
  SetVccVoltage(5000);
  SetAllPins(false);
  SwitchPin(kXtal2Pin, true);
  SwitchPin(kXtal1Pin, true);
  SelectClockPin(kXtal1Pin);
  SetRegister25(kBusRead);
  SelectVccPin(gMcs51.ChipVccPin);
  SetModePins("0000");
  SetPinHigh(kRstPin);
  SetPinLow(kPsenPin);
  SetPinHigh(31);
  SetAddress(0);
  SetPinHigh(kProgPin);
  SetPinHigh(kProgramPin);
  SetPinLow(kSelectPin);
  FlushCommands();
  SelectVppPin(gMcs51.ChipVppPin);
}

void PHI89NEW::DataStrobe(std::uint8_t b) {
  PutCmd2(kCmdDataByte, b);
  SetPinLow(kProgramPin);
  SetPinLow(kProgPin);
  PutCmd1(kCmdStrobeStep);
  SetPinHigh(kProgPin);
  SetPinHigh(kProgramPin);
}

// The P89C58BP's third byte reads 0xF8 or 0xFE whatever the line expects.
bool PHI89NEW::IdMatches(const std::array<std::uint8_t, 4>& r,
                         const std::array<std::uint8_t, 4>& s) const {
  if (PhiRx2Set::IdMatches(r, s)) return true;
  return gApp.TypeIndex == kP89C58BPRow && r[0] == s[0] && r[1] == s[1] &&
         (r[2] == 0xF8 || r[2] == 0xFE);
}

// Bytes 5, 6 and 4 of the signature block at address 0.
void PHI89NEW::ReadSignature() {
  EnterProgramMode();
  SetModePins("1111");
  SetPinLow(kProgramPin);
  SetAddress(0);
  std::uint8_t* block = gLink.ScratchBuffer.data();
  ReadBlock256(block);
  gApp.ReadId = {block[5], block[6], block[4], 0};
  SetPinHigh(kSelectPin);
  SetPinHigh(kProgramPin);
  SuppliesOff();
}

bool PHI89NEW::EnterScan() {
  PowerUp();
  EnterProgramMode();
  SetRegister25(kBusRead);
  SetModePins("0000");
  SetPinHigh(kProgPin);
  SetPinLow(kSelectPin);
  SetPinLow(kProgramPin);
  SelectVppPinByModel(gMcs51.ChipVppPin);
  return CheckPower();
}

void PHI89NEW::Read() {
  PowerUp();
  EnterProgramMode();
  if (!CheckPower()) return;
  SetModePins("0000");
  SetPinLow(kProgramPin);
  SetRegister25(kBusRead);
  if (ScanCode(Scan::Read)) FinishScan();
}

void PHI89NEW::Blank() {
  if (EnterScan() && ScanCode(Scan::Blank)) FinishScan();
}

void PHI89NEW::Verify() {
  if (EnterScan() && ScanCode(Scan::Verify)) FinishScan();
}

// Two 100 ms waits inside the erase strobe.
void PHI89NEW::Erase() {
  PowerUp();
  SetRegister25(kBusDrive);
  EnterProgramMode();
  SetAddress(0);
  SetModePins("0001");
  SelectVppPin(gMcs51.ChipVppPin);
  if (!CheckPower()) return;
  SetPinHigh(kSelectPin);
  SetPinLow(kProgramPin);
  SetPinLow(kProgPin);
  PutCmd1(kCmdLongWait);
  PutCmd1(kCmdLongWait);
  SetPinHigh(kProgPin);
  SetPinHigh(kProgramPin);
  FlushCommands();
}

void PHI89NEW::Write() {
  if (!CheckId()) return;
  EnterProgramMode();
  SetRegister25(kBusDrive);
  SetAddress(0);
  SetPinHigh(kSelectPin);
  SetPinLow(kProgramPin);
  SetModePins("0011");
  SelectVppPin(gMcs51.ChipVppPin);
  if (!CheckPower()) return;
  for (std::uint32_t a = 0; a < LastAddress(); a += 256) {
    ShowProgress(static_cast<int>(a));
    SetAddress(a);
    for (std::uint32_t i = 0; i < 256; ++i) {
      DataStrobe(buffer_[a + i]);
      NextAddress();
    }
    FlushCommands();
  }
  ShowProgress(-1);
}

// Security bits 1 to 3 at addresses 0 to 2; the "6/12 Clock" row set strobes 0xFF at address 0
// of pattern 1010.
void PHI89NEW::Lock() {
  PowerUp();
  EnterProgramMode();
  SetRegister25(kBusDrive);
  SelectVppPin(gMcs51.ChipVppPin);
  if (!CheckPower()) return;
  SetPinHigh(kSelectPin);
  SetPinLow(kProgramPin);
  SetModePins("0110");
  const std::uint32_t bits = Word(kPhiOptionWord);
  for (std::uint32_t bit = 0; bit < 3; ++bit) {
    if ((bits >> bit) & 1) {
      SetAddress(bit);
      DataStrobe(0xFF);
    }
  }
  if (bits & kPhiClockBit) {
    SetModePins("1010");
    SetAddress(0);
    DataStrobe(0xFF);
  }
  FlushCommands();
}

}  // namespace zelvar::mcs51
