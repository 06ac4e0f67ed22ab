#include "algorithms/mcs51/PhiRx2Engine.h"

#include <cstdio>

#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "services/AppState.h"
#include "services/Messages.h"

namespace zelvar::mcs51 {

namespace {
constexpr ModeLines kLines{{27, 17, 11, 10}};
constexpr AddressPins kAddress{{21, 22, 23, 24, 25, 26, 14, 15}};
constexpr int kEraseSteps = 50;  // 1 ms settle commands on each side of the erase strobe's edge
}  // namespace

const AddressPins& PhiRx2Set::Address() const {
  return kAddress;
}

std::span<const int> PhiRx2Set::Operations() const {
  static constexpr int kOps[] = {kOpErase, kOpBlank, kOpWrite,  kOpVerify,    kOpConfig,
                                 kOpLock,  kOpRead,  kOpReadId, kOpReadConfig};
  return kOps;
}

void PhiRx2Set::Init() {
  SetUp(Types().size(), kPlcc44, 5000, 4500);
}

void PhiRx2Set::SetModePins(const char* levels) {
  SetMode(kLines, Mode{levels});
}

void PhiRx2Set::DataStrobe(std::uint8_t b) {
  PutCmd2(kCmdDataByte, b);
  SetPinLow(kProgPin);
  PutCmd1(kCmdWait100us);
  SetPinHigh(kProgPin);
}

void PhiRx2Set::EraseStrobe() {
  SetPinHigh(kSelectPin);
  SetPinLow(kProgramPin);
  SetPinLow(kProgPin);
  for (int i = 0; i < kEraseSteps; ++i) PutCmd1(kCmdSettle);
  SetPinHigh(kProgPin);
  for (int i = 0; i < kEraseSteps; ++i) PutCmd1(kCmdSettle);
  SetPinHigh(kProgramPin);
  FlushCommands();
}

void PhiRx2Set::EnterProgramMode() {
  SelectGndPin(gApp.GroundPin);
  SetVppVoltage(5000);
  SetVccVoltage(5000);
  SwitchPin(kXtal2Pin, true);
  SwitchPin(kXtal1Pin, true);
  SelectClockPin(kXtal1Pin);
  SetRegister25(kBusRead);
  SelectVccPin(0);
  SelectVccPin(gMcs51.ChipVccPin);
  SetModePins("0000");
  SetPinHigh(kPsenPin);
  SetPinHigh(kRstPin);
  SetPinHigh(31);
  SetPinLow(kPsenPin);
  SetAddress(0);
  SetPinHigh(kProgPin);
  SetPinHigh(kProgramPin);
  SetPinLow(kSelectPin);
  SetPinHigh(16);
  FlushCommands();
}

void PhiRx2Set::PowerUp() {
  EnterProgramMode();
  SetRegister25(kBusRead);  // released before VCC rises
  SelectVccPin(gMcs51.ChipVccPin);
  if (ClockOffAtPowerUp()) SelectClockPin(0);
  SwitchPin(kXtal1Pin, false);
  SwitchPin(kXtal2Pin, true);
  PowerUpCheckStub(kXtal1Pin, kXtal2Pin);
}

void PhiRx2Set::ReadSignature() {
  PowerUp();
  EnterProgramMode();
  SetRegister25(kBusRead);
  SetModePins("1111");
  SetAddress(0);
  SetPinLow(kProgramPin);
  SetPinLow(kSelectPin);
  SelectVppPin(gMcs51.ChipVppPin);
  std::uint8_t* block = gLink.ScratchBuffer.data();
  ReadBlock256(block);
  gApp.ReadId = {block[0], block[1], block[2], 0};
  SetPinHigh(kSelectPin);
  SetPinHigh(kProgramPin);
  SuppliesOff();
}

bool PhiRx2Set::CheckId() {
  if (IdentityChecked()) return true;
  ReadSignature();
  const auto& r = gApp.ReadId;
  const auto& s = gApp.ExpectedId;
  char line[64];
  std::snprintf(line, sizeof line, "R=(%02x,%02x,%02x)  S=(%02x,%02x,%02x)", r[0], r[1], r[2], s[0],
                s[1], s[2]);
  AddMessageLine(line);
  if (IdMatches(r, s)) return true;
  // A wrong chip is a failed Write, not a silent end with the last operation's status.
  AddMessageLine(kTypeError);
  gLink.StatusWord = 1;
  return false;
}

bool PhiRx2Set::IdMatches(const std::array<std::uint8_t, 4>& r,
                          const std::array<std::uint8_t, 4>& s) const {
  return s[0] == 0 || (r[0] == s[0] && r[1] == s[1] && r[2] == s[2]);
}

bool PhiRx2Set::EnterScan() {
  PowerUp();
  EnterProgramMode();
  SetRegister25(kBusRead);
  SwitchPin(14, false);
  SetModePins("0000");
  SetPinHigh(kProgPin);
  SetPinLow(kSelectPin);
  SetPinLow(kProgramPin);
  SelectVppPinByModel(gMcs51.ChipVppPin);
  return CheckPower();
}

void PhiRx2Set::Read() {
  PowerUp();
  EnterProgramMode();
  if (!CheckPower()) return;
  SetModePins("0000");
  SetPinHigh(kProgPin);
  SetPinLow(kSelectPin);
  SetPinLow(kProgramPin);
  SelectVppPin(gMcs51.ChipVppPin);
  SetRegister25(kBusRead);
  ScanCode(Scan::Read);
  FinishScan();
}

void PhiRx2Set::Blank() {
  if (EnterScan() && ScanCode(Scan::Blank)) FinishScan();
}

void PhiRx2Set::Verify() {
  if (EnterScan() && ScanCode(Scan::Verify)) FinishScan();
}

void PhiRx2Set::Erase() {
  ShowProgress(0);
  PowerUp();
  EnterProgramMode();
  SetAddress(0);
  SelectVppPin(gMcs51.ChipVppPin);
  if (!CheckPower()) return;
  SetModePins("0001");
  const int last = static_cast<int>(LastAddress());
  const int marks[] = {last / 4, last / 2, 3 * (last / 4)};
  for (int i = 0; i < 4; ++i) {
    if (i > 0) ShowProgress(marks[i - 1]);
    EraseStrobe();
  }
  ShowProgress(-1);
}

void PhiRx2Set::Write() {
  if (!CheckId()) return;
  PowerUp();
  EnterProgramMode();
  SetRegister25(kBusDrive);
  SetPinHigh(kRstPin);
  SetPinLow(kPsenPin);
  SetPinHigh(kProgPin);
  SetPinHigh(31);
  SetAddress(0);
  DelayStub(1000);
  SetPinHigh(kSelectPin);
  SetPinLow(kProgramPin);
  SelectVppPin(gMcs51.ChipVppPin);
  if (!CheckPower()) return;
  SetModePins("0011");
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
  ShowProgress(-1);
}

// Security bits 1 to 3 (rows "Lock", "SB", "MOVCL") at addresses 0 to 2; "6/12 Clock" is Config's.
void PhiRx2Set::Lock() {
  PowerUp();
  EnterProgramMode();
  SelectVppPin(gMcs51.ChipVppPin);
  if (!CheckPower()) return;
  SetRegister25(kBusDrive);
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
  FlushCommands();
}

// The status byte and boot vector from the grid (erased first), and the 6-clock bit when the
// "6/12 Clock" row is clear.
void PhiRx2Set::Config() {
  PowerUp();
  EnterProgramMode();
  SetRegister25(kBusDrive);
  SelectVppPin(gMcs51.ChipVppPin);
  if (!CheckPower()) return;
  SetModePins("1000");
  EraseStrobe();
  SetPinHigh(kSelectPin);
  SetPinLow(kProgramPin);
  SetModePins("1010");
  SetAddress(0);
  DataStrobe(static_cast<std::uint8_t>(Word(kPhiStatusWord)));
  SetAddress(1);
  DataStrobe(static_cast<std::uint8_t>(Word(kPhiVectorWord)));
  FlushCommands();
  if ((Word(kPhiOptionWord) & kPhiClockBit) == 0) {
    SetModePins("1101");
    SetAddress(1);
    DataStrobe(0x80);
  }
  FlushCommands();
}

void PhiRx2Set::ReadId() {
  ReadSignature();
  LogId("MFA = %02x,%02x,%02x", 3);
}

void PhiRx2Set::ReadConfig() {
  EnterProgramMode();
  if (!CheckPower()) return;
  SetModePins("1011");
  SetPinHigh(kProgPin);
  SetPinLow(kSelectPin);
  SetPinLow(kProgramPin);
  SetRegister25(kBusRead);
  SelectVppPin(gMcs51.ChipVppPin);
  SetAddress(0);
  std::uint8_t* block = gLink.ScratchBuffer.data();
  ReadBlock256(block);
  SuppliesOff();
  char line[64];
  std::snprintf(line, sizeof line, "Lock=%02x,Stat=%02x,Vect=%02x,Clock=%02x", block[0], block[1],
                block[2], block[3]);
  AddMessageLine(line);
  SetWord(kPhiStatusWord, block[1]);
  SetWord(kPhiVectorWord, block[2]);
}

}  // namespace zelvar::mcs51
