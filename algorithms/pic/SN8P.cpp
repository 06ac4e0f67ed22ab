// The SN8P sets' steps: "SN8P1602" (parallel) and "SN8P2602" (serial).
#include <cstdio>

#include "algorithms/frame/Waits.h"
#include "algorithms/pic/SN8P1602.h"
#include "algorithms/pic/SN8P2602.h"
#include "link/Bitstream.h"
#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "link/commands/SmallOtp.h"
#include "services/AppState.h"
#include "services/Messages.h"
#include "services/Services.h"

namespace zelvar::pic {

namespace {
using namespace small_otp;
constexpr std::uint32_t kBlock = 64;
constexpr int kLockWord = 128;
constexpr const char* kNoLockByte =
    "No code size (len=) for the lock option! *器件列表缺少容量(len=),无法设置加密位!";

constexpr const char* kDescribe1602[] = {"$Fonc:",
                                         "22 Blank",
                                         "23 Write",
                                         "$DisTool:",
                                         "21,25,26,28,29,30,31,",
                                         "$Radio1:00,Option",
                                         "Unlock(不加密)",
                                         "Lock(加密)",
                                         "$end"};
constexpr const char* kDescribe2602[] = {
    "$Fonc:",         "22 Blank",           "23 Write",
    "$DisTool:",      "21,25,26,29,30,31,", "$Radio1:00,Option",
    "Unlock(不加密)", "Lock(加密)",         "$end"};
constexpr const char* kConfig[] = {"0: (只有一种类型)", "$end"};
constexpr int kOps1602[] = {kOpBlank, kOpWrite, kOpVerify, kOpRead};
constexpr int kOps2602[] = {kOpBlank, kOpWrite, kOpVerify, kOpRead, kOpReadId};

void Ticks(std::uint8_t cmd, int n) {
  for (int i = 0; i < n; ++i) PutCmd1(cmd);
}
}  // namespace

bool SetLockBit(std::uint8_t* buffer, std::int32_t last, std::uint32_t lock) {
  // Without a code size the last address is -1: there is no lock byte to change.
  if (last < 1) return false;
  std::uint8_t& b = buffer[last];
  b = static_cast<std::uint8_t>(lock != 0 ? b & ~0x08 : b | 0x08);
  return true;
}

// ---- SN8P1602 ----

void SN8P1602::Init() {
  if (!TakeRow(kTypes)) return;
  Services& s = services();
  mode_ = s.ChipParam("hls=");
  last_ = s.ChipParam("len=") * 2 - 1;
  SelectGndPin(row_.groundPin);
  vccMillivolts_ = 5000;
  SetVccVoltage(vccMillivolts_);
  vppMillivolts_ = 12500;
  SetVppVoltage(vppMillivolts_);
}

std::span<const char* const> SN8P1602::DescribeList() const {
  return kDescribe1602;
}
std::span<const char* const> SN8P1602::ConfigTable() const {
  return kConfig;
}
std::span<const int> SN8P1602::Operations() const {
  return kOps1602;
}

bool SN8P1602::PowerUp() const {
  gLink.StatusWord = 0;
  SetVccVoltage(4400);
  Line(1, true);
  Line(1, false);
  for (std::uint8_t l : {9, 8, 7, 5, 3}) Line(l, true);
  SelectVccPin(row_.vccPin);
  Ticks(kCmdMs, 4);
  SelectVppPin(row_.vppPin);
  Ticks(kCmdMs, 2);
  Line(5, false);
  FlushCommands();
  return CheckPower();
}

void SN8P1602::ReadWord() const {
  if (mode_ == 0) {
    for (int i = 0; i < 2; ++i) {
      Line(8, false);
      PutCmd1(kCmdSample);
      Line(8, true);
      Line(7, false);
      Line(7, true);
    }
    return;
  }
  Line(3, false);
  Line(8, false);
  PutCmd1(kCmdSample);
  Line(8, true);
  Line(3, true);
  Line(8, false);
  PutCmd1(kCmdSample);
  Line(8, true);
  Line(7, false);
  Line(7, true);
}

void SN8P1602::ProgramWord(std::uint8_t a, std::uint8_t b) const {
  const auto pulse = [] {
    Line(9, false);
    Ticks(kCmdPulse, 4);
    Line(9, true);
    Line(7, false);
    Line(7, true);
  };
  if (mode_ == 0) {
    WritePort(0, a);
    pulse();
    WritePort(0, b);
    pulse();
    return;
  }
  WritePort(0, a);
  Line(3, false);
  WritePort(0, b);
  Line(3, true);
  pulse();
}

void SN8P1602::Write() {
  // The lock bit is refused before any supply goes on.
  if (!SetLockBit(buffer_, last_, Word(kLockWord))) {
    AddMessageLine(kNoLockByte);
    gLink.StatusWord = 1;
    return;
  }
  if (!PowerUp()) return;
  Line(1, false);
  for (std::int32_t a = 0; a <= last_; a += 2) {
    if (a % 16 == 0) {
      ShowProgress(a);
      FlushCommands();
    }
    ProgramWord(buffer_[a], buffer_[a + 1]);
  }
  FlushCommands();
  ShowProgress(-1);
  PowerDown();
}

void SN8P1602::Read() {
  if (!PowerUp()) return;
  Line(1, true);
  for (std::int32_t a = 0; a < last_; a += kBlock) {
    ShowProgress(a);
    for (std::uint32_t i = 0; i < kBlock / 2; ++i) ReadWord();
    ReadReply64(buffer_ + a);
  }
  ShowProgress(-1);
  PowerDown();
}

void SN8P1602::Scan(const std::uint8_t* want) {
  if (!PowerUp()) return;
  Line(1, true);
  std::uint8_t* got = gLink.ScratchBuffer.data();
  // Verify looks at the blocks that start below the last address less two.
  const std::int32_t end = want == nullptr ? last_ : last_ - 2;
  for (std::int32_t a = 0; a < end; a += kBlock) {
    ShowProgress(a);
    for (std::uint32_t i = 0; i < kBlock / 2; ++i) ReadWord();
    ReadReply64(got + a);
    for (std::uint32_t i = 0; i < kBlock; ++i) {
      const std::uint32_t at = static_cast<std::uint32_t>(a) + i;
      const std::uint8_t expected = want == nullptr ? 0xFF : want[at];
      if (want == nullptr ? got[at] < 0xFF : got[at] != expected) {
        Fail(at, got[at]);
        ShowProgress(static_cast<int>(at));
        PowerDown();
        return;
      }
    }
  }
  ShowProgress(-1);
  PowerDown();
}

void SN8P1602::Blank() {
  Scan(nullptr);
}
void SN8P1602::Verify() {
  Scan(buffer_);
}

// ---- SN8P2602 ----

std::uint8_t SN8P2602::DoubledNibble(std::uint8_t nibble) {
  std::uint8_t b = 0;
  for (int i = 0; i < 4; ++i) {
    if (nibble >> i & 1) b |= static_cast<std::uint8_t>(3u << (2 * i));
  }
  return b;
}

void SN8P2602::Init() {
  if (!TakeRow(kTypes)) return;
  // The shift widths after the design is in: a load sets them to 8 anyway.
  PutCmd2(kCmdOutBits, 8);
  PutCmd2(kCmdInBits, 8);
  last_ = services().ChipParam("len=") * 2 - 1;
  SelectGndPin(row_.groundPin);
  vccMillivolts_ = 5000;
  SetVccVoltage(vccMillivolts_);
  vppMillivolts_ = 12000;
  SetVppVoltage(vppMillivolts_);
}

TypeFacts SN8P2602::Facts() const {
  TypeFacts f = OtpSet::Facts();
  if (f.groundPin != 0) f.dataStart = static_cast<std::uint32_t>(last_ + 1);
  return f;
}

std::span<const char* const> SN8P2602::DescribeList() const {
  return kDescribe2602;
}
std::span<const char* const> SN8P2602::ConfigTable() const {
  return kConfig;
}
std::span<const int> SN8P2602::Operations() const {
  return kOps2602;
}

void SN8P2602::SendValue(std::uint16_t v) {
  for (int shift = 12; shift >= 0; shift -= 4)
    PutCmd2(kCmdShift, DoubledNibble(static_cast<std::uint8_t>(v >> shift & 0xF)));
}

void SN8P2602::Pattern(std::uint8_t p, std::uint8_t q) {
  for (int i = 7; i >= 0; --i) {
    Line(5, (q >> i & 1) != 0);
    Line(1, (p >> i & 1) != 0);
    Line(2, true);
    Line(2, false);
  }
  PutCmd1(kCmdPulse);
}

bool SN8P2602::Enter(std::uint8_t lastKey) const {
  Line(6, true);
  for (std::uint8_t l : {2, 3, 4}) Line(l, false);
  SelectVccPin(0);
  frame::QueueDelayTicks(5);
  SelectVccPin(row_.vccPin);
  frame::QueueDelayTicks(4);
  SelectVppPin(row_.vppPin);
  const bool reading = lastKey == 151;
  // Reading waits before the power check, writing after it.
  if (reading) frame::QueueDelayTicks(3);
  if (!CheckPower()) return false;
  if (!reading) frame::QueueDelayTicks(3);
  static constexpr std::uint8_t kKey[][2] = {{105, 106}, {150, 149}, {150, 149}, {105, 106},
                                             {150, 149}, {105, 106}, {105, 106}};
  for (const auto& k : kKey) Pattern(k[0], k[1]);
  Pattern(lastKey, 148);
  return true;
}

void SN8P2602::ReadPreamble() {
  Line(6, false);
  FlushCommands();
  for (int i = 0; i < 8; ++i) PutCmd2(kCmdShift, 0);
}

void SN8P2602::ReadWord(std::uint16_t word) {
  SendValue(word);
  for (int i = 0; i < 2; ++i) {
    PutCmd2(kCmdShift, 0xFF);
    PutCmd2(kCmdShift, 0xFF);
    PutCmd1(kCmdSample);
  }
}

void SN8P2602::Scan(const std::uint8_t* want) {
  if (!Enter(151)) return;
  PutCmd1(kCmdShort);
  Line(4, true);
  if (!CheckPower()) return;
  ReadPreamble();
  std::uint8_t* got = gLink.ScratchBuffer.data();
  for (std::int32_t a = 0; a < last_; a += kBlock) {
    ShowProgress(a);
    for (std::uint32_t off = 0; off < kBlock; off += 2)
      ReadWord(static_cast<std::uint16_t>((static_cast<std::uint32_t>(a) + off) / 2));
    ReadReply64(got + a);
    for (std::uint32_t i = 0; i < kBlock; ++i) {
      const std::uint32_t at = static_cast<std::uint32_t>(a) + i;
      if (want == nullptr ? got[at] < 0xFF : got[at] != want[at]) {
        Fail(at, got[at]);
        PowerDown();
        return;
      }
    }
  }
  gLink.StatusWord = 0;
  ShowProgress(-1);
  PowerDown();
}

void SN8P2602::Blank() {
  Scan(nullptr);
}
void SN8P2602::Verify() {
  Scan(buffer_);
}

void SN8P2602::Read() {
  if (!Enter(151)) return;
  PutCmd1(kCmdShort);
  Line(4, true);
  ReadPreamble();
  for (std::int32_t a = 0; a < last_; a += kBlock) {
    ShowProgress(a);
    for (std::uint32_t off = 0; off < kBlock; off += 2)
      ReadWord(static_cast<std::uint16_t>((static_cast<std::uint32_t>(a) + off) / 2));
    ReadReply64(buffer_ + a);
  }
  ShowProgress(-1);
  PowerDown();
}

void SN8P2602::ReadId() {
  if (!Enter(151)) return;
  PutCmd1(kCmdShort);
  Line(4, true);
  Line(6, false);
  for (int i = 0; i < 2; ++i) {
    PutCmd2(kCmdShift, 0);
    PutCmd2(kCmdShift, 0);
    PutCmd1(kCmdSample);
  }
  std::uint8_t reply[64];
  ReadReply64(reply);
  char line[16];
  std::snprintf(line, sizeof line, "%02x%02x", reply[0], reply[1]);
  AddMessageLine(line);
  PowerDown();
}

void SN8P2602::Write() {
  if (!SetLockBit(buffer_, last_, Word(kLockWord))) {
    AddMessageLine(kNoLockByte);
    gLink.StatusWord = 1;
    return;
  }
  if (!Enter(150)) return;
  Ticks(kCmdShort, 3);
  Line(6, true);
  Line(5, false);
  Line(4, false);
  for (std::int32_t a = 0; a <= last_; a += 2) {
    if (a % 16 == 0) {
      ShowProgress(a);
      FlushCommands();
    }
    SendValue(static_cast<std::uint16_t>(a / 2));
    SendValue(static_cast<std::uint16_t>(buffer_[a] << 8 | buffer_[a + 1]));
    Line(5, true);
    Ticks(kCmdPulse, 4);
    Line(5, false);
  }
  FlushCommands();
  ShowProgress(-1);
  PowerDown();
}

}  // namespace zelvar::pic
