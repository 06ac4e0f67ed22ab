#include "algorithms/memory/ST93S.h"

#include <algorithm>
#include <cstdio>

#include "link/Bitstream.h"
#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/Primitives.h"
#include "link/commands/P93cxxx.h"
#include "link/commands/Programmer.h"
#include "services/Messages.h"
#include "services/Services.h"

namespace zelvar::memory {

namespace {
constexpr std::uint32_t kWrite = 5, kExtended = 4, kClear = 7;
constexpr std::uint32_t kEnable = 3, kDisable = 0;
// The protect register's write cycle, waited out in steps of 1 ms.
constexpr std::uint32_t kRegisterWaitSteps = 50;
constexpr int kEraseWaits = 10;
}  // namespace

void ST93S::Init() {
  ClearRefusal();
  if (Type().addressBits == 0) {
    Refuse(frame::kNoSuchType);
    return;
  }
  vccMillivolts_ = ChipVccMillivolts(5000);
  SetVccVoltage(vccMillivolts_);
  LoadBitstream("p93cxxx.bit");
  const int wrt = services().ChipParam("wrt=");
  writeWait_ = wrt < 1 ? 10 : static_cast<std::uint32_t>(wrt);
}

bool ST93S::Offers(int op) const {
  return op == kOpUnProtect || op == kOpErase || op == kOpBlank || op == kOpWrite ||
         op == kOpVerify || op == kOpLock || op == kOpRead || op == kOpReadConfig;
}

void ST93S::Handle(int op) {
  switch (op) {
    case kOpUnProtect:
      Unprotect();
      break;
    case kOpErase:
      Erase();
      break;
    case kOpBlank:
      Scan(ScanMode::kBlank);
      break;
    case kOpWrite:
      Write();
      break;
    case kOpVerify:
      Scan(ScanMode::kVerify);
      break;
    case kOpLock:
      Protect();
      break;
    case kOpRead:
      Scan(ScanMode::kRead);
      break;
    case kOpReadConfig:
      ReadRegister();
      break;
    default:
      break;
  }
}

// PRE (chip pin 7) and PE (the organisation pin) low: memory instructions, programming off.
bool ST93S::PowerUp() const {
  return PowerUpWith(false, false, vccMillivolts_);
}

void ST93S::WriteWord(std::uint32_t address, std::uint32_t value) const {
  const MicrowireType& t = Type();
  SetPinHigh(t.orgPin);
  StartAndOpcode(kWrite);
  ShiftOut(address, t.addressBits);
  ShiftOut(value, 16);
  SetPinLow(t.selectPin);  // the write cycle starts here
  SetPinLow(t.orgPin);
  for (std::uint32_t i = 0; i < writeWait_; ++i) PutCmd1(kCmdWait1ms);
}

// These parts have no erase instruction: every word is written 0xFFFF (WRALL), which the chip
// takes only while no word is protected.
void ST93S::Erase() const {
  if (!PowerUp()) return;
  const MicrowireType& t = Type();
  Extended(kEnable);
  SetPinHigh(t.orgPin);
  StartAndOpcode(kExtended);
  ShiftOut(1u << (t.addressBits - 2), t.addressBits);  // 0 1 and zeros: write all
  ShiftOut(0xFFFF, 16);
  SetPinLow(t.orgPin);
  SetPinLow(t.selectPin);
  Extended(kDisable);
  for (int i = 0; i < kEraseWaits; ++i) PutCmd1(p93cxxx::kCmdWait100ms);
  FlushCommands();
  SelectVccPin(0);
}

void ST93S::EnableProtectRegister() const {
  const MicrowireType& t = Type();
  SetPinHigh(t.orgPin);
  Extended(kEnable);  // WEN: the protect register is reached only from a write-enabled chip
  SetPinHigh(t.pin7);
  Extended(kEnable);  // PREN
}

std::uint32_t ST93S::ProtectRegister() const {
  const MicrowireType& t = Type();
  SetPinHigh(t.pin7);
  const std::uint32_t word = ReadWord(0xFF);  // PRREAD: the register's bits come first
  SetPinLow(t.pin7);
  return word >> (16 - t.addressBits);
}

// PREN, then PRWRITE with chip select, PE and PRE high, as the chip takes it; the register is
// read back, so that a chip that did not take the address is reported.
void ST93S::Protect() const {
  if (!PowerUp()) return;
  const MicrowireType& t = Type();
  EnableProtectRegister();
  StartAndOpcode(kWrite);
  ShiftOut(kProtectFrom, t.addressBits);
  SetPinLow(t.selectPin);  // the register's write cycle starts here
  for (std::uint32_t i = 0; i < kRegisterWaitSteps; ++i) PutCmd1(kCmdWait1ms);
  SetPinLow(t.pin7);
  Extended(kDisable);  // WDS, with PRE low: high, it would be the one-time PRDS
  SetPinLow(t.orgPin);
  const std::uint32_t reg = ProtectRegister();
  SelectVccPin(0);
  if (reg != kProtectFrom)
    Decline("Protect failed: the protect register does not hold the address*保护失败");
}

// PREN, then PRCLEAR (opcode 11, every address bit 1) and WDS with PRE low; the register must
// read back all ones.
void ST93S::Unprotect() const {
  if (!PowerUp()) return;
  const MicrowireType& t = Type();
  EnableProtectRegister();
  StartAndOpcode(kClear);
  ShiftOut(0xFFFF, t.addressBits);
  SetPinLow(t.selectPin);  // the register's write cycle starts here
  // At least the register's wait: a chip still busy reads all ones, as a cleared register does.
  const std::uint32_t steps = std::max(writeWait_, kRegisterWaitSteps);
  for (std::uint32_t i = 0; i < steps; ++i) PutCmd1(kCmdWait1ms);
  SetPinLow(t.pin7);
  Extended(kDisable);
  SetPinLow(t.orgPin);
  const std::uint32_t reg = ProtectRegister();
  SelectVccPin(0);
  if (reg != (1u << t.addressBits) - 1)
    Decline("UnProtect failed: the protect register is not cleared*解除保护失败");
}

void ST93S::ReadRegister() const {
  if (!PowerUp()) return;
  SetPinHigh(Type().pin7);
  const std::uint32_t value = ReadWord(0xFF);
  SetPinLow(Type().pin7);
  char line[32];
  std::snprintf(line, sizeof line, "Register=%04x", value / 256);
  AddMessageLine(line);
  SelectVccPin(0);
}

}  // namespace zelvar::memory
