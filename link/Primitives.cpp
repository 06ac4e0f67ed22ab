#include "link/Primitives.h"

#include <chrono>
#include <cstdio>

#include "link/CommandQueue.h"
#include "link/LinkFault.h"
#include "link/LinkState.h"
#include "services/Messages.h"
#include "services/Services.h"

namespace zelvar {

namespace {
std::function<int()> gClock;

bool FpgaDriverModel() {
  const int m = gLink.ModelNumber;
  return m == 5104 || m == 5105 || m == 5148;
}
}  // namespace

void SetRegister(std::uint8_t reg, std::uint8_t value) {
  FlushCommands();
  PutCmd4(kCmdSetRegister, reg, value, 0);
  FlushCommands();
}

void SetRegister25(std::uint8_t value) {
  PutCmd4(kCmdSetRegister, kBusModeRegister, value, 0);
}

void SetRegister24(std::uint8_t value) {
  SetRegister(kRegister24, value);
}

void WritePort(std::uint8_t port, std::uint8_t value) {
  PutCmd2(static_cast<std::uint8_t>(kCmdWritePort0 + port), value);
}

void WritePort2Strobed(std::uint8_t a, std::uint8_t b) {
  WritePort(2, a);
  PutCmd1(kCmdStrobe);
  WritePort(2, b);
  PutCmd1(kCmdStrobe);
}

namespace {
// Ends the operation on a supply level outside 0 .. `max`: nothing queued reaches the chip.
void RefuseSupply(const char* name, int millivolts, int max) {
  if (millivolts >= 0 && millivolts <= max) return;
  char line[96];
  std::snprintf(line, sizeof line, "%s %d mV refused! *%s %d mV 超出范围!", name, millivolts, name,
                millivolts);
  AddColouredLine(kRed, line);
  gLink.StatusWord = 1;
  gLink.CommandCount = 0;
  throw SupplyRefused(line);
}
}  // namespace

void SetVppVoltage(int millivolts) {
  // A device-list "vpp=" past the register's range would wrap to a low, or a negative one to a
  // high, voltage.
  RefuseSupply("VPP", millivolts, kMaxVppMillivolts);
  SetRegister(kVppVoltageRegister, 0);
  PutCmd1(kCmdSettle);
  gLink.LastVppMillivolts = millivolts;
  SetRegister(kVppVoltageRegister, static_cast<std::uint8_t>(millivolts / 100));
  PutCmd1(kCmdSettle);
}

void SetVccVoltage(int millivolts) {
  // A device-list line without its "vcc=" item could otherwise ask for tens of volts; a negative
  // value would wrap to 25.5 V in the register.
  RefuseSupply("VCC", millivolts, kMaxVccMillivolts);
  SetRegister(kVccVoltageRegister, static_cast<std::uint8_t>(millivolts / 100));
  PutCmd1(kCmdSettle);
  FlushCommands();
}

bool SelectVppPin(std::uint8_t pin) {
  if (gLink.ModelNumber < 6200) pin &= 0x7F;
  SetRegister(kVppPinRegister, pin);
  return true;
}

bool SelectVccPin(std::uint8_t pin) {
  SetRegister(kVccPinRegister, pin);
  PutCmd1(kCmdSettle);
  return true;
}

bool SelectVppPinByModel(std::uint8_t pin) {
  if (gLink.ModelNumber < 6200) return SelectVppPin(pin);
  return SelectVccPin(static_cast<std::uint8_t>(pin | 0x80));
}

void SelectGndPin(std::uint32_t pin) {
  const int model = gLink.ModelNumber;
  if (model >= 5149 && pin == 100) {
    // Ground on socket pins 11 and 30 (30 with bit 7 as the second ground pin).
    SetRegister(kGndPinRegister, 11);
    SetRegister(kGndPinRegister, 158);
    return;
  }
  if (model == 5148 && pin == 24) {
    WriteFpgaRegister(29, 6);
    return;
  }
  if (pin == 0) WriteFpgaRegister(29, 0x86);
  SetRegister(kGndPinRegister, static_cast<std::uint8_t>(pin));
  SetPinLow(static_cast<std::uint8_t>(pin));
}

void SelectClockPin(std::uint8_t pin) {
  SetRegister(kClockPinRegister, pin);
}

bool SelectHighVoltagePin(std::uint8_t pin) {
  if (gLink.ModelNumber != 6400) SetVppVoltage(12000);
  SetPinHigh(pin);
  SetRegister(kHighVoltagePinRegister, pin);
  PutCmd1(kCmdSettle);
  FlushCommands();
  return true;
}

void SetPinHigh(std::uint8_t pin) {
  if (pin != 0) PutCmd2(kCmdPinHigh, pin);
}

void SetPinLow(std::uint8_t pin) {
  if (pin != 0) PutCmd2(kCmdPinLow, pin);
}

void SetPinLevel(bool high, std::uint8_t pin) {
  high ? SetPinHigh(pin) : SetPinLow(pin);
}

void SetAllPins(bool high) {
  for (std::uint8_t pin = 1; pin <= 40; ++pin) SetPinLevel(high, pin);
  FlushCommands();
}

void SwitchPin(std::uint8_t pin, bool on) {
  SetRegister(on ? kPinOnRegister : kPinOffRegister, pin);
}

void PowerOff() {
  SetVppVoltage(0);
  SelectVppPin(0);
  SetVccVoltage(0);
  SelectVccPin(0);
}

int SocketPinCount(int model) {
  return model == 5148 || model == 5149 || model >= 6200 ? 48 : 40;
}

void ReleaseSocket() {
  SelectVppPin(0);
  SetRegister(kHighVoltagePinRegister, 0);
  SelectVccPin(0);
  // Supplies first: a pin taken low under VPP could start a program pulse.
  for (int pin = 1; pin <= SocketPinCount(gLink.ModelNumber); ++pin) {
    SetPinLow(static_cast<std::uint8_t>(pin));
  }
  FlushCommands();
}

void InitHardwareState() {
  SelectVccPin(0);
  SelectClockPin(0);
  SelectGndPin(0);
  SetVppVoltage(0);
  SetRegister25(15);
}

void WriteFpgaRegister(std::uint8_t reg, std::uint8_t value) {
  PutCmd3(kCmdWriteFpgaRegister, reg, value);
}
void WriteFpgaReg18(std::uint8_t value) {
  WriteFpgaRegister(18, value);
}
void WriteFpgaReg18Bit7(std::uint8_t value) {
  WriteFpgaRegister(18, static_cast<std::uint8_t>(value | 0x80));
}
void WriteFpgaReg29(std::uint8_t value) {
  WriteFpgaRegister(29, value);
}
void WriteFpgaReg29Bit7(std::uint8_t value) {
  WriteFpgaRegister(29, static_cast<std::uint8_t>(value | 0x80));
}
void InitFpgaReg20() {
  WriteFpgaRegister(20, 0x84);
}

void SetFpgaReg27(bool on) {
  WriteFpgaRegister(27, on ? 255 : 0);
  FlushCommands();
}

void EnablePinDrivers(bool on) {
  if (FpgaDriverModel()) {
    WriteFpgaRegister(4, on ? 0 : 4);
  } else {
    SetRegister(kPinDriverRegister, on ? 1 : 0);
  }
  FlushCommands();
}

std::uint8_t ProbePin(std::uint8_t pin) {
  PutCmd2(kCmdProbePin, pin);
  return ReadReply64(gLink.ScratchBuffer.data());
}

std::uint8_t SendCmdAndRead(std::uint8_t command) {
  PutCmd1(command);
  return ReadReply64(gLink.ScratchBuffer.data());
}

void QueueCmd53(std::uint8_t a, std::uint8_t b) {
  PutCmd3(kCmd53, a, b);
}
void QueueCmd54(std::uint8_t a) {
  PutCmd2(kCmd54, a);
}

void SetProcessorClock(std::function<int()> clock) {
  gClock = std::move(clock);
}

int ProcessorClock() {
  if (gClock) return gClock();
  using namespace std::chrono;
  return static_cast<int>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void StartRunTimer() {
  gLink.RunStartTime = ProcessorClock();
}

std::string ElapsedRunTime() {
  gLink.RunStopTime = ProcessorClock();
  const int ticks = gLink.RunStopTime - gLink.RunStartTime;
  if (ticks < 0) return "?";
  char text[32];
  std::snprintf(text, sizeof text, "%3.1f", ticks * 0.001);
  return text;
}

bool PowerUpCheckStub(std::uint32_t, std::uint32_t) {
  return true;
}
void DelayStub(std::uint32_t) {}
void NoOpHook1(std::uint32_t) {}
void NoOpFlagHook(std::uint32_t) {}

}  // namespace zelvar
