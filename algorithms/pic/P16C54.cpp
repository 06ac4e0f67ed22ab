#include "algorithms/pic/P16C54.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "link/commands/Pic16c5x.h"
#include "services/Messages.h"
#include "services/Services.h"

namespace zelvar::pic {

namespace {
using namespace pic16c5x;
constexpr const char* kConfigMismatch = "Config verify error! *配置字校验错误!";

void SetLine(std::uint8_t n) {
  WriteFpgaRegister(kRegLines, static_cast<std::uint8_t>(n | 0x80));
}
void ClearLine(std::uint8_t n) {
  WriteFpgaRegister(kRegLines, n);
}

// The configuration bits that have a row in the chosen "cfg=" group.
std::uint16_t RowedBits(std::span<const char* const> table) {
  const int group = services().ChipParam("cfg=");
  std::uint16_t rowed = 0;
  bool inGroup = false;
  for (const char* entry : table) {
    if (std::strncmp(entry, "$end", 4) == 0) break;
    if (entry[0] >= '0' && entry[0] <= '9') {
      inGroup = entry[0] - '0' == group;
      continue;
    }
    if (!inGroup || std::strstr(entry, ",a=0,") == nullptr) continue;
    if (const char* b = std::strstr(entry, ",b=")) {
      const int bit = std::atoi(b + 3);
      if (bit >= 0 && bit < 12) rowed = static_cast<std::uint16_t>(rowed | 1u << bit);
    }
  }
  return rowed;
}
}  // namespace

int ParallelEpromSet::SetupVccMillivolts() const {
  const int vcc = services().ChipParam("vcc=");
  return vcc < 2500 ? 4400 : vcc;
}

int ParallelEpromSet::SetupVppMillivolts() const {
  const int vpp = services().ChipParam("vpp=");
  return vpp < 10000 ? 12500 : vpp;
}

// --- The engine.

void ParallelEpromSet::PowerUp() const {
  gLink.StatusWord = 0;
  SelectGndPin(row_.groundPin);
  SelectVccPin(row_.vccPin);
  SetLine(kLineRead);
  ClearLine(kLineAddress);
  SetLine(kLineProgram);
}

void ParallelEpromSet::EnterMode(bool reading) const {
  PowerUp();
  if (reading) {
    SetLine(kLineRead);
  } else {
    ClearLine(kLineRead);
  }
  ClearLine(kLineRelease);
  SelectVppPin(row_.vppPin);
  SetLine(kLineRelease);
}

void ParallelEpromSet::ReadNext() {
  SetLine(kLineAddress);
  PutCmd1(kCmdSampleLow);
  PutCmd1(kCmdSampleHigh);
  ClearLine(kLineAddress);
}

void ParallelEpromSet::AddressPulse() {
  SetLine(kLineAddress);
  ClearLine(kLineAddress);
}

namespace {
// The word on the data registers, the pulse (its waits between), then the read-direction pulse
// and the address step the engine ends every word with.
template <typename Wait>
void Cycle(std::uint16_t w, Wait wait) {
  WriteFpgaRegister(kRegDataLow, static_cast<std::uint8_t>(w & 0x0F));
  WriteFpgaRegister(kRegDataHigh, static_cast<std::uint8_t>((w >> 4) & 0xFF));
  ClearLine(kLineProgram);
  wait();
  SetLine(kLineProgram);
  SetLine(kLineRead);
  ClearLine(kLineProgram);
  SetLine(kLineProgram);
  ClearLine(kLineRead);
  SetLine(kLineAddress);
  ClearLine(kLineAddress);
}
}  // namespace

void ParallelEpromSet::ProgramWord(std::uint16_t w) const {
  const int steps = PulseSteps();
  Cycle(w, [steps] {
    for (int i = 0; i < steps; ++i) PutCmd1(kCmdPulseWait);
  });
}

void ParallelEpromSet::ProgramShort(std::uint16_t w) {
  Cycle(w, [] { PutCmd1(kCmdLongWait); });
}

std::uint16_t ParallelEpromSet::ConfigWord() const {
  // Bits without a row stay erased (1): programming one would be for good on these chips.
  const std::uint16_t rowed = RowedBits(ConfigTable());
  const auto rows = static_cast<std::uint16_t>((Word(0) & rowed) | (~rowed & 0xFFF));
  return static_cast<std::uint16_t>((rows & 0xFFC) | (Word(128) & 3u));
}

int P16C57::PulseSteps() const {
  const std::uint32_t speed = Word(129);
  return speed <= 2 ? static_cast<int>(speed) + 1 : 1;
}

// --- The handlers.

bool ParallelEpromSet::ScanWords(bool blank) {
  std::uint8_t* reply = gLink.ScratchBuffer.data();
  for (std::int32_t a = 0; a < row_.lastAddress; a += 64) {
    ShowProgress(a);
    for (int i = 0; i < 32; ++i) ReadNext();
    ReadReply64(reply);
    for (std::int32_t i = 0; i < 64 && a + i < row_.lastAddress; i += 2) {
      const std::uint8_t lo = reply[i], hi = reply[i + 1] & 0x0F;
      const bool same = blank ? lo == 0xFF && hi == 0x0F
                              : lo == buffer_[a + i] && hi == (buffer_[a + i + 1] & 0x0F);
      if (same) continue;
      ShowProgress(a);
      gLink.StatusWord = 1;
      gLink.FailAddress = static_cast<std::uint32_t>(a + i);
      gLink.FailByte = lo;
      return false;
    }
  }
  FinishScan();
  return true;
}

void ParallelEpromSet::Blank() {
  if (!EnterChecked()) return;
  gLink.StatusWord = 0;
  ReadNext();
  std::uint8_t* reply = gLink.ScratchBuffer.data();
  ReadReply64(reply);
  if (reply[0] != 0xFF || (reply[1] & 0x0F) != 0x0F) {
    ShowProgress(0);
    gLink.StatusWord = 1;
    return;
  }
  ScanWords(true);
}

void ParallelEpromSet::Verify() {
  if (!EnterChecked()) return;
  gLink.StatusWord = 0;
  ReadNext();  // the configuration word, not compared
  ReadReply64(gLink.ScratchBuffer.data());
  ScanWords(false);
}

void ParallelEpromSet::Read() {
  EnterMode(true);
  if (Parallel().readSettle) PutCmd1(kCmdLongWait);
  if (!CheckPower()) return;
  ReadNext();  // the configuration word
  std::uint8_t* reply = gLink.ScratchBuffer.data();
  ReadReply64(reply);
  for (std::int32_t a = 0; a < row_.lastAddress; a += 64) {
    ShowProgress(a);
    for (int i = 0; i < 32; ++i) ReadNext();
    ReadReply64(reply);
    std::memcpy(buffer_ + a, reply, 64);
  }
  ShowProgress(-1);
}

void ParallelEpromSet::Write() {
  for (std::int32_t a = 1; a <= row_.lastAddress; a += 2) buffer_[a] &= 0x0F;
  PowerUp();
  PutCmd1(kCmdLongWait);
  ClearLine(kLineRead);
  ClearLine(kLineRelease);
  SelectVppPin(row_.vppPin);
  SetLine(kLineRelease);
  if (Parallel().secondWriteSettle) PutCmd1(kCmdLongWait);
  if (!CheckPower()) return;
  // The configuration word gets all ones (an EPROM cell keeps what it holds); then word 0.
  ProgramShort(0xFFFF);
  for (std::int32_t a = 0; a <= row_.lastAddress; a += 2) {
    if (a % 256 == 0) {
      ShowProgress(a);
      FlushCommands();
    }
    ProgramWord(static_cast<std::uint16_t>(((buffer_[a + 1] << 8) & 0xFFF) | buffer_[a]));
  }
  FlushCommands();
  ShowProgress(-1);
}

bool ParallelEpromSet::ConfigReadsBack(std::uint16_t written) {
  if (!EnterChecked()) return false;
  ReadNext();
  std::uint8_t* reply = gLink.ScratchBuffer.data();
  ReadReply64(reply);
  SuppliesOff();
  const auto read = static_cast<std::uint16_t>((reply[0] | reply[1] << 8) & 0xFFF);
  if (read == (written & 0xFFF)) return true;
  AddMessageLine(kConfigMismatch);
  gLink.StatusWord = 1;
  gLink.FailAddress = 0xFFF;
  gLink.FailByte = read & 0xFF;
  return false;
}

void ParallelEpromSet::Config() {
  ShowProgress(0);
  const std::uint16_t c = ConfigWord();
  PowerUp();
  ClearLine(kLineRead);
  ClearLine(kLineRelease);
  SelectVppPin(row_.vppPin);
  SetLine(kLineRelease);
  ProgramShort(c);  // the address is at the configuration word; afterwards at word 0
  for (std::uint32_t i = 0; i < Words(); ++i) {
    AddressPulse();
    if (i % 256 == 255) FlushCommands();
  }
  const std::uint32_t u = Word(64);
  for (int shift : {12, 8, 4, 0}) ProgramShort(static_cast<std::uint16_t>((u >> shift) & 15));
  FlushCommands();
  SuppliesOff();
  ConfigReadsBack(c);
  ShowProgress(-1);
}

void ParallelEpromSet::ReadConfig() {
  ShowProgress(0);
  if (!EnterChecked()) {
    ShowProgress(-1);
    return;
  }
  ReadNext();
  std::uint8_t* reply = gLink.ScratchBuffer.data();
  ReadReply64(reply);
  const auto config = static_cast<std::uint16_t>((reply[0] | reply[1] << 8) & 0xFFF);
  for (std::uint32_t i = 0; i < Words(); ++i) {
    AddressPulse();
    if (i % 256 == 255) FlushCommands();
  }
  for (int i = 0; i < 4; ++i) ReadNext();
  ReadReply64(reply);
  SuppliesOff();
  const auto id = static_cast<std::uint16_t>((reply[0] & 15) << 12 | (reply[2] & 15) << 8 |
                                             (reply[4] & 15) << 4 | (reply[6] & 15));
  char line[48];
  if (Parallel().idLine) {
    std::snprintf(line, sizeof line, "Config=%04x,ID=%04x", config, id);
  } else {
    std::snprintf(line, sizeof line, "Config=%04x,UserInfo=%04x", config, id);
  }
  AddMessageLine(line);
  SetWord(128, config & 3u);
  SetWord(0, config);
  SetWord(64, id);
  ShowProgress(-1);
}

}  // namespace zelvar::pic
