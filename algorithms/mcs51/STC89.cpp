#include "algorithms/mcs51/STC89.h"

#include <array>
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
constexpr int kReadVccMillivolts = 4400, kCycleVccMillivolts = 5000;
constexpr std::uint32_t kStep = 32;  // bytes between two flushes of Write

// Levels of P3.0..P3.7 (socket pins 10 to 17), pin 10 first.
constexpr const char* kProgramMode = "11001101";
constexpr const char* kConfigMode = "11001010";
constexpr const char* kEraseMode = "11000001";

void SetP3(const char* levels) {
  for (int i = 0; i < 8; ++i) SetPinLevel(levels[i] == '1', static_cast<std::uint8_t>(10 + i));
}

constexpr const char* kDescribe[] = {"$Fonc:",
                                     "21 Erase",
                                     "22 Blank",
                                     "23 Write",
                                     "24 Verify",
                                     "25 Config",
                                     "$DisTool:",
                                     "26,28,29,30,31,",
                                     "$Radio1:00,Isp Space",
                                     "0K ISP Space",
                                     "1K ISP Space",
                                     "2K ISP Space",
                                     "4K ISP Space",
                                     "$end"};
// The configuration rows; those without "a=" belong to word 0.
constexpr const char* kConfigTable[] = {"0: (只有一种类型)",
                                        "n=Lock(加锁),v=0,b=0",
                                        "n=SB(读加密),v=0,b=1",
                                        "n=MOVCL(禁止MOVC),v=0,b=2",
                                        "n=EN6T(双倍速度),v=1,a=1,b=0",
                                        "n=HWBS(上电复位执行ISP),v=1,a=1,b=1",
                                        "n=OSC 1/2 gain(弱震荡),v=1,a=1,b=5",
                                        "n=Dis RAM(禁止扩展RAM),v=0,a=1,b=6",
                                        "n=WDT(看门狗),v=1,a=1,b=7",
                                        "n=ISP Space,v=1,c=1,m=01,a=0,b=4",
                                        "n=ISP Space,v=0,c=1,m=02,a=0,b=5",
                                        "$end"};
constexpr int kOps[] = {kOpErase, kOpBlank, kOpWrite, kOpVerify, kOpConfig, kOpRead};

}  // namespace

void STC89::CheckRow(const TwoAreaType& t, TypeTableReport& r) {
  CheckTwoAreaRow(t, kStep, r);
  ParallelSet::CheckRow({.name = t.name, .lastAddress = t.lastAddress}, r);
}

const AddressPins& STC89::Address() const {
  return kAddress;
}
std::span<const char* const> STC89::DescribeList() const {
  return kDescribe;
}
std::span<const char* const> STC89::ConfigTable() const {
  return kConfigTable;
}
std::span<const int> STC89::Operations() const {
  return kOps;
}

void STC89::Init() {
  SetUp(kTypes.size(), kPlcc44, kCycleVccMillivolts, 5000);
}

// VCC comes up at 4.4 V with P3 at 1110 0111 (no operation), RST high.
void STC89::PowerUp() {
  SetVccVoltage(kReadVccMillivolts);
  SetRegister25(kBusRead);  // released before VCC rises
  SelectVccPin(gMcs51.ChipVccPin);
  SelectClockPin(0);
  SwitchPin(kXtal2Pin, false);
  SwitchPin(kXtal1Pin, false);
  SetRegister25(kBusRead);
  SetPinLow(kXtal1Pin);
  SetPinLow(kPsenPin);
  SetPinHigh(kProgPin);
  SetPinLow(31);
  for (std::uint8_t pin : {10, 11, 12}) SetPinHigh(pin);
  for (std::uint8_t pin : {13, 14}) SetPinLow(pin);
  for (std::uint8_t pin : {15, 16, 17}) SetPinHigh(pin);
  SetPinHigh(kRstPin);
  FlushCommands();
  SetRegister25(kBusRead);
}

