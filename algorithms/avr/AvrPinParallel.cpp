#include "algorithms/avr/AvrPinParallel.h"

#include "link/CommandQueue.h"
#include "link/Primitives.h"
#include "link/commands/P51.h"
#include "link/commands/Programmer.h"

namespace zelvar::avr {

using namespace avr_parallel;

std::uint8_t AvrPinParallelSet::PinOf(std::uint8_t line) const {
  const AvrControlPins& c = Type().control;
  switch (line) {
    case kLineOe:
      return c.oe;
    case kLineWr:
      return c.wr;
    case kLineBs1:
      return c.bs;
    case kLineXa0:
      return c.xa0;
    case kLineXa1:
      return c.xa1;
    case kLineXtal1:
      return c.xtal1;
    case kLineMode:
      return c.reset;
    default:
      return 0;  // PAGEL and BS2: the page-less parts have neither
  }
}

void AvrPinParallelSet::ClearLine(std::uint8_t n) const {
  if (n == kLineReadBack) return SetReadDirection(false);
  if (const std::uint8_t pin = PinOf(n)) SetPinLow(pin);
}

void AvrPinParallelSet::SetLine(std::uint8_t n) const {
  if (n == kLineReadBack) return SetReadDirection(true);
  if (const std::uint8_t pin = PinOf(n)) SetPinHigh(pin);
}

void AvrPinParallelSet::SetReadDirection(bool on) const {
  SetRegister25(on ? p51::kBusRead20 : p51::kBusDrive);
}

void AvrPinParallelSet::ClockDataByte(std::uint8_t b) const {
  PutCmd2(p51::kCmdPort20Byte, b);
  SetPinHigh(Type().control.xtal1);
  SetPinLow(Type().control.xtal1);
}

void AvrPinParallelSet::SampleData() const {
  PutCmd1(p51::kCmdSample20);
}

void AvrPinParallelSet::WaitReady() const {
  PutCmd4(kCmdSetRegister, p51::kRegWaitReady, Type().control.rdy, p51::kWaitReadyLimitMs);
}

// Flash, EEPROM and lock writes are self-timed: RDY/BSY says when the chip is done.
void AvrPinParallelSet::Ticks(int) const {
  WaitReady();
}

// 10 ms, inside the parts' 5-15 ms.
void AvrPinParallelSet::EraseHold() const {
  for (int i = 0; i < 10; ++i) PutCmd1(kCmdWait1ms);
}

// 1.5 ms, inside the parts' 1.0-1.8 ms.
void AvrPinParallelSet::FuseHold() const {
  for (int i = 0; i < 15; ++i) PutCmd1(p51::kCmdWait100us);
}

bool AvrPinParallelSet::Enter() {
  const AvrType& t = Type();
  const AvrControlPins& c = t.control;
  // Low, not high: the ground switch already holds the GND pin, and RESET low keeps the chip's
  // port pins inputs while VCC comes up.
  SetAllPins(false);
  SetReadDirection(false);
  SelectGndPin(t.groundPin);
  SelectVccPin(t.vccPin);
  SetPinLow(c.oe);
  SetPinHigh(c.wr);
  SetPinHigh(c.rdy);
  SwitchPin(c.rdy, true);
  SetPinLow(c.xtal1);
  SetPinLow(c.xa0);
  SetPinLow(c.xa1);
  SetPinLow(c.reset);
  SetPinLow(c.bs);
  PutCmd1(kCmdWait1ms);
  SelectVppPin(t.vppPin);
  SetPinHigh(c.reset);
  PutCmd1(kCmdWait1ms);
  FlushCommands();
  return true;
}

}  // namespace zelvar::avr
