#include "algorithms/memory/MicrowireSet.h"

#include <string>

#include "link/Bitstream.h"
#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "link/commands/P93cxxx.h"
#include "link/commands/Programmer.h"
#include "services/AppState.h"
#include "services/Messages.h"
#include "services/Services.h"

namespace zelvar::memory {

namespace {
using frame::kNoSuchType;
constexpr const char* kDesign = "p93cxxx.bit";
constexpr std::uint32_t kRead = 6, kWrite = 5;
constexpr std::uint32_t kEnable = 3, kDisable = 0, kEraseAll = 2;
// Waits after a written word by the "Delay" choice, in steps of 1 ms.
constexpr std::uint32_t kWriteDelaySteps[] = {1, 2, 5, 10, 20, 50};
constexpr int kDelayWord = 128;
constexpr int kVccWord = 129;
constexpr int kVccMillivolts[] = {5000, 3300, 2500};
constexpr std::uint32_t kScanBlock = 16;
// The models without an FPGA: their bus mode, and the data-out line (socket pin 18) in bit 1 of
// the sampled socket byte.
constexpr std::uint8_t kOwnLogicBusMode = 15;
constexpr std::uint8_t kCmdSampleSocket = 3;
constexpr std::uint8_t kSocketDataOutBit = 0x02;
}  // namespace

// The 8-pin package from chip pin 1 (CS) with ground on chip pin 5, so that the contact check
// finds an empty socket; pin 7 where the parts do not connect it is left out. The models without
// an FPGA make no contact test.
TypeFacts MicrowireSet::Facts() const {
  const MicrowireType& t = Type();
  if (OwnLogic()) return {.lastAddress = t.lastAddress};
  const int first = t.selectPin;
  const std::uint64_t package =
      SocketPins(first, first + 3) | SocketPins(41 - first - 3, 41 - first);
  return {.lastAddress = t.lastAddress,
          .contactMask = Pin7Connected() ? package : package & ~SocketPins(t.pin7, t.pin7),
          .groundPin = t.gndPin};
}

void CheckMicrowireRow(const MicrowireType& t, TypeTableReport& r, const char* design) {
  if (t.name.empty()) r.Fault("no caption");
  if (design != nullptr) r.bitstreams.emplace_back(design);
  // The package: chip pin 1 (CS) to 4 up the left row, 5 to 8 down the right.
  const int first = t.selectPin;
  const auto onPackage = [first](int pin) {
    return (pin >= first && pin <= first + 3) || (pin >= 41 - first - 3 && pin <= 41 - first);
  };
  r.DistinctSupplyPins({{"VCC", t.vccPin},
                        {"DI", t.dataInPin},
                        {"DO", t.dataOutPin},
                        {"SK", t.clockPin},
                        {"CS", t.selectPin},
                        {"ORG", t.orgPin},
                        {"pin 7", t.pin7}},
                       {t.gndPin}, 40);
  for (int pin : {int{t.vccPin}, int{t.gndPin}, int{t.dataInPin}, int{t.dataOutPin},
                  int{t.clockPin}, int{t.selectPin}, int{t.orgPin}, int{t.pin7}}) {
    if (!onPackage(pin)) r.Fault("pin " + std::to_string(pin) + " off the package");
  }
  if (t.dataBits != 8 && t.dataBits != 16) r.Fault("data bits neither 8 nor 16");
  r.SizeIsPowerOfTwo(t.lastAddress);
  const std::uint32_t words = (t.lastAddress + 1) * 8 / t.dataBits;
  if (t.addressBits > 16 || (std::uint64_t{1} << t.addressBits) < words)
    r.Fault("address bits do not reach the chip's words");
}

void MicrowireSet::Init() {
  ClearRefusal();
  if (Type().addressBits == 0) {
    Refuse(kNoSuchType);
    return;
  }
  if (OwnLogic()) {
    SetRegister25(kOwnLogicBusMode);
    SetVppVoltage(0);
    SetVccVoltage(5000);
    PlacementRequest picture;
    picture.pins = 8;
    picture.firstRow = 15;
    services().ShowPlacement(picture);
    return;
  }
  SetVccVoltage(5000);
  LoadBitstream(kDesign);
}

bool MicrowireSet::Offers(int op) const {
  return op == kOpErase || op == kOpBlank || op == kOpWrite || op == kOpVerify || op == kOpRead;
}

void MicrowireSet::Handle(int op) {
  switch (op) {
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
    case kOpRead:
      Scan(ScanMode::kRead);
      break;
    default:
      break;
  }
}

// The VCC choice is read here, at each operation.
bool MicrowireSet::PowerUp() const {
  const int mv = OwnLogic() ? 5000 : kVccMillivolts[Choice(kVccWord, std::size(kVccMillivolts))];
  return PowerUpWith(true, Type().dataBits == 16, mv);
}

bool MicrowireSet::PowerUpWith(bool pin7High, bool orgHigh, int millivolts) const {
  const MicrowireType& t = Type();
  SelectVppPin(0);
  SelectVccPin(0);
  // Low, not high: the ground pin stays selected between operations, and a driver high on it
  // would short the ground switch.
  SetAllPins(false);
  SwitchPin(t.dataInPin, false);
  SwitchPin(t.dataOutPin, true);
  SetPinLevel(pin7High, t.pin7);
  SetPinLow(t.clockPin);
  SetPinLow(t.selectPin);
  SelectGndPin(t.gndPin);
  SetVccVoltage(millivolts);
  SelectVccPin(t.vccPin);
  SetPinLevel(orgHigh, t.orgPin);
  FlushCommands();
  return CheckPower();
}

void MicrowireSet::ShiftOut(std::uint32_t value, std::uint32_t n) const {
  const MicrowireType& t = Type();
  for (std::uint32_t i = n; i-- > 0;) {
    SetPinLevel(((value >> i) & 1) != 0, t.dataInPin);
    SetPinHigh(t.clockPin);
    SetPinLow(t.clockPin);
  }
}

void MicrowireSet::StartAndOpcode(std::uint32_t code) const {
  SetPinHigh(Type().selectPin);
  ShiftOut(code, 3);
}

void MicrowireSet::Extended(std::uint32_t sub) const {
  const MicrowireType& t = Type();
  SetPinHigh(t.selectPin);
  ShiftOut(sub | 16, 5);
  ShiftOut(0, t.addressBits - 2);
  SetPinLow(t.selectPin);
}

std::uint32_t MicrowireSet::ReadWord(std::uint32_t address) const {
  const MicrowireType& t = Type();
  StartAndOpcode(kRead);
  ShiftOut(address, t.addressBits);
  for (std::uint32_t i = 0; i < t.dataBits; ++i) {
    SetPinHigh(t.clockPin);
    SetPinLow(t.clockPin);
    PutCmd1(OwnLogic() ? kCmdSampleSocket : p93cxxx::kCmdSampleDataOut);
  }
  SetPinLow(t.selectPin);
  ReadReply64(gLink.ScratchBuffer.data());
  const std::uint8_t bit = OwnLogic() ? kSocketDataOutBit : 1;
  std::uint32_t value = 0;
  for (std::uint32_t i = 0; i < t.dataBits; ++i)
    value = value * 2 + ((gLink.ScratchBuffer[i] & bit) != 0 ? 1 : 0);
  return value;
}

void MicrowireSet::WriteWord(std::uint32_t address, std::uint32_t value) const {
  const MicrowireType& t = Type();
  StartAndOpcode(kWrite);
  ShiftOut(address, t.addressBits);
  ShiftOut(value, t.dataBits);
  SetPinLow(t.selectPin);
  const std::uint32_t steps = kWriteDelaySteps[Choice(kDelayWord, std::size(kWriteDelaySteps))];
  for (std::uint32_t i = 0; i < steps; ++i) PutCmd1(kCmdWait1ms);
}

void MicrowireSet::Scan(ScanMode mode) {
  if (!PowerUp()) return;
  const std::uint32_t unit = WordUnits() ? 2 : 1;
  const auto fetch = [&](std::uint32_t offset, std::uint8_t* dest, std::uint32_t count) {
    for (std::uint32_t k = 0; k < count; k += unit) {
      const std::uint32_t v = ReadWord((offset + k) / unit);
      dest[k] = static_cast<std::uint8_t>(v);
      if (unit == 2) dest[k + 1] = static_cast<std::uint8_t>(v >> 8);
    }
  };
  // Verify and Blank name the first differing byte and switch VCC off, as every set does.
  if (!ScanChip(Type().lastAddress + 1, kScanBlock, mode, fetch)) return;
  ShowProgress(-1);
  SelectVccPin(0);
}

void MicrowireSet::Write() {
  if (!PowerUp()) return;
  const std::uint32_t unit = WordUnits() ? 2 : 1;
  Extended(kEnable);
  for (std::uint32_t offset = 0; offset <= Type().lastAddress; offset += unit) {
    ShowProgress(static_cast<int>(offset));
    const std::uint32_t v =
        unit == 2 ? buffer_[offset + 1] * 256u + buffer_[offset] : buffer_[offset];
    WriteWord(offset / unit, v);
    FlushCommands();
  }
  Extended(kDisable);
  ShowProgress(-1);
  SelectVccPin(0);
}

void MicrowireSet::Erase() {
  if (!PowerUp()) return;
  Extended(kEnable);
  Extended(kEraseAll);
  Extended(kDisable);
  for (int i = 0; i < 3; ++i) PutCmd1(p93cxxx::kCmdWait100ms);
  SelectVccPin(0);
}

}  // namespace zelvar::memory