// A byte: P3.1 low, a 50 µs P3.2 pulse, P3.1 high.
void STC89::ProgramByte(std::uint8_t b) {
  PutCmd2(kCmdDataByte, b);
  SetPinLow(11);
  SetPinHigh(12);
  PutCmd1(kCmdWait50us);
  SetPinLow(12);
  SetPinHigh(11);
}

bool STC89::EnterRead() {
  PowerUp();
  if (!CheckPower()) return false;
  SelectVppPinByModel(gMcs51.ChipVppPin);
  SetPinLow(10);
  FlushCommands();
  return true;
}

// The smaller types' hole between the code area and the second area holds no memory.
bool STC89::DataInHole(bool verify) {
  const auto walk = WalkOf(Type());
  const HeldSpan window{0, Type().lastAddress};
  const std::array<HeldSpan, 2> held{
      {{walk[0].first, walk[0].last}, {walk[1].first, walk[1].last}}};
  return DataOutsideChip({&window, 1}, held, verify);
}

bool STC89::ScanWalk(Scan kind) {
  for (const AreaSpan& s : WalkOf(Type())) {
    if (s.first > s.last) continue;
    if (!ScanBlocks(kind, s.first, s.last, 256,
                    [this](std::uint32_t a, std::uint8_t* dest) { ReadBlockAt(a, dest); })) {
      return false;
    }
  }
  return true;
}

void STC89::Read() {
  if (!EnterRead()) return;
  ScanWalk(Scan::Read);
  SetPinHigh(10);
  const auto walk = WalkOf(Type());
  const HeldSpan window{0, Type().lastAddress};
  const std::array<HeldSpan, 2> held{
      {{walk[0].first, walk[0].last}, {walk[1].first, walk[1].last}}};
  BlankOutsideChip({&window, 1}, held);
  FinishScan();
}

void STC89::Blank() {
  if (!EnterRead()) return;
  if (ScanWalk(Scan::Blank)) FinishScan();
}

void STC89::Verify() {
  if (DataInHole(true) || !EnterRead()) return;
  if (ScanWalk(Scan::Verify)) {
    FinishScan();
    return;
  }
  LogVerifyMismatch();
}

// P3.3 high with P3.1 low for 200 ms.
void STC89::Erase() {
  ShowProgress(0);
  PowerUp();
  SetVccVoltage(kCycleVccMillivolts);
  if (!CheckPower()) return;
  SetRegister25(kBusDrive);
  SetP3(kEraseMode);
  SetAddress(0xFFFF);
  PutCmd2(kCmdDataByte, 0xFF);
  FlushCommands();
  SetPinHigh(13);
  SetPinLow(11);
  PutCmd1(kCmdLongWait);
  PutCmd1(kCmdLongWait);
  SetPinLow(13);
  SetPinHigh(11);
  FlushCommands();
}

void STC89::Write() {
  if (DataInHole(false)) return;
  PowerUp();
  SetVccVoltage(kCycleVccMillivolts);
  SetRegister25(kBusDrive);
  SetP3(kProgramMode);
  SetAddress(0);
  FlushCommands();
  if (!CheckPower()) return;
  for (const AreaSpan& s : WalkOf(Type())) {
    for (std::uint32_t a = s.first; a <= s.last && s.first <= s.last; ++a) {
      if (a % kStep == 0) {
        FlushCommands();
        ShowProgress(static_cast<int>(a));
        SetAddress(a);
      }
      ProgramByte(buffer_[a]);
      NextAddress();
    }
  }
  FlushCommands();
  ShowProgress(-1);
}

// Byte 0 from word 0 (Lock, SB, MOVCL, ISP space in bits 4 and 5), byte 1 from word 1.
void STC89::Config() {
  PowerUp();
  SetVccVoltage(kCycleVccMillivolts);
  SetRegister25(kBusDrive);
  SetP3(kConfigMode);
  SetAddress(0);
  FlushCommands();
  if (!CheckPower()) return;
  ProgramByte(static_cast<std::uint8_t>(Word(0)));
  NextAddress();
  ProgramByte(static_cast<std::uint8_t>(Word(1)));
  FlushCommands();
}

}  // namespace zelvar::mcs51
