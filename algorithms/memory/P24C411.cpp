#include "algorithms/memory/P24C411.h"

#include <cstdio>

#include "link/Bitstream.h"
#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "link/commands/Programmer.h"
#include "services/AppState.h"
#include "services/Messages.h"

namespace zelvar::memory {

namespace {
using frame::kNoSuchType;
constexpr std::uint8_t kSample = 3;     // the socket's pins into the next reply byte
constexpr std::uint8_t kSdaBit = 0x08;  // socket pin 21 in the sampled byte
constexpr std::uint32_t kGroupBytes = 8;
// Waits after a byte, in ms, by the write-speed choice.
constexpr std::uint32_t kDelays[] = {1, 2, 5, 10, 20, 50};
constexpr int kSpeedWord = 128;

// The bus, one pin command a level.
class PinBus {
 public:
  explicit PinBus(const I2cType& t) : sda_(t.sdaPin), scl_(t.sclPin) {}
  void Start() const {
    SetPinLow(sda_);
    SetPinHigh(sda_);
    SetPinHigh(scl_);
    SetPinLow(sda_);
    SetPinLow(scl_);
  }
  void Stop() const {
    SetPinLow(sda_);
    SetPinHigh(scl_);
    SetPinHigh(sda_);
  }
  // SDA let high for the chip's acknowledge, one clock.
  void Ack() const {
    SetPinHigh(sda_);
    SetPinHigh(scl_);
    SetPinLow(scl_);
  }
  void Send(std::uint8_t b) const {
    for (int i = 7; i >= 0; --i) {
      SetPinLevel(((b >> i) & 1) != 0, sda_);
      SetPinHigh(scl_);
      SetPinLow(scl_);
    }
  }
  void SendAcked(std::uint8_t b) const {
    Send(b);
    Ack();
  }
  // Eight samples of SDA, most significant bit first; SDA stays released until `Release`.
  void Receive() const {
    SwitchPin(sda_, true);
    for (int i = 0; i < 8; ++i) {
      SetPinHigh(scl_);
      PutCmd1(kSample);
      SetPinLow(scl_);
    }
  }
  void Release() const { SwitchPin(sda_, false); }

 private:
  std::uint8_t sda_, scl_;
};
}  // namespace

void P24C411::Init() {
  ClearRefusal();
  if (gApp.TypeIndex < 1 || gApp.TypeIndex >= static_cast<int>(kTypes.size())) {
    Refuse(kNoSuchType);
    return;
  }
  // Skipped by the models without an FPGA; an FPGA model gets its plain pin design.
  LoadBitstream("zor5103.bit");
  vccMillivolts_ = 5000;
  SetVccVoltage(vccMillivolts_);
}

TypeFacts P24C411::Facts() const {
  // No contact test: InfoRecord words 4 to 7 stay 0.
  return {.lastAddress = Type().lastAddress, .contactMask = 0, .groundPin = 0};
}

bool P24C411::Offers(int op) const {
  return op == kOpWrite || op == kOpVerify || op == kOpRead;
}

void P24C411::Handle(int op) {
  if (op == kOpWrite) {
    if (!PowerUp()) return;
    const I2cType& t = Type();
    for (std::uint32_t a = 0; a <= t.lastAddress; ++a) {
      ShowProgress(static_cast<int>(a));
      WriteByte(a, buffer_[a]);
    }
    SelectVccPin(0);
    SetPinLow(t.vccPin);
    gLink.StatusWord = 0;
    ShowProgress(-1);
  } else {
    Scan(op == kOpVerify);
  }
}

bool P24C411::PowerUp() const {
  const I2cType& t = Type();
  SelectVppPin(0);
  SelectVccPin(0);
  // Low only: the ground pin stays selected between operations, and all pins high would drive it
  // against the ground switch.
  SetAllPins(false);
  SetFpgaReg27(false);
  SelectGndPin(t.gndPin);
  SelectVccPin(t.vccPin);
  SetPinHigh(t.vccPin);
  for (std::uint8_t pin : {t.aPins[0], t.aPins[1], t.aPins[2], t.wpPin}) {
    if (pin != 0) SetPinLow(pin);
  }
  return CheckPower();
}

void P24C411::QueueRead(std::uint32_t a) const {
  const I2cType& t = Type();
  const PinBus bus(t);
  FlushCommands();
  bus.Start();
  if (t.form == I2cForm::kX24c01) {
    bus.SendAcked(I2cAddressBytes(t.form, a, true).bytes[0]);
  } else {
    const I2cAddress address = I2cAddressBytes(t.form, a, false);
    for (int i = 0; i < address.count; ++i)
      bus.SendAcked(address.bytes[static_cast<std::size_t>(i)]);
    bus.Start();
    bus.SendAcked(I2cReadControl(t.form, a));
  }
  bus.Receive();
  bus.Stop();
  bus.Release();
}

void P24C411::WriteByte(std::uint32_t a, std::uint8_t d) const {
  const I2cType& t = Type();
  const PinBus bus(t);
  bus.Start();
  const I2cAddress address = I2cAddressBytes(t.form, a, false);
  for (int i = 0; i < address.count; ++i) bus.SendAcked(address.bytes[static_cast<std::size_t>(i)]);
  bus.SendAcked(d);
  bus.Stop();
  const std::uint32_t wait = kDelays[Choice(kSpeedWord, std::size(kDelays))];
  for (std::uint32_t i = 0; i < wait; ++i) PutCmd1(kCmdWait1ms);
  FlushCommands();
}

void P24C411::Scan(bool verify) {
  if (!PowerUp()) return;
  // Whatever an earlier operation left in the reply.
  ReadReply64(gLink.ScratchBuffer.data());
  const I2cType& t = Type();
  const auto fetch = [this](std::uint32_t address, std::uint8_t* dest, std::uint32_t count) {
    for (std::uint32_t j = 0; j < count; ++j) QueueRead(address + j);
    ReadReply64(gLink.ScratchBuffer.data());
    for (std::uint32_t j = 0; j < count; ++j) {
      std::uint8_t b = 0;
      for (std::uint32_t bit = 0; bit < 8; ++bit) {
        b = static_cast<std::uint8_t>(b << 1 |
                                      ((gLink.ScratchBuffer[j * 8 + bit] & kSdaBit) ? 1 : 0));
      }
      dest[j] = b;
    }
  };
  // The last group ends at the last address: the chip's size is a whole number of groups.
  if (!ScanChip(t.lastAddress + 1, kGroupBytes, verify ? ScanMode::kVerify : ScanMode::kRead,
                fetch))
    return;
  if (verify) gLink.StatusWord = 0;
  ShowProgress(-1);
  SelectVccPin(0);
}

}  // namespace zelvar::memory
