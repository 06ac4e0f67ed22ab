#include "algorithms/mcs51/P89C51RX2XX.h"

#include <cstdio>

#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "services/AppState.h"
#include "services/Messages.h"
#include "services/Services.h"

namespace zelvar::mcs51 {

namespace {
// The special bytes by address bits 12-14.
constexpr std::uint32_t kSpecialStep = 4096;
constexpr std::uint32_t kStatusAt = 0, kVectorAt = kSpecialStep, kClockAt = 2 * kSpecialStep;
constexpr std::uint32_t kLockAt = 3 * kSpecialStep;
constexpr std::uint32_t kIdAt[] = {5 * kSpecialStep, 6 * kSpecialStep, 4 * kSpecialStep};
constexpr int kEraseWaits = 5;  // 100 ms waits on each side of the erase strobe's rising edge
}  // namespace

void P89C51RX2XX::Init() {
  const int vcc = services().ChipParam("vcc=");
  SetUp(Types().size(), kPlcc44, vcc > 0 ? vcc : 5000, 4500);
}

// VPP goes on the package's EA/VPP pin (31 in the DIP40, 33 behind the PLCC44 adapter); the
// level stays the 4.5 V of the set-up.
void P89C51RX2XX::EnterProgramMode() {
  SelectGndPin(gApp.GroundPin);
  SelectClockPin(kXtal1Pin);
  SetRegister25(kBusRead);
  SwitchPin(kXtal2Pin, true);
  SwitchPin(kXtal1Pin, true);
  SelectVccPin(0);
  SelectVccPin(gMcs51.ChipVccPin);
  SetAddress(0);
  SetPinHigh(kProgPin);
  SetPinHigh(kProgramPin);
  SetPinLow(kSelectPin);
  SetPinHigh(16);
  SetModePins("0000");
  SetPinHigh(kPsenPin);
  SetPinHigh(kRstPin);
  SetPinHigh(31);
  SelectVppPin(gMcs51.ChipVppPin);
  PutCmd1(kCmdWait100us);
  SetPinLow(kPsenPin);
  FlushCommands();
}

void P89C51RX2XX::DataStrobe(std::uint8_t b) {
  PutCmd2(kCmdDataByte, b);
  SetPinLow(kProgramPin);
  SetPinLow(kProgPin);
  PutCmd1(kCmdWait100us);
  SetPinHigh(kProgPin);
  SetPinHigh(kProgramPin);
}

void P89C51RX2XX::EraseStrobe() {
  SetPinHigh(kSelectPin);
  SetPinLow(kProgramPin);
  SetPinLow(kProgPin);
  for (int i = 0; i < kEraseWaits; ++i) PutCmd1(kCmdLongWait);
  SetPinHigh(kProgPin);
  for (int i = 0; i < kEraseWaits; ++i) PutCmd1(kCmdLongWait);
  SetPinHigh(kProgramPin);
}

// Byte 0 of the blocks at 5, 6 and 4 x 4096 in the special-read mode.
void P89C51RX2XX::ReadSignature() {
  PowerUp();
  EnterProgramMode();
  SetModePins("1111");
  SetPinLow(kProgramPin);
  SetPinLow(kSelectPin);
  std::uint8_t* block = gLink.ScratchBuffer.data();
  gApp.ReadId = {};
  for (int i = 0; i < 3; ++i) {
    ReadBlockAt(kIdAt[i], block);
    gApp.ReadId[i] = block[0];
  }
  SetPinHigh(kSelectPin);
  SetPinHigh(kProgramPin);
  SuppliesOff();
}

void P89C51RX2XX::SetReadLevels() {
  SetModePins("0000");
  SetPinHigh(kProgPin);
  SetPinLow(kSelectPin);
  SetPinLow(kProgramPin);
}

void P89C51RX2XX::Read() {
  PowerUp();
  EnterProgramMode();
  if (!CheckPower()) return;
  SetReadLevels();
  if (ScanCode(Scan::Read)) FinishScan();
}

void P89C51RX2XX::Blank() {
  PowerUp();
  EnterProgramMode();
  SwitchPin(14, false);
  SetReadLevels();
  if (CheckPower() && ScanCode(Scan::Blank)) FinishScan();
}

void P89C51RX2XX::Verify() {
  PowerUp();
  EnterProgramMode();
  SetReadLevels();
  if (CheckPower() && ScanCode(Scan::Verify)) FinishScan();
}

void P89C51RX2XX::Erase() {
  PowerUp();
  EnterProgramMode();
  SetAddress(0);
  SelectVppPin(gMcs51.ChipVppPin);
  if (!CheckPower()) return;
  SetModePins("0111");
  EraseStrobe();
  FlushCommands();
}

void P89C51RX2XX::Write() {
  if (!CheckId()) return;
  PowerUp();
  EnterProgramMode();
  SetPinHigh(kSelectPin);
  SetPinHigh(kProgramPin);
  SelectVppPin(gMcs51.ChipVppPin);
  if (!CheckPower()) return;
  SetModePins("0001");
  SetRegister25(kBusDrive);
  SwitchPin(kXtal2Pin, true);
  FlushCommands();
  for (std::uint32_t a = 0; a < LastAddress(); a += 256) {
    ShowProgress(static_cast<int>(a));
    SetAddress(a);
    for (std::uint32_t i = 0; i < 256; ++i) {
      DataStrobe(buffer_[a + i]);
      NextAddress();
    }
    FlushCommands();
  }
  FlushCommands();
  ShowProgress(-1);
}

// Security bits 1 to 3 (the "Lock", "SB" and "MOVCL" rows) at 3, 4 and 5 x 4096. The datasheet
// counts three security bits; the 6-clock bit at 2 x 4096 is not one of them and stays Config's.
void P89C51RX2XX::Lock() {
  PowerUp();
  EnterProgramMode();
  SelectVppPin(gMcs51.ChipVppPin);
  if (!CheckPower()) return;
  SetRegister25(kBusDrive);
  SetPinHigh(kSelectPin);
  SetPinHigh(kProgramPin);
  SetModePins("0010");
  const std::uint32_t bits = Word(kPhiOptionWord);
  for (std::uint32_t bit = 0; bit < 3; ++bit) {
    if ((bits >> bit) & 1) {
      SetAddress(kLockAt + bit * kSpecialStep);
      DataStrobe(0xFF);
    }
  }
  FlushCommands();
}

// The status byte and boot vector from the grid (erased first), and the 6-clock bit when the
// "6/12 Clock" row is clear.
void P89C51RX2XX::Config() {
  PowerUp();
  EnterProgramMode();
  SetRegister25(kBusDrive);
  SwitchPin(kXtal2Pin, true);
  SelectVppPin(gMcs51.ChipVppPin);
  if (!CheckPower()) return;
  SetPinHigh(kSelectPin);
  SetPinHigh(kProgramPin);
  SetModePins("1001");
  EraseStrobe();
  SetModePins("0010");
  SetAddress(kStatusAt);
  DataStrobe(static_cast<std::uint8_t>(Word(kPhiStatusWord)));
  SetAddress(kVectorAt);
  DataStrobe(static_cast<std::uint8_t>(Word(kPhiVectorWord)));
  FlushCommands();
  if ((Word(kPhiOptionWord) & kPhiClockBit) == 0) {
    SetAddress(kClockAt);
    DataStrobe(0xFF);
  }
  FlushCommands();
}

void P89C51RX2XX::ReadConfig() {
  EnterProgramMode();
  if (!CheckPower()) return;
  SetModePins("1111");
  SetPinHigh(kProgPin);
  SetPinLow(kSelectPin);
  SetPinLow(kProgramPin);
  std::uint8_t* block = gLink.ScratchBuffer.data();
  std::uint8_t bytes[4];
  for (std::uint32_t i = 0; i < 4; ++i) {
    ReadBlockAt(i * kSpecialStep, block);
    bytes[i] = block[0];
  }
  SuppliesOff();
  char line[64];
  std::snprintf(line, sizeof line, "Status=%02x,Vect=%02x,Config=%02x,Lock=%02x", bytes[0],
                bytes[1], bytes[2], bytes[3]);
  AddMessageLine(line);
  SetWord(kPhiStatusWord, bytes[0]);
  SetWord(kPhiVectorWord, bytes[1]);
}

}  // namespace zelvar::mcs51
