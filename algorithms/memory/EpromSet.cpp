#include "algorithms/memory/EpromSet.h"

#include <cstring>

#include "link/Bitstream.h"
#include "link/ChipId.h"
#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "services/Messages.h"

namespace zelvar::memory {

EpromType MakeEpromType(const char* name, std::uint32_t last, std::uint8_t vcc, std::uint8_t vpp,
                        std::uint8_t program, std::uint32_t vppMv, std::uint64_t mask) {
  EpromType t{};
  std::strncpy(t.name, name, sizeof t.name - 1);
  t.lastAddress = last;
  t.highBits = ~last;
  t.vccPin = vcc;
  t.vppPin = vpp;
  t.programPin = program;
  t.vppMillivolts = vppMv;
  t.contactMask = mask;
  return t;
}

void EpromSet::ApplyVcc() {
  RestoreSupplies();
  SelectVccPin(Type().vccPin);
}

bool EpromSet::PowerUp() {
  ApplyVcc();
  return CheckPower();
}

void EpromSet::EndOfReads() {
  ShowProgress(-1);
  SetAllPins(false);
  SelectVccPin(0);
}

void EpromSet::Read() {
  SetPinLow(26);
  SetPinLow(28);
  if (!PowerUp()) return;
  PutCmd1(kCmdSettleWait);
  SetRegister25(readMode_);
  SetAddress(0);
  SetPinHigh(35);
  BeforeReads();
  SetPinLow(28);
  SetPinLow(26);
  FlushCommands();
  lastAddress_ = Type().lastAddress;
  ReadIntoBuffer(lastAddress_);
  EndOfReads();
}

void EpromSet::Blank() {
  if (!PowerUp()) return;
  SetRegister25(readMode_);
  SetPinLow(26);
  SetPinLow(28);
  BeforeReads();
  start_ = Word(kRangeStartWord);
  SetAddress(start_);
  gLink.StatusWord = 0;
  Scan s;
  s.start = start_;
  s.last = Type().lastAddress;
  if (!CompareBlocks(s)) return;
  EndOfReads();
}

void EpromSet::Verify() {
  if (!PowerUp()) return;
  start_ = Word(kRangeStartWord);
  SetRegister25(readMode_);
  SetPinLow(26);
  SetPinLow(28);
  BeforeReads();
  gLink.StatusWord = 0;
  Scan s;
  s.start = start_;
  s.last = Type().lastAddress;
  s.end = RangeEndExclusive();
  s.expected = buffer_;
  s.progressByCounter = true;
  if (!CompareBlocks(s)) return;
  EndOfReads();
}

void EpromSet::Write() {
  if (!PrepareWrite()) return;
  gLink.StatusWord = 0;
  // The write starts where Verify starts: chip address start + k takes buffer byte k.
  start_ = Word(kRangeStartWord);
  Program p;
  p.start = start_;
  p.last = Type().lastAddress;
  p.end = RangeEndExclusive();
  p.data = buffer_;
  p.vppPin = Type().vppPin;
  p.programPin = Type().programPin;
  p.checkPowerPerBlock = PowerPerBlock();
  if (!ProgramBlocks(p)) return;
  EndOfWrite();
}

void EpromSet::ReadId() {
  if (!HasSignature()) {
    ShowMessageText("This chip has no ID to read!*这个芯片没有可读的ID!");
    gLink.StatusWord = 1;
    return;
  }
  RestoreSupplies();
  ReadChipId16(Type().vccPin);
}

bool EpromSet::Run(int op) {
  switch (op) {
    case kOpBlank:
      Blank();
      return true;
    case kOpWrite:
      Write();
      return true;
    case kOpVerify:
      Verify();
      return true;
    case kOpRead:
      Read();
      return true;
    default:
      return RunOwn(op);
  }
}

}  // namespace zelvar::memory
