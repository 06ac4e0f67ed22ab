#include "link/ChipId.h"

#include <cstdio>

#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/Primitives.h"
#include "link/commands/Zor5103.h"
#include "services/Messages.h"

namespace zelvar {

namespace {
// Socket pins of a 32-pin part at the bottom of the 40-pin socket.
constexpr std::uint8_t kGroundPin = 20;
constexpr std::uint8_t kPin36 = 36;  // driven high whichever pin takes VCC
constexpr std::uint8_t kA9Pin = 30;  // takes the 12.5 V identifier voltage
constexpr std::uint8_t kA0Pin = 16;
constexpr std::uint8_t kA1Pin = 15;
constexpr int kIdentifierMillivolts = 12500;
}  // namespace

int ReadChipId16(std::uint8_t vccPin, std::uint8_t writeEnablePin) {
  SelectGndPin(kGroundPin);
  SetVppVoltage(kIdentifierMillivolts);
  PutCmd1(kCmdSettle);
  SetAllPins(false);
  // The data bus is released before VCC rises: CE# and OE# are low, so the chip drives it as
  // soon as it is powered.
  SetRegister25(zor5103::kReadMode);
  WritePort(2, 0xFF);
  SetPinHigh(5);
  SetPinHigh(7);
  SetPinHigh(kPin36);
  SetPinHigh(writeEnablePin);
  SelectVccPin(vccPin);
  SelectVppPin(kA9Pin);
  // Manufacturer (A0 low), device (A0 high), then a third byte with A1 high.
  SetPinLow(kA0Pin);
  PutCmd1(zor5103::kCmdReadBus);
  SetPinHigh(kA0Pin);
  PutCmd1(zor5103::kCmdReadBus);
  SetPinLow(kA0Pin);
  SetPinHigh(kA1Pin);
  PutCmd1(zor5103::kCmdReadBus);
  std::uint8_t* reply = gLink.ScratchBuffer.data();
  ReadReply64(reply);
  SelectVppPin(0);
  SelectVccPin(0);
  char line[16];
  std::snprintf(line, sizeof line, "%02x,%02x", reply[0], reply[1]);
  AddMessageLine(line);
  return reply[1] * 256 + reply[0];
}

}  // namespace zelvar
