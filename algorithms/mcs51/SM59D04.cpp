#include "algorithms/mcs51/SM59D04.h"

#include <cstdio>

#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "services/AppState.h"
#include "services/Messages.h"

namespace zelvar::mcs51 {

namespace {

constexpr AddressPins kAddress{{21, 22, 23, 24, 25, 26, 27, 28}};
constexpr std::uint8_t kEntryClockPin = 1, kEntryDataPin = 3;
constexpr std::uint8_t kByteStrobe = 11, kPageLine = 14, kWindowPin = 17;
constexpr int kEntryRepeats = 10;
constexpr int kReadVccMillivolts = 3300;
constexpr int kCycleVccMillivolts = 5000;
constexpr std::uint32_t kPage = 64;
constexpr int kIspPagesWord = kLockChoiceWord;

constexpr const char* kDescribe[] = {"$Fonc:",    "21 Erase",     "22 Blank",
                                     "23 Write",  "24 Verify",    "26 Security",
                                     "$DisTool:", "25,29,30,31,", "$Radio1:00,ISP(512bytes/page)",
                                     "0 No ",     "1 page",       "2 page",
                                     "3 page",    "4 page",       "5 page",
                                     "6 page",    "7 page",       "8 page",
                                     " ",         "$end"};
constexpr int kOps[] = {kOpErase, kOpBlank, kOpWrite, kOpVerify, kOpLock, kOpRead, kOpReadId};

}  // namespace

void SM59D04::CheckRow(const TwoAreaType& t, TypeTableReport& r) {
  CheckTwoAreaRow(t, kPage, r);
  if (t.lastAddress > 0x3FFF) r.Fault("beyond the 16 KB of the family");
  ParallelSet::CheckRow({.name = t.name, .lastAddress = t.lastAddress}, r);
}

const AddressPins& SM59D04::Address() const {
  return kAddress;
}
std::span<const char* const> SM59D04::DescribeList() const {
  return kDescribe;
}
std::span<const int> SM59D04::Operations() const {
  return kOps;
}

void SM59D04::Init() {
  SetUp(kTypes.size(), kPlcc44, kCycleVccMillivolts, 5000);
}

// n clocks on P3.0, flushed every 256 and after the last.
void SM59D04::ClockPin10(int n) {
  for (int i = 0; i < n; ++i) {
    SetPinLow(10);
    SetPinHigh(10);
    if (((n - 1 - i) & 0xFF) == 0) FlushCommands();
  }
}

void SM59D04::SendEntryByte(std::uint8_t b) {
  for (int bit = 7; bit >= 0; --bit) {
    SetPinLevel((b >> bit) & 1, kEntryDataPin);
    SetPinLow(kEntryClockPin);
    SetPinHigh(kEntryClockPin);
  }
  SetPinHigh(kEntryDataPin);
  SetPinLow(kEntryClockPin);
  SetPinHigh(kEntryClockPin);
  PutCmd1(kCmdWait100us);
  PutCmd1(kCmdPadding);
}

// The reset and clock sequence with VCC coming up, then the entry code, ten times over.
void SM59D04::PowerUp() {
  SetVccVoltage(kCycleVccMillivolts);
  SelectClockPin(kXtal1Pin);
  SwitchPin(kXtal2Pin, false);
  for (std::uint8_t pin = 10; pin <= 13; ++pin) SetPinHigh(pin);
  SetRegister25(kBusRead);
  SetPinHigh(kProgPin);
  SelectVccPin(0);
  SetPinLow(31);
  SetPinLow(2);
  SetPinHigh(kEntryDataPin);
  SetPinLow(kRstPin);
  ClockPin10(255);
  SetPinHigh(kRstPin);
  SelectVccPin(gMcs51.ChipVccPin);
  SetPinLow(kProgPin);
  ClockPin10(1000);
  SetPinHigh(31);
  ClockPin10(1000);
  SetPinLow(kRstPin);
  ClockPin10(2);
  for (int k = 0; k < kEntryRepeats; ++k) {
    for (std::uint8_t b : kEntryCode) SendEntryByte(b);
    PutCmd1(kCmdWait100us);
    SetPinHigh(kEntryDataPin);
    SendEntryByte(0xFF);
    PutCmd1(kCmdWait1ms);
    SetPinLow(kEntryClockPin);
    SetPinHigh(kEntryClockPin);
    PutCmd1(kCmdWait1ms);
  }
  FlushCommands();
}

bool SM59D04::ReadMode() {
  SetVccVoltage(kReadVccMillivolts);
  FlushCommands();
  if (!CheckPower()) return false;
  SetRegister25(kBusRead);
  SetPinLow(kPsenPin);
  SetPinLow(kProgPin);
  for (std::uint8_t pin = 10; pin <= 13; ++pin) SetPinHigh(pin);
  SetAddress(0);
  for (std::uint8_t pin : {17, 16, 15, 14}) SetPinLow(pin);
  FlushCommands();
  return true;
}

bool SM59D04::ScanWalk(Scan kind, bool progress) {
  for (const AreaSpan& s : WalkOf(Type())) {
    if (s.first > s.last) continue;
    const auto fetch = [this](std::uint32_t a, std::uint8_t* dest) { ReadBlockAt(a, dest); };
    if (!ScanBlocks(kind, s.first, s.last, 256, fetch, progress)) return false;
  }
  return true;
}

bool SM59D04::DataInHole(bool verify) {
  const auto walk = WalkOf(Type());
  const HeldSpan window{0, Type().lastAddress};
  const std::array<HeldSpan, 2> held{
      {{walk[0].first, walk[0].last}, {walk[1].first, walk[1].last}}};
  return DataOutsideChip({&window, 1}, held, verify);
}

void SM59D04::BlankHole() {
  const auto walk = WalkOf(Type());
  const HeldSpan window{0, Type().lastAddress};
  const std::array<HeldSpan, 2> held{
      {{walk[0].first, walk[0].last}, {walk[1].first, walk[1].last}}};
  BlankOutsideChip({&window, 1}, held);
}

void SM59D04::Read() {
  PowerUp();
  if (!ReadMode()) return;
  if (ScanWalk(Scan::Read, false)) BlankHole();
  FinishScan();
}

void SM59D04::Blank() {
  PowerUp();
  if (!ReadMode()) return;
  if (ScanWalk(Scan::Blank, true)) FinishScan();
}

void SM59D04::Verify() {
  if (DataInHole(true)) return;
  PowerUp();
  if (!ReadMode()) return;
  if (ScanWalk(Scan::Verify, true)) {
    FinishScan();
    return;
  }
  LogVerifyMismatch();
}

// A byte of the page window: on P0, latched as P3.1 falls.
void SM59D04::PageByte(std::uint8_t b) {
  PutCmd2(kCmdDataByte, b);
  SetPinHigh(kByteStrobe);
  PutCmd1(kCmdWait50us);
  SetPinLow(kByteStrobe);
}

// No signature read is known for these parts: ReadId holds no bytes, so a chip line with an
// identity is refused rather than compared with what another set left there.
void SM59D04::ReadSignature() {
  gApp.ReadId = {};
}

void SM59D04::Write() {
  if (!TypeCheck({.logPairs = true}) || DataInHole(false)) return;
  PowerUp();
  SetVccVoltage(kCycleVccMillivolts);
  // The entry may leave the part in its read mode: its outputs go off before the bus drives P0.
  for (std::uint8_t pin : {29, 30, 11, 12, 13, 16, 15, 14, 17}) SetPinLow(pin);
  SetRegister25(kBusDrive);
  SetAddress(0);
  FlushCommands();
  if (!CheckPower()) return;
  for (const AreaSpan& s : WalkOf(Type())) {
    for (std::uint32_t a = s.first; a <= s.last && s.first <= s.last; a += kPage) {
      ShowProgress(static_cast<int>(a));
      SetAddress(a);
      SetPinHigh(kPageLine);
      PutCmd1(kCmdWait100us);
      SetPinHigh(kWindowPin);
      for (std::uint32_t i = 0; i < kPage; ++i) {
        PageByte(buffer_[a + i]);
        NextAddress();
      }
      SetPinLow(kPageLine);
      SetPinLow(kWindowPin);
      FlushCommands();
    }
  }
  ShowProgress(-1);
}

// The chip erase: a 100 ms window on P3.7 with P3.0, P3.5 and P3.6 high and PSEN high.
void SM59D04::Erase() {
  PowerUp();
  SetVccVoltage(kCycleVccMillivolts);
  SetPinHigh(kPsenPin);
  SetRegister25(kBusDrive);
  SetPinLow(kProgPin);
  SetPinHigh(10);
  SetPinHigh(16);
  for (std::uint8_t pin = 11; pin <= 15; ++pin) SetPinLow(pin);
  SetAddress(0xFFFF);
  PutCmd2(kCmdDataByte, 0xFF);
  SetPinHigh(15);
  FlushCommands();
  if (!CheckPower()) return;
  PutCmd1(kCmdWait100us);
  SetPinHigh(kWindowPin);
  PutCmd1(kCmdLongWait);
  SetPinLow(kWindowPin);
  PutCmd1(kCmdWait100us);
  FlushCommands();
}

void SM59D04::OptionByte(std::uint32_t address, std::uint8_t b) {
  SetAddress(address);
  SetPinHigh(kPageLine);
  PutCmd1(kCmdWait100us);
  SetPinHigh(kWindowPin);
  PageByte(b);
  SetPinLow(kPageLine);
  SetPinLow(kWindowPin);
}

// Option byte 1 takes the ISP page count (radio 0 to 8) in its low nibble.
void SM59D04::Lock() {
  const std::uint32_t pages = Word(kIspPagesWord);
  if (pages > 8) {
    AddMessageLine("ISP size out of range! *ISP大小超出范围!");
    gLink.StatusWord = 1;
    return;
  }
  PowerUp();
  SetVccVoltage(kCycleVccMillivolts);
  SetPinHigh(kPsenPin);
  SetRegister25(kBusDrive);
  SetPinLow(kProgPin);
  SetPinHigh(10);
  for (std::uint8_t pin : {12, 13, 16, 15, 14, 17}) SetPinLow(pin);
  FlushCommands();
  if (!CheckPower()) return;
  OptionByte(0, 0xFF);
  PutCmd1(kCmdWait1ms);
  OptionByte(1, static_cast<std::uint8_t>(0xF0 | pages));
  FlushCommands();
}

// The entry only: the parts show no identity in this mode.
void SM59D04::ReadId() {
  PowerUp();
}

}  // namespace zelvar::mcs51
