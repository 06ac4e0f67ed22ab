#include "algorithms/memory/EpromSet.h"

#include <string>

#include "link/Bitstream.h"
#include "link/ChipId.h"
#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "services/AppState.h"
#include "services/Messages.h"

namespace zelvar::memory {

void CheckEpromRow(const EpromType& t, const AddressPins& pins, TypeTableReport& r) {
  if (t.name.empty()) r.Fault("no caption");
  r.bitstreams.emplace_back(kEpromBitstream);
  r.SizeIsPowerOfTwo(t.lastAddress);
  r.MaskInSocket(t.contactMask, kEpromSocketPins);
  if (t.programPinIsVppPin) {
    if (t.programPin != t.vppPin) r.Fault("marked as programming through VPP, but it does not");
    r.DistinctSupplyPins({{"VCC", t.vccPin}, {"VPP", t.vppPin}}, {kBottomGroundPin},
                         kEpromSocketPins);
  } else {
    r.DistinctSupplyPins({{"VCC", t.vccPin}, {"VPP", t.vppPin}, {"program", t.programPin}},
                         {kBottomGroundPin}, kEpromSocketPins);
  }
  // A DIP at the bottom of the socket: ground on socket pin 20, pin 1 at 20 - pins/2 + 1.
  const int half = t.packagePins / 2;
  const auto onPackage = [&](int pin) {
    return pin > kBottomGroundPin - half && pin <= kBottomGroundPin + half;
  };
  if (t.packagePins != 24 && t.packagePins != 28 && t.packagePins != 32) {
    r.Fault("package of " + std::to_string(t.packagePins) + " pins");
  } else {
    if (t.vccPin != kBottomGroundPin + half) r.Fault("VCC is not the package's top pin");
    if (!onPackage(t.vppPin)) r.Fault("VPP pin off the package");
    if (!onPackage(t.programPin)) r.Fault("program pin off the package");
  }
  if (t.programVccMillivolts > static_cast<std::uint32_t>(kMaxVccMillivolts))
    r.Fault("programming VCC above the programmer's range");
  const int high = t.addressBits() - 8;
  for (int i = 0; i < high; ++i) {
    const int pin =
        i < static_cast<int>(pins.bits.size()) ? pins.bits[static_cast<std::size_t>(i)] : 0;
    const std::string bit = "address bit " + std::to_string(8 + i);
    if (pin == 0) {
      r.Fault(bit + " has no pin");
    } else if (pin == t.vccPin || pin == t.vppPin || pin == t.programPin ||
               pin == kBottomGroundPin) {
      r.Fault(bit + " is on a supply, ground or program pin");
    } else if (!onPackage(pin)) {
      r.Fault(bit + " is off the package");
    }
  }
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
  PutCmd1(kCmdSettle);
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
  // The set-up VCC comes back however the write ends.
  struct KeepVcc {
    int& vcc;
    int readVcc;
    ~KeepVcc() { vcc = readVcc; }
  } keep{vccMillivolts_, vccMillivolts_};
  if (Type().programVccMillivolts != 0)
    vccMillivolts_ = static_cast<int>(Type().programVccMillivolts);
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
  ReadSignature(Type().vccPin);
}

bool EpromSet::IdentityMatches() {
  const auto& want = gApp.ExpectedId;
  if (want[0] == 0 || !HasSignature()) return true;
  RestoreSupplies();
  const int id = ReadChipId16(Type().vccPin);
  gApp.ReadId = {static_cast<std::uint8_t>(id), static_cast<std::uint8_t>(id >> 8), 0, 0};
  if (gApp.ReadId[0] == want[0] && gApp.ReadId[1] == want[1]) return true;
  AddMessageLine("Type error!");
  gLink.StatusWord = 1;
  return false;
}

bool EpromSet::Run(int op) {
  switch (op) {
    case kOpBlank:
      Blank();
      return true;
    case kOpWrite:
      if (IdentityMatches()) Write();
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
