#include "algorithms/mcs51/Sm59Engine.h"

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
constexpr std::uint8_t kFirstModePin = 10;
constexpr std::uint8_t kCyclePin = 17;  // P3.7: its pulse starts a cycle
constexpr int kReadVccMillivolts = 4400;
constexpr int kCycleVccMillivolts = 5000;
constexpr std::uint32_t kConfigAddress = 0x100;  // the ISP erase; the size code n at 0x100 + 2n
constexpr int kIspWord = kLockChoiceWord;        // "$Radio1", the ISP size code

constexpr int kOps[] = {kOpErase, kOpBlank,      kOpWrite,    kOpVerify, kOpConfig,
                        kOpLock,  kOpReadConfig, kOpUserInfo, kOpRead};

void RunWaits(std::uint8_t cmd, int count, bool flushEach) {
  for (int i = 0; i < count; ++i) {
    PutCmd1(cmd);
    if (flushEach) FlushCommands();
  }
}

}  // namespace

void Sm59Set::CheckRow(const ParallelType& t, TypeTableReport& r) {
  if (t.name.empty()) r.Fault("no caption");
  if (t.lastAddress < 0xFF || t.lastAddress > 0x1FFFF) r.Fault("size outside 17 address lines");
  if ((t.lastAddress & 0xFF) != 0xFF) r.Fault("size not whole 256-byte pages");
  ParallelSet::CheckRow({.name = t.name, .lastAddress = 0xFFFF}, r);
}

const AddressPins& Sm59Set::Address() const {
  return kAddress;
}

std::span<const int> Sm59Set::Operations() const {
  return kOps;
}

void Sm59Set::Init() {
  const Sm59Policy& p = Policy();
  if (!SetUp(kTypes.size(), kPlcc44, kReadVccMillivolts, p.vppMillivolts)) return;
  // Without a pin for A16 the upper 64 KB cannot be reached.
  if (p.a16Pin == 0 && LastAddress() > 0xFFFF) {
    Refuse("This type needs the SM59128 algorithm! *此型号需用SM59128算法!");
  }
}

void Sm59Set::SetPattern(Sm59Pattern p) {
  for (int i = 0; i < 6 && p.levels[i] != '\0'; ++i) {
    SetPinLevel(p.levels[i] == '1', static_cast<std::uint8_t>(kFirstModePin + i));
  }
}

void Sm59Set::Address17(std::uint32_t a) {
  SetAddress(a);
  if (Policy().a16Pin != 0) SetPinLevel((a >> 16) & 1, Policy().a16Pin);
}

// RST low while VCC comes up, then high: the part enters its programming mode from reset.
void Sm59Set::PowerUp() {
  const Sm59Policy& p = Policy();
  SelectGndPin(gApp.GroundPin);
  SwitchPin(40, true);
  SelectVccPin(0);
  SwitchPin(kXtal2Pin, true);
  SelectClockPin(kXtal1Pin);
  SetRegister25(kBusRead);
  if (p.eaLow != 0) SetPinLow(p.eaLow);
  SetPinHigh(p.strobePin);
  SetPinHigh(kPsenPin);
  SetPinHigh(kCyclePin);
  SetPattern(p.idle);
  SetPinLow(kRstPin);
  SelectVccPin(gMcs51.ChipVccPin);
  PutCmd1(kCmdSettle);
  SetPinHigh(kRstPin);
  PutCmd1(kCmdSettle);
  FlushCommands();
}

bool Sm59Set::EnterRead(Sm59Pattern pattern) {
  SetVccVoltage(kReadVccMillivolts);
  PowerUp();
  SetPinLow(Policy().strobePin);
  SetPinLow(kPsenPin);
  SelectVppPin(0);
  SetPattern(pattern);
  FlushCommands();
  return CheckPower();
}

bool Sm59Set::RunCycle(const Sm59Cycle& c, std::uint32_t address, std::uint8_t data) {
  const std::uint8_t strobe = Policy().strobePin;
  SetVccVoltage(kCycleVccMillivolts);
  PowerUp();
  SetRegister25(kBusDrive);
  Address17(address);
  PutCmd2(kCmdDataByte, data);
  SetPinHigh(kPsenPin);
  SetPattern(c.pattern);
  FlushCommands();
  if (!CheckPower()) return false;
  SetPinLow(strobe);
  SetPinLow(kCyclePin);
  RunWaits(c.insideWait, c.insideCount, false);
  SetPinHigh(kCyclePin);
  RunWaits(c.afterWait, c.afterCount, c.flushEach);
  SetPinHigh(strobe);
  FlushCommands();
  return true;
}

