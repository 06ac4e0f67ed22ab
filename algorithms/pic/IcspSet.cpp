#include "algorithms/pic/IcspSet.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "link/Bitstream.h"
#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "link/commands/PicIcsp.h"
#include "services/Messages.h"
#include "services/Services.h"

namespace zelvar::pic {

namespace {
using namespace pic_icsp;

constexpr PicPackage kSocketPackages[] = {kPlcc44, kQfp44, kPicDip40, kPicDip28, kPicDip18};

constexpr const char* kConfigMismatch = "Config verify error! *配置字校验错误!";
constexpr const char* kDataMessage = "OK,Data 存放在文件缓冲区4200h开始";

std::uint16_t WordAt(const std::uint8_t* bytes, int i) {
  return static_cast<std::uint16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
}
}  // namespace

void CheckPicRow(const PicType& t, TypeTableReport& r) {
  CheckMcuRow(t, r);
  for (const PicPackage& p : kSocketPackages) r.bitstreams.emplace_back(p.bitstream);
  r.bitstreams.emplace_back(kPicIsp.bitstream);
}

std::span<const PicPackage> IcspSet::Packages() const {
  return kSocketPackages;
}

const PicPackage* IcspSet::IspPackage() const {
  return Policy().offersIsp ? &kPicIsp : nullptr;
}

int IcspSet::SetupVccMillivolts() const {
  return SizesFromLine() ? ChipVccMillivolts() : 5000;
}

// --- The engine.

void IcspSet::Command(std::uint8_t c) {
  PutCmd2(kCmdSend, c);
}

void IcspSet::ReadCommand(std::uint8_t c) {
  PutCmd2(kCmdSendRead, c);
}

void IcspSet::Load(std::uint8_t c, std::uint16_t word) {
  // The 16-bit data field: a start bit, the 14-bit word, a stop bit.
  const auto field = static_cast<std::uint16_t>(word << 1);
  PutCmd4(kCmdSendData, c, static_cast<std::uint8_t>(field & 0xFF),
          static_cast<std::uint8_t>(field >> 8));
}

void IcspSet::PowerUpChip() const {
  switch (Policy().powerUp) {
    case PowerUp::kVddFirst:
      SelectVccPin(row_.vccPin);
      PutCmd1(kCmdSettle);
      PutCmd1(kCmdPowerUp);
      FlushCommands();
      return;
    case PowerUp::kGroundThenVddFirst:
      SelectGndPin(row_.groundPin);
      SelectVccPin(row_.vccPin);
      PutCmd1(kCmdSettle);
      PutCmd1(kCmdPowerUp);
      FlushCommands();
      return;
    case PowerUp::kVppFirst:
    case PowerUp::kVppFirstGroundAtSetup:
      FlushCommands();
      PutCmd1(kCmdPowerUp);
      if (Policy().powerUp == PowerUp::kVppFirst) SelectGndPin(row_.groundPin);
      SelectVppPin(row_.vppPin);
      InitFpgaReg20();
      if (Policy().powerUp == PowerUp::kVppFirst) FlushCommands();
      SelectVccPin(row_.vccPin);
      FlushCommands();
      return;
  }
}

void IcspSet::Enter() const {
  PowerUpChip();
  const PowerUp order = Policy().powerUp;
  if (order == PowerUp::kVppFirst || order == PowerUp::kVppFirstGroundAtSetup) return;
  SelectVppPin(row_.vppPin);
  InitFpgaReg20();
}

std::int32_t IcspSet::ScanLast(bool write) const {
  const bool skip = write ? Policy().keepsLastWord : !Policy().comparesLastWord;
  return skip ? row_.lastAddress - 2 : row_.lastAddress;
}

int IcspSet::ProgramTicks() const {
  const int fixed = Policy().fixedTicks;
  if (fixed > 0) return fixed;
  return delay_ > 0 ? delay_ : Policy().defaultTicks;
}

void IcspSet::ProgramWord(std::uint16_t w) const {
  const IcspCodes& c = Policy().codes;
  Load(c.loadProgram, w);
  Command(c.beginProgram);
  for (int i = ProgramTicks(); i > 0; --i) PutCmd1(Policy().programWait);
  if (c.endProgram != 0) Command(c.endProgram);
  Command(c.increment);
}

void IcspSet::ReadConfigSpace(std::uint16_t load, std::uint16_t* words, int count) const {
  const IcspCodes& c = Policy().codes;
  Load(c.loadConfig, load);
  for (int i = 0; i < count; ++i) {
    ReadCommand(c.readProgram);
    Command(c.increment);
  }
  std::uint8_t* reply = gLink.ScratchBuffer.data();
  ReadReply64(reply);
  for (int i = 0; i < count; ++i) words[i] = WordAt(reply, i);
}

bool IcspSet::TypeMatches() {
  if (!Policy().typeCheck || IdentityChecked()) return true;
  const auto& want = gApp.ExpectedId;
  if (want[0] == 0 && want[1] == 0) return true;
  Enter();
  std::uint16_t words[8];
  ReadConfigSpace(0x00FF, words);
  SuppliesOff();
  const auto id = words[6];
  gApp.ReadId[0] = static_cast<std::uint8_t>(id >> 8);
  gApp.ReadId[1] = static_cast<std::uint8_t>(id & 0xFF);
  // The low four bits are the revision.
  if (want[0] == ((id >> 8) & 0x3F) && want[1] == (id & 0xF0)) return true;
  AddMessageLine(mcs51::kTypeError);
  gLink.StatusWord = 1;
  return false;
}

std::uint16_t IcspSet::ConfigToWrite(int word) const {
  // The bits of the chosen group's rows in option word `word`; the others stay erased.
  const int group = services().ChipParam("cfg=");
  const auto table = ConfigTable();
  std::uint16_t rowed = 0;
  bool inGroup = false;
  char want[8];
  std::snprintf(want, sizeof want, ",a=%d,", word);
  for (const char* entry : table) {
    if (std::strncmp(entry, "$end", 4) == 0) break;
    if (entry[0] >= '0' && entry[0] <= '9') {
      inGroup = entry[0] - '0' == group;
      continue;
    }
    if (!inGroup || std::strstr(entry, want) == nullptr) continue;
    if (const char* b = std::strstr(entry, ",b=")) {
      const int bit = std::atoi(b + 3);
      if (bit >= 0 && bit < 14) rowed = static_cast<std::uint16_t>(rowed | 1u << bit);
    }
  }
  return static_cast<std::uint16_t>((Word(word) & rowed) | (~rowed & 0x3FFF));
}

bool IcspSet::ConfigReadsBack(std::uint16_t written) {
  Enter();
  std::uint16_t words[8];
  ReadConfigSpace(0x00FF, words);
  SuppliesOff();
  if ((words[7] & 0x3FFF) == (written & 0x3FFF)) return true;
  AddMessageLine(kConfigMismatch);
  gLink.StatusWord = 1;
  gLink.FailAddress = 0x2007;
  gLink.FailByte = words[7] & 0xFF;
  return false;
}

void IcspSet::WriteIds(std::uint32_t id) const {
  for (int shift : {12, 8, 4, 0}) ProgramWord(static_cast<std::uint16_t>((id >> shift) & 0xFF));
}

// --- The handlers.

bool IcspSet::ScanWords(bool blank) {
  const IcspCodes& c = Policy().codes;
  const int words = Policy().replyWords;
  const auto block = static_cast<std::int32_t>(words * 2);
  std::uint8_t* reply = gLink.ScratchBuffer.data();
  for (std::int32_t a = 0; a < row_.lastAddress; a += block) {
    ShowProgress(a);
    for (int i = 0; i < words; ++i) {
      ReadCommand(c.readProgram);
      Command(c.increment);
    }
    ReadReply64(reply);
    for (int i = 0; i < block && a + i <= ScanLast(false); i += 2) {
      const std::uint8_t lo = reply[i], hi = reply[i + 1] & 0x3F;
      const bool same = blank ? lo == 0xFF && hi == 0x3F
                              : lo == buffer_[a + i] && hi == (buffer_[a + i + 1] & 0x3F);
      if (same) continue;
      ShowProgress(a + i);
      gLink.StatusWord = 1;
      gLink.FailAddress = static_cast<std::uint32_t>(a + i);
      gLink.FailByte = lo;
      return false;
    }
  }
  FinishScan();
  return true;
}

void IcspSet::Blank() {
  if (!TypeMatches()) return;
  if (!EnterChecked()) return;
  std::uint16_t words[8];
  ReadConfigSpace(0x00FF, words);
  SuppliesOff();
  // A programmed configuration word (code protection above all) is not blank.
  const std::uint16_t want = Policy().blankConfig;
  if ((words[7] & want) != want) {
    gLink.StatusWord = 1;
    return;
  }
  if (!EnterChecked()) return;
  gLink.StatusWord = 0;
  FlushCommands();
  ScanWords(true);
}

void IcspSet::Write() {
  if (!TypeMatches()) return;
  for (std::int32_t a = 1; a <= row_.lastAddress; a += 2) buffer_[a] &= 0x3F;
  SelectVppPin(0);
  if (!EnterChecked()) return;
  for (std::int32_t a = 0; a < ScanLast(true); a += 2) {
    ProgramWord(static_cast<std::uint16_t>(buffer_[a] | buffer_[a + 1] << 8));
    if (a % 16 == 0) {
      ShowProgress(a);
      FlushCommands();
    }
  }
  FlushCommands();
  ShowProgress(-1);
}

void IcspSet::Verify() {
  if (!TypeMatches()) return;
  Enter();
  gLink.StatusWord = 0;
  FlushCommands();
  ScanWords(false);
}

void IcspSet::Read() {
  if (!TypeMatches()) return;
  if (!EnterChecked()) return;
  FlushCommands();
  const IcspCodes& c = Policy().codes;
  const int words = Policy().replyWords;
  std::uint8_t* reply = gLink.ScratchBuffer.data();
  for (std::int32_t a = 0; a <= row_.lastAddress; a += words * 2) {
    ShowProgress(a);
    for (int i = 0; i < words; ++i) {
      ReadCommand(c.readProgram);
      Command(c.increment);
    }
    ReadReply64(reply);
    std::memcpy(buffer_ + a, reply, static_cast<std::size_t>(words * 2));
  }
  for (std::int32_t a = 1; a <= row_.lastAddress; a += 2) buffer_[a] &= 0x3F;
  ShowProgress(-1);
  SuppliesOff();
  if (Policy().readOkLine) AddMessageLine("OK");
}

void IcspSet::ReadConfig() {
  if (!EnterChecked()) return;
  std::uint16_t words[8];
  ReadConfigSpace(Policy().readConfigLoad, words);
  keptId_ = static_cast<std::uint16_t>((words[0] & 15) << 12 | (words[1] & 15) << 8 |
                                       (words[2] & 15) << 4 | (words[3] & 15));
  keptConfig_ = words[7];
  if (Policy().configToGrid) {
    SetWord(0, keptConfig_);
    SetWord(64, keptId_);
    SetWord(65, words[6] & 0x3FF0);
  }
  SuppliesOff();
  char line[32];
  std::snprintf(line, sizeof line, "Config = %04x", keptConfig_);
  AddMessageLine(line);
}

void IcspSet::Config() {
  const std::uint16_t config = ConfigWord();
  char line[32];
  std::snprintf(line, sizeof line, "Config = %04x ", config);
  AddMessageLine(line);
  keptId_ = static_cast<std::uint16_t>(Word(64));
  if (!EnterChecked()) return;
  Load(Policy().codes.loadConfig, 0x3FFF);
  WriteIds(keptId_);
  for (int i = 0; i < 3; ++i) ProgramWord(0x3FFF);
  ProgramWord(config);
  keptConfig_ = config;
  SuppliesOff();
  ConfigReadsBack(config);
}

void IcspSet::ReadData() {
  if (!EnterChecked()) return;
  FlushCommands();
  const IcspCodes& c = Policy().codes;
  std::uint8_t* reply = gLink.ScratchBuffer.data();
  const std::uint32_t size = DataLength();
  for (std::uint32_t k = 0; k < size; k += 32) {
    for (int i = 0; i < 32; ++i) {
      ReadCommand(c.readData);
      Command(c.increment);
    }
    ReadReply64(reply);
    for (std::uint32_t i = 0; i < 32 && k + i < size; ++i)
      buffer_[kDataStart + k + i] = reply[2 * i];
  }
  FlushCommands();
  SuppliesOff();
  if (Policy().dataLine) AddMessageLine(kDataMessage);
}

void IcspSet::WriteData() {
  SelectVppPin(0);
  if (!EnterChecked()) return;
  gLink.StatusWord = 0;
  const IcspCodes& c = Policy().codes;
  const std::uint32_t size = DataLength();
  for (std::uint32_t k = 0; k < size; ++k) {
    Load(c.loadData, buffer_[kDataStart + k]);
    Command(c.beginData);
    PutCmd1(kCmdSettle);
    if (c.endData != 0) Command(c.endData);
    Command(c.increment);
    FlushCommands();
  }
  SuppliesOff();
  Enter();
  std::uint8_t* reply = gLink.ScratchBuffer.data();
  for (std::uint32_t k = 0; k < size; k += 32) {
    for (int i = 0; i < 32; ++i) {
      ReadCommand(c.readData);
      Command(c.increment);
    }
    ReadReply64(reply);
    for (std::uint32_t i = 0; i < 32 && k + i < size; ++i) {
      if (reply[2 * i] == buffer_[kDataStart + k + i]) continue;
      // The failing byte by its buffer address, as the other compares report it.
      gLink.StatusWord = 1;
      gLink.FailAddress = kDataStart + k + i;
      gLink.FailByte = reply[2 * i];
      return;
    }
  }
}

}  // namespace zelvar::pic
