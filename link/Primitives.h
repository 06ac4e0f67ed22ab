#pragma once
// The small hardware operations through which everything drives the programmer. "Queued"
// operations leave their bytes in the command queue; "sent" ones end with the queue empty.
#include <cstdint>
#include <functional>
#include <string>

#include "link/commands/Programmer.h"

namespace zelvar {

// Programmer registers (command 14).
enum ProgrammerRegister : std::uint8_t {
  kModelQueryRegister = 17,
  kVppVoltageRegister = 18,
  kVccVoltageRegister = 19,
  kVppPinRegister = 20,
  kVccPinRegister = 21,
  kGndPinRegister = 22,
  kClockPinRegister = 23,
  kRegister24 = 24,
  kBusModeRegister = 25,
  kPinOnRegister = 26,
  kPinOffRegister = 27,
  kPowerStatusRegister = 31,
  kHighVoltagePinRegister = 32,
  kBitstreamStartRegister = 33,
  kBitstreamDataRegister = 34,
  kBitstreamEndRegister = 35,
  kPinDriverRegister = 40,
};

void SetRegister(std::uint8_t reg, std::uint8_t value);
void SetRegister25(std::uint8_t value);
void SetRegister24(std::uint8_t value);
void WritePort(std::uint8_t port, std::uint8_t value);
void WritePort2Strobed(std::uint8_t a, std::uint8_t b);
// For both supplies a level outside 0 .. the programmer's maximum is refused: red line,
// StatusWord 1, nothing queued sent, SupplyRefused.
void SetVppVoltage(int millivolts);
void SetVccVoltage(int millivolts);
bool SelectVppPin(std::uint8_t pin);
bool SelectVccPin(std::uint8_t pin);
bool SelectVppPinByModel(std::uint8_t pin);
void SelectGndPin(std::uint32_t pin);
void SelectClockPin(std::uint8_t pin);
bool SelectHighVoltagePin(std::uint8_t pin);
void SetPinHigh(std::uint8_t pin);
void SetPinLow(std::uint8_t pin);
void SetPinLevel(bool high, std::uint8_t pin);
void SetAllPins(bool high);
void SwitchPin(std::uint8_t pin, bool on);
// Socket pins of programmer model `model`: 48 on the wide-socket models, 40 on the others.
int SocketPinCount(int model);
void PowerOff();
// The end of every chip operation, whatever its outcome: VPP, the 12 V switch and VCC taken off
// their pins and every logic driver of the socket taken low. The supply levels stay as set (the
// next operation selects its pins again at them). A link fault on the way is the operation's
// (StatusWord 1): the chip may still be powered.
void ReleaseSocket();
void InitHardwareState();
void WriteFpgaRegister(std::uint8_t reg, std::uint8_t value);
void WriteFpgaReg18(std::uint8_t value);
void WriteFpgaReg18Bit7(std::uint8_t value);
void WriteFpgaReg29(std::uint8_t value);
void WriteFpgaReg29Bit7(std::uint8_t value);
void InitFpgaReg20();
void SetFpgaReg27(bool on);
void EnablePinDrivers(bool on);
std::uint8_t ProbePin(std::uint8_t pin);
std::uint8_t SendCmdAndRead(std::uint8_t command);
void QueueCmd53(std::uint8_t a, std::uint8_t b);
void QueueCmd54(std::uint8_t a);

// Highest VCC and VPP the link will set; a higher (or negative) request is refused. VPP: the 25 V
// of the NMOS EPROMs, the highest any part takes.
inline constexpr int kMaxVccMillivolts = 7000;
inline constexpr int kMaxVppMillivolts = 25000;

// Run timer on the processor clock (milliseconds).
void StartRunTimer();
std::string ElapsedRunTime();
// Replaces the processor clock (tests); an empty function restores the steady clock.
void SetProcessorClock(std::function<int()> clock);
int ProcessorClock();

// Routines the algorithm sets call that do nothing.
bool PowerUpCheckStub(std::uint32_t, std::uint32_t);
void DelayStub(std::uint32_t amount);
void NoOpHook1(std::uint32_t);
void NoOpFlagHook(std::uint32_t flag);

}  // namespace zelvar