// The ISP size code n keeps the highest n * 512 bytes of the type out of the comparison; a code
// beyond the radio (from a project file) compares the whole type.
std::uint32_t Sm59Set::ScanEnd() const {
  const std::uint32_t n = Word(kIspWord);
  const std::uint32_t size = LastAddress() + 1;
  const std::uint32_t isp = n < kSm59IspCodes ? n * kSm59IspUnit : 0;
  return isp >= size ? 0 : size - isp;
}

bool Sm59Set::ScanTo(Scan kind, std::uint32_t end) {
  if (end == 0) return true;
  return ScanBlocks(kind, 0, end - 1, 256, [this](std::uint32_t a, std::uint8_t* dest) {
    Address17(a);
    ReadBlock256(dest);
  });
}

void Sm59Set::Read() {
  if (!EnterRead(Policy().read)) return;
  ScanTo(Scan::Read, LastAddress() + 1);
  FinishScan();
}

void Sm59Set::Blank() {
  if (!EnterRead(Policy().read)) return;
  if (ScanTo(Scan::Blank, ScanEnd())) FinishScan();
}

void Sm59Set::Verify() {
  if (!EnterRead(Policy().read)) return;
  if (ScanTo(Scan::Verify, ScanEnd())) {
    FinishScan();
    return;
  }
  LogVerifyMismatch();
}

// The whole type, ISP area and 0xFF bytes included, a page of 256 bytes a flush.
void Sm59Set::Write() {
  const Sm59Policy& p = Policy();
  SetVccVoltage(kCycleVccMillivolts);
  PowerUp();
  SetPinHigh(kPsenPin);
  SetRegister25(kBusDrive);
  Address17(0);
  SetPattern(p.program.pattern);
  FlushCommands();
  if (!CheckPower()) return;
  for (std::uint32_t a = 0; a <= LastAddress(); a += 256) {
    ShowProgress(static_cast<int>(a));
    Address17(a);
    for (std::uint32_t i = 0; i < 256; ++i) {
      PutCmd2(kCmdDataByte, buffer_[a + i]);
      SetPinLow(p.strobePin);
      SetPinLow(kCyclePin);
      RunWaits(p.program.insideWait, p.program.insideCount, false);
      SetPinHigh(kCyclePin);
      RunWaits(p.program.afterWait, p.program.afterCount, false);
      SetPinHigh(p.strobePin);
      NextAddress();
    }
    FlushCommands();
  }
  ShowProgress(-1);
}

void Sm59Set::Erase() {
  RunCycle(Policy().erase, Policy().eraseAddress, 0xFF);
}

void Sm59Set::Lock() {
  RunCycle(Policy().lock, 0, 0xFF);
}

void Sm59Set::UserInfo() {
  RunCycle(Policy().ispErase, kConfigAddress, 0xFF);
}

// Stores the ISP size code the radio holds; a code beyond the radio is refused.
void Sm59Set::Config() {
  const std::uint32_t n = Word(kIspWord);
  if (n >= kSm59IspCodes) {
    AddMessageLine("ISP size out of range! *ISP大小超出范围!");
    gLink.StatusWord = 1;
    return;
  }
  RunCycle(Policy().configWrite, kConfigAddress + 2 * n, 0xFF);
}

// The size code into the radio; a byte beyond its items (an unwritten code reads 0xFF) is no ISP
// area.
void Sm59Set::ReadConfig() {
  if (!EnterRead(Policy().readConfig)) return;
  Address17(LastAddress());
  std::uint8_t* block = gLink.ScratchBuffer.data();
  ReadBlock256(block);
  SetPinHigh(Policy().strobePin);
  const std::uint8_t code = block[0];
  char line[48];
  if (code < kSm59IspCodes) {
    std::snprintf(line, sizeof line, "ISP=%d,(%d bytes)", code, code * kSm59IspUnit);
    SetWord(kIspWord, code);
  } else {
    std::snprintf(line, sizeof line, "ISP=%02x,", code);
    SetWord(kIspWord, 0);
  }
  AddMessageLine(line);
}

}  // namespace zelvar::mcs51
