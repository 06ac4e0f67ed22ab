#include "algorithms/memory/DSRAM.h"

#include <string>

#include "link/Bitstream.h"
#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "link/commands/Zor5103.h"
#include "services/Messages.h"

namespace zelvar::memory {

using namespace zor5103;

namespace {
constexpr int kRamVcc = 5000;
constexpr std::uint8_t kPulsedWePin = 29;  // strobed by pin commands
// The strobe command of each other WE pin.
constexpr std::pair<std::uint8_t, std::uint8_t> kStrobes[] = {
    {35, kCmdStrobe}, {33, kCmdStrobePin33}, {5, kCmdStrobePin5}, {7, kCmdStrobePin7}};

std::uint8_t StrobeOf(std::uint8_t wePin) {
  for (const auto& [pin, command] : kStrobes) {
    if (pin == wePin) return command;
  }
  return 0;
}
}  // namespace

void CheckRamRow(const RamType& t, TypeTableReport& r) {
  if (t.name.empty()) r.Fault("no caption");
  r.bitstreams.emplace_back("zor5103.bit");
  r.SizeIsPowerOfTwo(t.lastAddress);
  r.MaskInSocket(t.contactMask, 40);
  r.DistinctSupplyPins({{"VCC", t.vccPin}, {"WE", t.wePin}, {"CE", 26}, {"OE", 28}},
                       {kBottomGroundPin}, 40);
  const int half = t.packagePins / 2;
  const auto onPackage = [&](int pin) {
    return pin > kBottomGroundPin - half && pin <= kBottomGroundPin + half;
  };
  if (t.packagePins != 24 && t.packagePins != 28 && t.packagePins != 32) {
    r.Fault("package of " + std::to_string(t.packagePins) + " pins");
    return;
  }
  if (t.vccPin != kBottomGroundPin + half) r.Fault("VCC is not the package's top pin");
  if (!onPackage(t.wePin)) r.Fault("WE pin off the package");
  if (t.wePin != kPulsedWePin && StrobeOf(t.wePin) == 0) r.Fault("no strobe for the WE pin");
  for (int bit = 8; bit < 19 && (t.lastAddress >> bit) != 0; ++bit) {
    const int pin = DSRAM::kPins.bits[static_cast<std::size_t>(bit - 8)];
    if (!onPackage(pin) || pin == t.vccPin || pin == t.wePin)
      r.Fault("address bit " + std::to_string(bit) + " is not an address pin of the package");
  }
}

void DSRAM::Init() {
  LoadBitstream("zor5103.bit");
  writeMode_ = kWriteMode;
  readMode_ = kReadMode;
  SetVppVoltage(0);
  InitHardwareState();
  lastAddress_ = Type().lastAddress;
  SelectGndPin(kBottomGroundPin);
  vccMillivolts_ = kRamVcc;
  vppMillivolts_ = 0;
  SetVccVoltage(kRamVcc);
}

// The whole chip from address 0, whatever the range; Verify checks it.
void DSRAM::Write() {
  const RamType& t = Type();
  PutCmd1(kCmdErasePulse);
  SetVccVoltage(vccMillivolts_);
  SelectVccPin(t.vccPin);
  SetRegister25(writeMode_);
  if (!CheckPower()) return;
  PutCmd1(kCmdErasePulse);
  const std::uint8_t strobe = StrobeOf(t.wePin);
  SetPinHigh(t.wePin);
  SetPinHigh(26);
  SetPinLow(28);
  gLink.StatusWord = 0;
  for (std::uint32_t block = 0; block <= t.lastAddress; block += kBlockBytes) {
    SetPinHigh(t.wePin);
    SetAddress(block);
    ShowProgress(static_cast<int>(block));
    SetPinLow(26);
    SetPinHigh(28);
    for (std::uint32_t i = 0; i < kBlockBytes; ++i) {
      WritePort(2, buffer_[block + i]);
      if (t.wePin == kPulsedWePin) {
        SetPinLow(kPulsedWePin);
        SetPinHigh(kPulsedWePin);
      } else {
        PutCmd1(strobe);
      }
      // The counter does not step past the block's last byte: beyond the chip's last address its
      // carry runs into the pins of bits 14 and 15, and pin 33 is the WE# of the 28- and 32-pin
      // parts, which would write the last byte again at address 0.
      if (i + 1 < kBlockBytes) PutCmd1(kCmdNextAddress);
    }
    FlushCommands();
  }
  SetPinHigh(26);
  SetPinLow(28);
  FlushCommands();
  ShowProgress(-1);
  SelectVccPin(0);
  SetPinHigh(26);
  SetPinLow(28);
  FlushCommands();
}

bool DSRAM::StartReads() {
  SetRegister25(readMode_);
  SetPinHigh(Type().wePin);
  SetPinHigh(26);
  SetPinLow(28);
  SetVccVoltage(vccMillivolts_);
  SelectVccPin(Type().vccPin);
  if (!CheckPower()) return false;
  SetAddress(0);
  SetPinLow(26);
  SetPinLow(28);
  gLink.StatusWord = 0;
  return true;
}

void DSRAM::EndReads() {
  SetPinHigh(26);
  SetPinLow(28);
  FlushCommands();
  ShowProgress(-1);
  SelectVccPin(0);
}

bool DSRAM::Run(int op) {
  switch (op) {
    case kOpWrite:
      Write();
      return true;
    case kOpVerify: {
      if (!StartReads()) return true;
      Scan s;
      s.last = Type().lastAddress;
      s.expected = buffer_;
      if (CompareBlocks(s)) EndReads();
      return true;
    }
    case kOpRead:
      // VCC goes off after the read as after Verify.
      if (!StartReads()) return true;
      ReadIntoBuffer(Type().lastAddress, false);
      EndReads();
      return true;
    default:
      return false;
  }
}

}  // namespace zelvar::memory
