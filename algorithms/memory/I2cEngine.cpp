#include "algorithms/memory/I2cEngine.h"

#include "link/CommandQueue.h"
#include "link/Primitives.h"
#include "link/commands/I2c24c.h"
#include "link/commands/Programmer.h"

namespace zelvar::memory {

using namespace i2c24c;

namespace {
constexpr std::uint8_t kDevice = 0xA0;
constexpr std::uint8_t kRead = 0x01;
// Address bits 8 to 10 in the device byte's bits 1 to 3.
std::uint8_t BlockBits(std::uint32_t a) {
  return static_cast<std::uint8_t>((a >> 7) & 0x0E);
}
// Address bit 16 in the device byte's bit 1 (P0 of the 128 KiB parts), 0 below 64 KiB.
std::uint8_t HighBlockBit(std::uint32_t a) {
  return static_cast<std::uint8_t>((a >> 15) & 0x02);
}
void Line(std::uint8_t line, bool high) {
  if (high) {
    WriteFpgaReg18Bit7(line);
  } else {
    WriteFpgaReg18(line);
  }
}
}  // namespace

I2cAddress I2cAddressBytes(I2cForm form, std::uint32_t a, bool read) {
  const auto low = static_cast<std::uint8_t>(a & 0xFF);
  switch (form) {
    case I2cForm::kX24c01:
      return {{static_cast<std::uint8_t>(((a * 2) & 0xFE) | (read ? kRead : 0))}, 1};
    case I2cForm::kOneByte:
      return {{static_cast<std::uint8_t>(kDevice | BlockBits(a)), low}, 2};
    case I2cForm::kTwoBytes:
      return {{static_cast<std::uint8_t>(kDevice | HighBlockBit(a)),
               static_cast<std::uint8_t>((a >> 8) & 0xFF), low},
              3};
  }
  return {};
}

std::uint8_t I2cReadControl(I2cForm form, std::uint32_t a) {
  if (form == I2cForm::kX24c01) return I2cAddressBytes(form, a, true).bytes[0];
  return static_cast<std::uint8_t>(kDevice | kRead |
                                   (form == I2cForm::kOneByte ? BlockBits(a) : HighBlockBit(a)));
}

void I2cEngine::Setup() {
  PutCmd2(kCmdShiftInBits, 8);
  PutCmd2(kCmdShiftOutBits, 8);
}

void I2cEngine::Start() {
  PutCmd1(kCmdStart);
}

// SDA low, SCL high, SDA high.
void I2cEngine::Stop() {
  Line(kLineSda, false);
  Line(kLineScl, true);
  Line(kLineSda, true);
}

void I2cEngine::Send(std::uint8_t b) {
  PutCmd2(kCmdSendByte, b);
  AckClock();
}

void I2cEngine::AckClock() {
  PutCmd1(kCmdAckClock);
}

void I2cEngine::Receive() {
  PutCmd1(kCmdReadByte);
}

void I2cEngine::Address(I2cForm form, std::uint32_t a, bool read) {
  const I2cAddress bytes = I2cAddressBytes(form, a, read);
  Start();
  for (int i = 0; i < bytes.count; ++i) Send(bytes.bytes[static_cast<std::size_t>(i)]);
}

void I2cEngine::WriteProtect(bool high) {
  Line(kLineWriteProtect, high);
}

void I2cEngine::Wait(std::uint32_t ticks) {
  // A long wait ("dly=" is the chip line's) goes out in parts that fit the queue.
  constexpr std::uint32_t kPart = 4096;
  for (std::uint32_t i = 0; i < ticks; ++i) {
    if (i != 0 && i % kPart == 0) FlushCommands();
    PutCmd1(kCmdWait1ms);
  }
}

}  // namespace zelvar::memory
