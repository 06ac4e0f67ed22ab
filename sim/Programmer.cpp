#include "sim/Programmer.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "sim/BitstreamImage.h"
#include "sim/ProgrammerCommands.h"
#include "sim/designs/DesignRegistry.h"

namespace zelvar::sim {

namespace {

// Lengths of the commands the programmer itself knows; 0 = not a command of its own.
constexpr std::array<std::uint8_t, 256> BaseLengths() {
  std::array<std::uint8_t, 256> t{};
  t[kOpPadding] = 1;
  t[kOpReply] = 1;
  t[kOpPinHigh] = 2;
  t[kOpPinLow] = 2;
  t[kOpFpgaWrite] = 3;
  t[kOpInput] = 2;
  t[kOpInfo] = 1;
  t[kOpRegister] = 4;
  for (int p = kOpPort0; p <= kOpPort5; ++p) t[p] = 2;
  t[kOpProbe] = 2;
  t[kOpStatusPrefix] = 1;
  t[kOpSettle] = 1;
  t[kOpBlock] = 1;
  t[kOpStrobe] = 1;
  t[kOp53] = 3;
  t[kOp54] = 2;
  return t;
}
constexpr auto kBaseLengths = BaseLengths();

// Above this a pin carries a programming voltage rather than a logic level.
constexpr int kHighVoltageMv = 6500;

std::string Format(const char* fmt, int a, int b = 0, int c = 0) {
  char text[160];
  std::snprintf(text, sizeof text, fmt, a, b, c);
  return text;
}

}  // namespace

Programmer::Programmer(int model) : model_(model) {
  SetModel(model);
  PowerCycle();
}

void Programmer::PowerCycle() {
  reg.fill(0);
  fpga.fill(0);
  port.fill(0);
  port0Written_ = false;
  level.fill(-1);
  busInput.fill(false);
  gnd_ = {};
  vpp_ = {};
  vccCompanion_ = 0;
  logicHighMv_ = 5000;
  reg[kRegPinDrivers] = 1;
  pending_.clear();
  nextReply_.clear();
  in_.clear();
  packetTail_ = false;
  settlesInRow_ = 0;
  statusPrefix_ = false;
  bitstream.clear();
  bitstreamStarted = false;
  bitstreamWhole = false;
  loadedDesign.clear();
  design_.reset();
  ++supplyChanges;
  if (chip_) chip_->OnPins(*this);
}

void Programmer::SetModel(int model, const std::string& name) {
  model_ = model;
  // The 57 answers with its number in four digits.
  const std::string number = model == 57 ? "0057" : std::to_string(model);
  modelName_ = name.empty() ? "zor" + number : name;
  info_.fill(0);
  info_[0] = 'i';
  const std::string text = "info " + modelName_;
  std::memcpy(info_.data() + 1, text.data(), std::min<std::size_t>(text.size(), 62));
}

int Programmer::CommandLength(std::uint8_t op) const {
  if (design_) {
    const int n = design_->CommandLength(op);
    if (n > 0) return n;
  }
  if ((op == kOpSample || op == kOpWait100ms) && NoFpgaModel()) return 1;
  if (!design_ && (op == kOpSamplePort || op == kOpWait100us || op == kOpWait100ms)) return 1;
  return kBaseLengths[op];
}

std::uint32_t Programmer::BulkOut(const std::uint8_t* data, std::uint32_t length) {
  const std::uint32_t index = record.transfers++;
  clock.Transfer(length);
  std::uint32_t pos = 0;
  while (pos < length) {
    const std::uint32_t packetEnd = std::min(length, (pos / 64 + 1) * 64);
    if (packetTail_) {
      // A bitstream packet: after its register-34 command the packet carries raw data.
      bitstream.insert(bitstream.end(), data + pos, data + packetEnd);
      packetTail_ = false;
      pos = packetEnd;
      BitstreamArrived();
      continue;
    }
    const std::uint8_t op = data[pos];
    int n = CommandLength(op);
    if (n == 0) {
      record.ProtocolError(Format("transfer %d offset %d: unknown command %d", index, pos, op));
      n = 1;
    }
    if (pos + n > packetEnd) {
      record.ProtocolError(
          Format("transfer %d offset %d: command %d straddles a packet boundary", index, pos, op));
      pos = packetEnd;
      continue;
    }
    Command c;
    std::memcpy(c.bytes.data(), data + pos, n);
    c.length = static_cast<std::uint8_t>(n);
    c.transfer = index;
    c.offset = pos;
    if (record.keepTranscript) record.transcript.push_back(c);
    Execute(c);
    // The power status's preambles: a run of settle commands, or the one prefix byte.
    if (op != kOpPadding) {
      settlesInRow_ = op == kOpSettle ? settlesInRow_ + 1 : 0;
      statusPrefix_ = op == kOpStatusPrefix;
    }
    pos += n;
    if (packetTail_ && pos % 64 == 0) packetTail_ = false;
  }
  return length;
}

std::uint32_t Programmer::BulkIn(std::uint8_t* buffer, std::uint32_t length) {
  clock.Transfer(length);
  if (faults.failNextRead) {
    faults.failNextRead = false;
    return 0;
  }
  const std::uint32_t n = std::min<std::uint32_t>(length, static_cast<std::uint32_t>(in_.size()));
  std::copy_n(in_.begin(), n, buffer);
  in_.erase(in_.begin(), in_.begin() + n);
  return n;
}

void Programmer::PushInData(const std::uint8_t* data, std::size_t length) {
  in_.insert(in_.end(), data, data + length);
}

void Programmer::Execute(const Command& c) {
  if (design_ && design_->CommandLength(c.op()) > 0 && design_->Execute(*this, c)) return;
  if (!design_ && OwnPortCommand(c)) return;
  const std::uint8_t a = c.bytes[1], b = c.bytes[2];
  switch (c.op()) {
    case kOpPadding:
      break;
    case kOpSample: {
      const auto bit = [&](int pin, int n) { return ReadLevel(pin) == 0 ? 0 : 1 << n; };
      PushReplyByte(static_cast<std::uint8_t>(bit(18, 1) | bit(21, 3)));
      break;
    }
    case kOpReply: {
      std::vector<std::uint8_t> reply(64, 0);
      if (!nextReply_.empty()) {
        std::copy_n(nextReply_.begin(), std::min<std::size_t>(64, nextReply_.size()),
                    reply.begin());
        nextReply_.clear();
      } else {
        std::copy_n(pending_.begin(), std::min<std::size_t>(64, pending_.size()), reply.begin());
      }
      pending_.clear();
      PushInData(reply.data(), reply.size());
      break;
    }
    case kOpPinHigh:
    case kOpPinLow:
      if (a >= 1 && a <= 48) {
        level[a] = c.op() == kOpPinHigh ? 1 : 0;
        // A logic level can harm only the pin it lands on: check that one pin.
        CheckPin(a);
        Settle();
      } else {
        record.ProtocolError(Format("pin command %d on pin %d", c.op(), a));
      }
      break;
    case kOpFpgaWrite:
      fpga[a] = b;
      if (design_) design_->OnFpgaRegister(*this, a, b);
      if (a == kFpgaPinDrivers && OldFpgaModel()) {
        ++supplyChanges;
        PinsChanged();
      }
      break;
    case kOpInput: {
      const int v = design_ ? design_->InputRegister(*this, a) : -1;
      if (v >= 0) {
        PushReplyByte(static_cast<std::uint8_t>(v));
      } else if (a >= kFirstInputRegister && a <= kLastInputRegister) {
        // Socket pins 8(n-22)+1 .. +8: a bit set where the pin reads high.
        std::uint8_t bits = 0;
        for (int i = 0; i < 8; ++i) {
          const int pin = (a - kFirstInputRegister) * 8 + i + 1;
          const bool high = fpga[kFpgaSense] != 0 ? SensesVoltage(pin) : ReadLevel(pin) == 1;
          if (high) bits |= static_cast<std::uint8_t>(1 << i);
        }
        PushReplyByte(bits);
      } else {
        PushReplyByte(0);
      }
      break;
    }
    case kOpInfo:
      SetNextReply(std::vector<std::uint8_t>(info_.begin(), info_.end()));
      break;
    case kOpRegister:
      WriteRegister(a, b);
      break;
    case kOpPort0:
    case kOpPort0 + 1:
    case kOpPort0 + 2:
    case kOpPort0 + 3:
    case kOpPort0 + 4:
    case kOpPort5:
      port[c.op() - kOpPort0] = a;
      break;
    case kOpProbe:
      // A probe answers whether something holds the pin low (ground or the chip).
      PushReplyByte(a >= 1 && a <= 48 && ReadLevel(a) == 0 ? 1 : 0);
      break;
    case kOpSettle:
      clock.Advance(clock.latency.settleUs);
      break;
    case kOpStatusPrefix:
      if (NoFpgaModel() || !design_) clock.Advance(1000);
      break;
    case kOpWait100ms:
      clock.Advance(100000);
      break;
    case kOpBlock: {
      std::vector<std::uint8_t> block(256, 0);
      std::copy_n(pending_.begin(), std::min<std::size_t>(256, pending_.size()), block.begin());
      pending_.clear();
      PushInData(block.data(), block.size());
      break;
    }
    default:
      // The status prefix, 43, 53 and 54 mean something only to a loaded design.
      break;
  }
}

void Programmer::DrivePort0() {
  const bool input = reg[kRegBusMode] == kPortInputMode;
  for (int i = 0; i < 8; ++i) {
    level[kPort0FirstPin + i] = (port[0] >> i) & 1;
    busInput[kPort0FirstPin + i] = input;
  }
  Settle();
}

bool Programmer::OwnPortCommand(const Command& c) {
  const std::uint8_t a = c.bytes[1], b = c.bytes[2];
  switch (c.op()) {
    case kOpSamplePort: {
      std::uint8_t v = 0;
      int driven = 0;
      for (int i = 0; i < 8; ++i) {
        const int sp = kPort0FirstPin + i;
        if (driven == 0 && DriverLevel(sp) >= 0) driven = sp;
        if (ReadLevel(sp) != 0) v |= static_cast<std::uint8_t>(1 << i);
      }
      if (driven)
        record.ProtocolError(Format("port 0 sampled while it drives socket pin %d", driven));
      PushReplyByte(v);
      return true;
    }
    case kOpWait100us:
      clock.Advance(100);
      return true;
    case kOpWait100ms:
      clock.Advance(100000);
      return true;
    case kOpPort0:
      port[0] = a;
      port0Written_ = true;
      DrivePort0();
      return true;
    case kOpRegister:
      if (a == kRegWaitReady) {
        reg[a] = b;
        WaitReady(b, c.bytes[3]);
        return true;
      }
      WriteRegister(a, b);
      if (a == kRegBusMode && port0Written_) DrivePort0();
      if ((a == kRegPinRelease || a == kRegPinRestore) && b >= 1 && b <= 48) {
        busInput[b] = a == kRegPinRelease;
        Settle();
      }
      return true;
    default:
      return false;
  }
}

void Programmer::WaitReady(int pin, int limitMs) {
  if (pin < 1 || pin > 48) {
    record.ProtocolError("wait for ready on no pin");
    return;
  }
  const double end = clockUs() + limitMs * 1000.0;
  for (;;) {
    Settle();
    if (ReadLevel(pin) != 0 || clockUs() >= end) return;
    AdvanceUs(10);
  }
}

void Programmer::PowerStatus() {
  // The status is measured only after its preamble; asked without it, the programmer answers
  // before the supplies settled, which reads as bad.
  const bool twoBytes = TwoBytePowerStatus();
  const bool prepared = twoBytes ? settlesInRow_ >= kStatusSettles : statusPrefix_;
  if (!prepared) record.ProtocolError("power status asked without its preamble");
  const auto shorted = [&](int pin) { return pin != 0 && pin == faults.shortedPin; };
  const bool vppGood = prepared && !faults.powerOverload && !shorted(VppPin());
  const bool vccGood = prepared && !shorted(VccPin());
  if (twoBytes) {
    PushReplyByte(vppGood ? 1 : 0);
    PushReplyByte(vccGood ? 1 : 0);
  } else {
    PushReplyByte(vppGood && vccGood ? 1 : 0);
  }
}

void Programmer::WriteRegister(std::uint8_t r, std::uint8_t v) {
  const int vccPinBefore = VccPin();
  reg[r] = v;
  switch (r) {
    case kRegVccVoltage:
      // The drivers follow a setting from 3.0 V up; 0 (the supply off) leaves them as they were.
      if (v * 100 >= 3000) logicHighMv_ = std::min(v * 100, 5000);
      break;
    case kRegModelQuery: {
      std::vector<std::uint8_t> reply(64, 0);
      std::memcpy(reply.data(), modelName_.data(), std::min<std::size_t>(modelName_.size(), 64));
      SetNextReply(reply);
      break;
    }
    case kRegGndPin:
      // A value with bit 7 (158 = pin 30) adds a second ground pin beside the first.
      if (v & kSecondPin) {
        gnd_[1] = v & 0x7F;
      } else {
        gnd_ = {v, 0};
      }
      break;
    case kRegVppPin:
      // From model 6200 a value with bit 7 (158 = pin 30) adds a second VPP pin beside the first.
      if (model_ >= 6200 && (v & kSecondPin)) {
        vpp_[1] = v & 0x7F;
      } else {
        vpp_ = {v & 0x7F, 0};
      }
      break;
    case kRegVccPin:
      vccCompanion_ = model_ >= 6200 && (v & kSecondPin) ? vccPinBefore : 0;
      break;
    case kRegPowerStatus:
      PowerStatus();
      break;
    case kRegBitstreamStart:
      bitstream.clear();
      bitstreamStarted = true;
      bitstreamWhole = false;
      loadedDesign.clear();
      SetDesign(nullptr);
      // The models that cache their bitstream first ask whether an FPGA answers.
      if (!OldFpgaModel()) PushReplyByte(faults.fpgaPresent ? 1 : 0);
      break;
    case kRegBitstreamData:
      packetTail_ = true;
      break;
    case kRegBitstreamEnd:
      PushReplyByte(bitstreamWhole ? 1 : 0);
      break;
    default:
      break;
  }
  if (design_) design_->OnRegister(*this, r, v);
  if ((r >= kRegVppVoltage && r <= kRegHighVoltagePin) || r == kRegPinDrivers) {
    ++supplyChanges;
    PinsChanged();
  }
}

void Programmer::BitstreamArrived() {
  const BitstreamImage image = ParseBitstream(bitstream);
  if (image.whole == bitstreamWhole) return;
  bitstreamWhole = image.whole;
  loadedDesign = image.whole ? image.tag : "";
  SetDesign(image.whole ? MakeDesign(image.tag) : nullptr);
}

bool Programmer::TwoBytePowerStatus() const {
  return model_ == 5106 || model_ == 5107 || model_ >= 5149;
}

bool Programmer::SensesVoltage(int socketPin) const {
  const auto source = [&](int pin) {
    if (pin == 0 || !(pin == VccPin() || pin == VppPin() || pin == vccCompanion_)) return false;
    return SupplyMillivolts(pin) >= 2000;
  };
  const int driven = DriverLevel(socketPin);
  if (driven >= 0 && SupplyMillivolts(socketPin) < 0) return driven == 1;
  if (source(socketPin)) return true;
  if (!chip_ || faults.looseContact[socketPin] || ChipPinAt(socketPin) == 0) return false;
  for (const int g : chip_->GroundPins()) {
    const int sp = SocketPinOf(g);
    if (sp > 0 && !faults.looseContact[sp] && source(sp)) return true;
  }
  return false;
}

int Programmer::ReadLevel(int socketPin) const {
  const int mv = PinMillivolts(socketPin);
  if (mv < 0) return -1;
  return mv >= 2000 ? 1 : 0;
}

void Programmer::SetDesign(std::unique_ptr<Design> design) {
  design_ = std::move(design);
  busInput.fill(false);
}

namespace {
// The socket's numbering, by row counted from the bottom: the left column reads 20 down to 1 and
// then 48 down to 45 (the four extra rows of the 48-pin socket sit above pin 1); the right column
// reads 21 up to 44. A DIP at the bottom therefore keeps the numbers it has in a 40-pin socket.
int LeftPinOfRow(int row) {
  return row < 20 ? 20 - row : 48 - (row - 20);
}
int RowOfLeftPin(int pin) {
  return pin <= 20 ? 20 - pin : 20 + (48 - pin);
}
}  // namespace

void Programmer::PlaceChip(std::shared_ptr<ChipModel> chip, int firstPin) {
  wiring_.clear();
  Seat(std::move(chip), firstPin, false);
}

void Programmer::PlaceChipWired(std::shared_ptr<ChipModel> chip, std::vector<int> wiring) {
  wiring_ = std::move(wiring);
  Seat(std::move(chip), 0, false);
}

void Programmer::PlaceChipTurned(std::shared_ptr<ChipModel> chip, int firstPin) {
  wiring_.clear();
  Seat(std::move(chip), firstPin, true);
}

void Programmer::PlaceChipWired(std::shared_ptr<ChipModel> chip,
                                const std::vector<std::pair<int, int>>& socketToChip) {
  std::vector<int> wiring(chip ? static_cast<std::size_t>(chip->PinCount()) : 0, 0);
  for (const auto& [socketPin, chipPin] : socketToChip) {
    if (socketPin >= 1 && socketPin <= 48 && chipPin >= 1 &&
        static_cast<std::size_t>(chipPin) <= wiring.size())
      wiring[static_cast<std::size_t>(chipPin) - 1] = socketPin;
  }
  PlaceChipWired(std::move(chip), std::move(wiring));
}

void Programmer::Seat(std::shared_ptr<ChipModel> chip, int firstPin, bool turned) {
  chip_ = std::move(chip);
  firstPin_ = firstPin;
  turned_ = turned;
  chipPinAt_.fill(0);
  if (chip_) {
    for (int k = 1; k <= chip_->PinCount(); ++k) {
      const int sp = SocketPinOf(k);
      if (sp >= 1 && sp <= 48) chipPinAt_[sp] = k;
    }
  }
  PinsChanged();
}

void Programmer::PlaceChipAtBottom(std::shared_ptr<ChipModel> chip) {
  const int n = chip ? chip->PinCount() : 0;
  PlaceChip(std::move(chip), LeftPinOfRow(n / 2 - 1));
}

void Programmer::SeatChip(std::shared_ptr<ChipModel> chip) {
  if (chip && !chip->Wiring().empty()) {
    const auto wiring = chip->Wiring();
    return PlaceChipWired(std::move(chip), wiring);
  }
  const int seat = chip ? chip->SeatPin(model_) : 0;
  if (seat == 0) return PlaceChipAtBottom(std::move(chip));
  PlaceChip(std::move(chip), seat);
}

int Programmer::SocketPinOf(int chipPin) const {
  if (!chip_) return 0;
  const int n = chip_->PinCount();
  if (chipPin < 1 || chipPin > n) return 0;
  if (!wiring_.empty()) {
    return static_cast<std::size_t>(chipPin) <= wiring_.size()
               ? wiring_[static_cast<std::size_t>(chipPin) - 1]
               : 0;
  }
  // Turned half round, chip pin k sits where pin k + n/2 (around the package) would.
  if (turned_) chipPin = (chipPin - 1 + n / 2) % n + 1;
  const int row1 = RowOfLeftPin(firstPin_);
  if (chipPin <= n / 2) return LeftPinOfRow(row1 - (chipPin - 1));
  return 21 + row1 - (n - chipPin);
}

void Programmer::Settle() {
  if (!chip_) return;
  chip_->OnPins(*this);
  CheckFights();
}

void Programmer::PinsChanged() {
  CheckSafety();
  Settle();
}

void Programmer::CheckPin(int socketPin) {
  const int k = ChipPinAt(socketPin);
  if (k == 0) return;
  const int mv = PinMillivolts(socketPin);
  // The contact test's level comes through a current-limited route; the pin's clamp diodes take it.
  const bool testLevel = (TestMode() || fpga[kFpgaSense] != 0) &&
                         SupplyMillivolts(socketPin) == kTestMillivolts && mv == kTestMillivolts;
  if (mv > chip_->MaxMillivolts(k) && !testLevel) {
    record.Hazard(Format("%d mV on chip pin %d (socket pin %d)", mv, k, socketPin));
  }
  // A logic driver high into the ground switch shorts it.
  if (IsGround(socketPin) && DriverLevel(socketPin) == 1) {
    record.Hazard(Format("driver high on grounded socket pin %d", socketPin));
  }
}

void Programmer::CheckSafety() {
  if (VccMillivolts() > 7000) {
    record.Hazard(Format("VCC at %d mV", VccMillivolts()));
  }
  if (!chip_) return;
  const bool powered = chip_->Powered(*this);
  for (int k = 1; k <= chip_->PinCount(); ++k) {
    const int sp = SocketPinOf(k);
    CheckPin(sp);
    // A programming voltage reaches a chip that is not powered: on power-up before VCC, or on
    // power-down after it.
    const int mv = SupplyMillivolts(sp);
    if (!powered && mv > kHighVoltageMv && !chip_->TakesHighVoltageUnpowered(k)) {
      record.Hazard(Format("%d mV on chip pin %d (socket pin %d) while VCC is off", mv, k, sp));
    }
  }
}

// The chip's outputs against the programmer's logic drivers on the same pins.
void Programmer::CheckFights() {
  const int n = chip_->PinCount();
  for (int k = 1; k <= n; ++k) {
    const int d = chip_->Drive(k);
    if (d < 0) continue;
    const int sp = SocketPinOf(k);
    const int driver = DriverLevel(sp);
    if (NoFpgaModel() || (design_ && design_->DrivesThroughResistor(sp))) continue;
    if (driver >= 0 && driver != d && SupplyMillivolts(sp) < 0) {
      record.Hazard(
          Format("driver fights the chip's output on chip pin %d (socket pin %d)", k, sp));
    }
  }
}

}  // namespace zelvar::sim
