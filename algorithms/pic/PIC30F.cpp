#include "algorithms/pic/PIC30F.h"

#include <cstdio>
#include <string>

#include "link/Bitstream.h"
#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "link/commands/Pic30.h"
#include "services/Messages.h"
#include "services/Services.h"

namespace zelvar::pic {

namespace {
using namespace zelvar::pic30;

using line_refusal::kNoFla;
using line_refusal::kNoPackage;
using line_refusal::kTooLarge;
constexpr const char* kBadSize =
    "Program size (fla=) or data size (ee=) not in whole rows! *程序或数据容量不是整行!";
constexpr const char* kTypeError = "Type error!*错误的器件型号！";
constexpr const char* kPinError = "Pin connection error! *器件连接错误!";
constexpr const char* kNoData =
    "No data EEPROM (ee=): nothing to write! *没有数据EEPROM(ee=), 不写入!";

// Program memory in address units (two a 24-bit word) as far as the 23-bit table address reaches
// and the buffer holds; the data EEPROM within its page.
constexpr std::uint32_t kMaxCode = 0x400000, kMaxData = 0x10000;
constexpr std::uint32_t kRowUnits = 64;    // a code row: 32 words
constexpr std::uint32_t kBlockUnits = 32;  // a read block: 16 words

// The instruction words the engine sends.
constexpr std::uint32_t kNop = 0x000000;
constexpr std::uint32_t kGoto100 = 0x040100;
constexpr std::uint32_t kMovW0Tblpag = 0x880190;
constexpr std::uint32_t kMovW10Nvmcon = 0x883B0A;
constexpr std::uint32_t kMovW8Nvmkey = 0x883B38;
constexpr std::uint32_t kMovW9Nvmkey = 0x883B39;
constexpr std::uint32_t kBsetWr = 0xA8E761;
constexpr std::uint32_t kBclrWr = 0xA9E761;
constexpr std::uint32_t kClrW6 = 0xEB0300;
constexpr std::uint32_t kClrW7 = 0xEB0380;
constexpr std::uint32_t kMovToVisi = 0x883C20;  // | n: MOV Wn, VISI
// TBLRDL [W6],[W7++]; TBLRDH.B [W6++],[W7++]; TBLRDH.B [++W6],[W7++]; TBLRDL [W6++],[W7++];
// TBLRDL [W6++],[W7].
constexpr std::uint32_t kRdL = 0xBA1B96, kRdHInc = 0xBADBB6, kRdHPre = 0xBADBD6;
constexpr std::uint32_t kRdLInc = 0xBA1BB6, kRdLLast = 0xBA0BB6;
// TBLWTL [W6++],[W7]; TBLWTH.B [W6++],[W7++]; TBLWTH.B [W6++],[++W7]; TBLWTL [W6++],[W7++];
// TBLWTL W6,[W7++].
constexpr std::uint32_t kWtL = 0xBB0BB6, kWtHInc = 0xBBDBB6, kWtHPre = 0xBBEBB6;
constexpr std::uint32_t kWtLInc = 0xBB1BB6, kWtLFromW6 = 0xBB1B86;

constexpr std::uint16_t kNvmProgramRow = 0x4001, kNvmDataRow = 0x4005, kNvmConfig = 0x4008,
                        kNvmBulkErase = 0x407F;
constexpr std::uint32_t kDataPage = 0x7F, kConfigPage = 0xF8, kIdPage = 0xFF;

// The four words of one packed read from the twelve reply bytes (W0-W5, low byte first), each
// as four buffer bytes with the pad 0.
void Unpack(const std::uint8_t* r, std::uint8_t* dest) {
  const std::uint8_t words[4][3] = {
      {r[0], r[1], r[2]}, {r[4], r[5], r[3]}, {r[6], r[7], r[8]}, {r[10], r[11], r[9]}};
  for (int w = 0; w < 4; ++w) {
    dest[4 * w] = words[w][0];
    dest[4 * w + 1] = words[w][1];
    dest[4 * w + 2] = words[w][2];
    dest[4 * w + 3] = 0;
  }
}
}  // namespace

void PIC30F::CheckRow(const McuType& t, TypeTableReport& r) {
  CheckMcuRow(t, r);
  for (const McuPackage& p : pic30f::kPackages) r.bitstreams.emplace_back(p.bitstream);
  r.bitstreams.emplace_back(pic30f::kIsp.bitstream);
}

void PIC30F::Init() {
  BeginSetup();
  if (!AcceptRow(static_cast<int>(kTypes.size()), 0)) return;
  row_ = kTypes[static_cast<std::size_t>(gApp.TypeIndex)];
  Services& s = services();
  const int fla = s.ChipParam("fla=");
  const int ee = s.ChipParam("ee=");
  if (fla <= 0) return Refuse(kNoFla);
  if (static_cast<std::uint32_t>(fla) > kMaxCode || ee < 0 ||
      static_cast<std::uint32_t>(ee) > kMaxData)
    return Refuse(kTooLarge);
  // Write goes by whole rows and the reads by blocks of 64 bytes: a part row would program or
  // read past the chip's memory.
  if (fla % kRowUnits != 0 || ee % 64 != 0) return Refuse(kBadSize);
  row_.lastAddress = fla - 1;
  row_.eepromLast = ee - 1;
  dataSize_ = static_cast<std::uint32_t>(ee);
  delay_ = s.ChipParam("dly=");
  const McuPackage* chosen = IspOrPackage();
  // A package without wiring would put the programming voltage on whatever pin the row names.
  if (chosen == nullptr) return Refuse(kNoPackage);
  UsePackage(*chosen);
  // The programming voltage is the set's own: without it MCLR gets whatever the last set left.
  SetUpSupplies(ChipVccMillivolts(5000), pic30f::kVppMillivolts);
  deviceId_ = {0, 0, 0, 0};
}

// --- The engine's steps.

void PIC30F::Send(std::uint8_t command, std::uint32_t data) const {
  WritePort(kPortCommand, command);
  WritePort(kPortLow, static_cast<std::uint8_t>(data & 0xFF));
  WritePort(kPortMiddle, static_cast<std::uint8_t>(data >> 8 & 0xFF));
  WritePort(kPortHigh, static_cast<std::uint8_t>(data >> 16 & 0xFF));
  WriteFpgaReg18(kLatch);
  WritePort(kPortStart, 1);
  WriteFpgaReg18Bit7(kLatch);
  // Model 6400's logic runs the transfer after the strobe: the queue waits for its end.
  if (gLink.ModelNumber == 6400) PutCmd1(pic30::kCmdDone);
}

void PIC30F::Six(std::uint32_t instruction) const {
  Send(kSix, instruction);
}

void PIC30F::Nops(int n) const {
  for (int i = 0; i < n; ++i) Six(kNop);
}

void PIC30F::Regout() const {
  WriteFpgaReg18(kDirection);
  Send(kRegout, 0xFFFFFF);
  PutCmd1(pic30::kCmdDone);
  PutCmd1(kCmdVisiLow);
  PutCmd1(kCmdVisiHigh);
  WriteFpgaReg18Bit7(kDirection);
}

void PIC30F::MovLiteral(std::uint32_t k, int w) const {
  Six(0x200000 | (k & 0xFFFF) << 4 | static_cast<std::uint32_t>(w));
}

void PIC30F::PcReset() const {
  Six(kNop);
  Six(kNop);
  Six(kGoto100);
  Six(kNop);
}

void PIC30F::ReadPointer(std::uint32_t a) const {
  MovLiteral(a >> 16, 0);
  Six(kMovW0Tblpag);
  MovLiteral(a & 0xFFFF, 6);
}

void PIC30F::ReadFourWords() const {
  Six(kClrW7);
  for (std::uint32_t op : {kRdL, kRdHInc, kRdHPre, kRdLInc, kRdL, kRdHInc, kRdHPre, kRdLLast}) {
    Six(op);
    Nops(2);
  }
  for (std::uint32_t n = 0; n < 6; ++n) {
    Six(kMovToVisi | n);
    Six(kNop);
    Regout();
    Six(kNop);
  }
  Six(kGoto100);
  Six(kNop);
}

void PIC30F::ReadSixteenWords() const {
  for (int k = 0; k < 4; ++k) {
    Six(kClrW7);
    for (int i = 0; i < 4; ++i) {
      Six(kRdLInc);
      Nops(2);
    }
    for (std::uint32_t n = 0; n < 4; ++n) {
      Six(kMovToVisi | n);
      Six(kNop);
      Regout();
      Six(kNop);
    }
  }
}

void PIC30F::WriteFourWords(const std::uint8_t* b) const {
  const std::uint32_t lits[6] = {static_cast<std::uint32_t>(b[0] | b[1] << 8),
                                 static_cast<std::uint32_t>(b[2] | b[6] << 8),
                                 static_cast<std::uint32_t>(b[4] | b[5] << 8),
                                 static_cast<std::uint32_t>(b[8] | b[9] << 8),
                                 static_cast<std::uint32_t>(b[10] | b[14] << 8),
                                 static_cast<std::uint32_t>(b[12] | b[13] << 8)};
  for (int w = 0; w < 6; ++w) MovLiteral(lits[w], w);
  Six(kClrW6);
  Six(kNop);
  for (int twice = 0; twice < 2; ++twice) {
    for (std::uint32_t op : {kWtL, kWtHInc, kWtHPre, kWtLInc}) {
      Six(op);
      Nops(2);
    }
  }
}

void PIC30F::SetNvmcon(std::uint16_t value) const {
  MovLiteral(value, 10);
  Six(kMovW10Nvmcon);
}

void PIC30F::FlashCycle(int nops, int ticks, bool settle) const {
  MovLiteral(0x55, 8);
  Six(kMovW8Nvmkey);
  MovLiteral(0xAA, 9);
  Six(kMovW9Nvmkey);
  Six(kBsetWr);
  Nops(nops);
  if (settle) PutCmd1(pic30::kCmdSettle);
  for (int i = 0; i < ticks; ++i) PutCmd1(pic30::kCmdTick);
  Six(kBclrWr);
  Nops(nops);
}

void PIC30F::Enter() const {
  gLink.StatusWord = 0;
  SelectVccPin(0);
  PutCmd1(pic30::kCmdSettle);
  WriteFpgaReg18(kIdleLines);
  WriteFpgaReg18Bit7(kDirection);
  WriteFpgaReg18(kReset);
  SelectVccPin(row_.vccPin);
  SelectVppPin(row_.vppPin);
  PutCmd1(pic30::kCmdTick);
  FlushCommands();
}

// On the in-system header no contact test finds a missing chip: ID lines that read all ones or all
// zeros are no chip (no part has such an ID).
bool PIC30F::Silent() const {
  return deviceId_[0] == deviceId_[1] && (deviceId_[0] == 0xFF || deviceId_[0] == 0);
}

// The chip line gives the ID high byte first; a line without one takes any.
bool PIC30F::LineIdMatches() const {
  const auto& want = gApp.ExpectedId;
  return (want[0] == 0 && want[1] == 0) || (deviceId_[0] == want[1] && deviceId_[1] == want[0]);
}

void PIC30F::ReadDeviceId() {
  Enter();
  WriteFpgaReg18Bit7(kDirection);
  PcReset();
  MovLiteral(kIdPage, 0);
  Six(kMovW0Tblpag);
  Six(kClrW6);
  Six(kClrW7);
  for (int i = 0; i < 2; ++i) {
    Six(kRdLLast);
    Nops(2);
    Six(kMovToVisi);
    Six(kNop);
    Regout();
    Six(kNop);
    Six(kGoto100);
    Six(kNop);
  }
  FlushCommands();
  std::uint8_t* reply = gLink.ScratchBuffer.data();
  ReadReply64(reply);
  SuppliesOff();
  FlushCommands();
  deviceId_ = {reply[0], reply[1], reply[2], reply[3]};
}

bool PIC30F::ChipCheck() {
  if (IdentityChecked()) return true;
  ReadDeviceId();
  gLink.StatusWord = 0;
  if (services().ChipParam("isp=") != 0 && Silent()) {
    AddMessageLine(kPinError);
    gLink.StatusWord = 1;
    return false;
  }
  // On the header too, the chip must be the line's.
  if (LineIdMatches()) return true;
  AddMessageLine(kTypeError);
  gLink.StatusWord = 1;
  return false;
}

void PIC30F::ConfigWrite(const std::array<std::uint16_t, 7>& registers) {
  Enter();
  WriteFpgaReg18Bit7(kDirection);
  PcReset();
  PcReset();
  MovLiteral(0, 7);
  for (std::uint16_t value : registers) {
    SetNvmcon(kNvmConfig);
    MovLiteral(kConfigPage, 0);
    Six(kMovW0Tblpag);
    MovLiteral(value, 6);
    Six(kWtLFromW6);
    Nops(2);
    FlashCycle(2, 2);
    Six(kGoto100);
    Six(kNop);
    FlushCommands();
  }
  PcReset();
  SuppliesOff();
  FlushCommands();
}

void PIC30F::ReadBlock(std::uint32_t a, std::uint8_t* dest) const {
  // The pointer is set for every block: from one set at 0 the 16-bit W6 would wrap at 64K
  // address units back into page 0.
  ReadPointer(a);
  for (int i = 0; i < 4; ++i) ReadFourWords();
  std::uint8_t* reply = gLink.ScratchBuffer.data();
  ReadReply64(reply);
  for (int i = 0; i < 4; ++i) Unpack(reply + 12 * i, dest + 16 * i);
}

void PIC30F::ScanCode(Scan kind) {
  Enter();
  PcReset();
  const auto last = static_cast<std::uint32_t>(row_.lastAddress);
  std::uint8_t got[64];
  for (std::uint32_t a = 0; a < last; a += kBlockUnits) {
    ShowProgress(static_cast<int>(a));
    if (kind == Scan::Read) {
      ReadBlock(a, buffer_ + 2 * a);
      continue;
    }
    // Every block is read and compared, the pad bytes aside.
    ReadBlock(a, got);
    for (std::uint32_t i = 0; i < 64; ++i) {
      if (i % 4 == 3) continue;
      const std::uint8_t want = kind == Scan::Blank ? 0xFF : buffer_[2 * a + i];
      if (got[i] != want) {
        gLink.StatusWord = 1;
        gLink.FailAddress = 2 * a + i;
        gLink.FailByte = got[i];
        SuppliesOff();
        FlushCommands();
        return;
      }
    }
  }
  ShowProgress(-1);
  SuppliesOff();
  FlushCommands();
}

// --- The handlers.

void PIC30F::Erase() {
  if (!ChipCheck()) return;
  std::array<std::uint16_t, 7> erased;
  erased.fill(0xFFFF);
  ConfigWrite(erased);
  Enter();
  WriteFpgaReg18Bit7(kDirection);
  PcReset();
  SetNvmcon(kNvmBulkErase);
  FlashCycle(2, 0, true);
  SuppliesOff();
  FlushCommands();
}

void PIC30F::Blank() {
  if (!ChipCheck()) return;
  ScanCode(Scan::Blank);
}

void PIC30F::Verify() {
  if (!ChipCheck()) return;
  ScanCode(Scan::Verify);
}

void PIC30F::Read() {
  if (!ChipCheck()) return;
  ScanCode(Scan::Read);
}

void PIC30F::Write() {
  if (!ChipCheck()) return;
  if (!EnterChecked()) return;
  WriteFpgaReg18Bit7(kDirection);
  PcReset();
  for (std::uint32_t a = 0; a < static_cast<std::uint32_t>(row_.lastAddress); a += kRowUnits) {
    ShowProgress(static_cast<int>(a));
    SetNvmcon(kNvmProgramRow);
    MovLiteral(a >> 16, 0);
    Six(kMovW0Tblpag);
    MovLiteral(a & 0xFFFF, 7);
    for (std::uint32_t k = 0; k < 8; ++k) WriteFourWords(buffer_ + 2 * a + 16 * k);
    FlashCycle(4, 2);
    Six(kGoto100);
    Six(kNop);
    FlushCommands();
  }
  ShowProgress(-1);
  SuppliesOff();
  FlushCommands();
}

void PIC30F::Config() {
  if (!ChipCheck()) return;
  configImage_.fill(0xFF);
  for (int k = 0; k < 8; ++k) {
    const std::uint32_t v = Word(k);
    configImage_[static_cast<std::size_t>(2 * k)] = static_cast<std::uint8_t>(v >> 8 & 0xFF);
    configImage_[static_cast<std::size_t>(2 * k + 1)] = static_cast<std::uint8_t>(v & 0xFF);
  }
  std::array<std::uint16_t, 7> registers{};
  for (std::size_t k = 0; k < registers.size(); ++k) {
    registers[k] = static_cast<std::uint16_t>(configImage_[2 * k] << 8 | configImage_[2 * k + 1]);
  }
  ConfigWrite(registers);
}

void PIC30F::ReadConfig() {
  if (!ChipCheck()) return;
  Enter();
  WriteFpgaReg18Bit7(kDirection);
  PcReset();
  MovLiteral(kConfigPage, 0);
  Six(kMovW0Tblpag);
  MovLiteral(0, 6);
  ReadSixteenWords();
  PcReset();
  std::uint8_t* reply = gLink.ScratchBuffer.data();
  ReadReply64(reply);
  for (int k = 0; k < 8; ++k) {
    SetWord(k, static_cast<std::uint32_t>(reply[2 * k] | reply[2 * k + 1] << 8));
  }
  SuppliesOff();
  FlushCommands();
  std::string line;
  char item[8];
  for (int i = 0; i < 14; ++i) {
    std::snprintf(item, sizeof item, "%02x,", reply[i]);
    line += item;
  }
  AddMessageLine(line.c_str());
}

void PIC30F::ReadData() {
  if (!ChipCheck()) return;
  Enter();
  WriteFpgaReg18Bit7(kDirection);
  PcReset();
  MovLiteral(kDataPage, 0);
  Six(kMovW0Tblpag);
  MovLiteral((0x10000 - dataSize_) & 0xFFF0, 6);
  const std::uint32_t start = DataStart();
  for (std::uint32_t off = 0; off < dataSize_; off += 64) {
    ReadSixteenWords();
    ReadSixteenWords();
    ReadReply64(buffer_ + start + off);
  }
  // The buffer keeps each word high byte first.
  for (std::uint32_t i = 0; i + 1 < dataSize_; i += 2) {
    std::swap(buffer_[start + i], buffer_[start + i + 1]);
  }
  PcReset();
  FlushCommands();
  SuppliesOff();
  FlushCommands();
  char line[48];
  std::snprintf(line, sizeof line, "OK,EE Data buffer at:%06x", start);
  AddMessageLine(line);
}

void PIC30F::WriteData() {
  if (dataSize_ == 0) {
    AddMessageLine(kNoData);
    return;
  }
  if (!ChipCheck()) return;
  if (!EnterChecked()) return;
  WriteFpgaReg18Bit7(kDirection);
  PcReset();
  MovLiteral(kDataPage, 0);
  Six(kMovW0Tblpag);
  MovLiteral((0x10000 - dataSize_) & 0xFFFF, 7);
  const std::uint8_t* data = buffer_ + DataStart();
  for (std::uint32_t off = 0; off < dataSize_; off += 32) {
    ShowProgress(static_cast<int>(off));
    SetNvmcon(kNvmDataRow);
    for (std::uint32_t k = 0; k < 4; ++k) {
      const std::uint8_t* b = data + off + 8 * k;
      for (int w = 0; w < 4; ++w) {
        MovLiteral(static_cast<std::uint32_t>(b[2 * w] << 8 | b[2 * w + 1]), w);
      }
      Six(kClrW6);
      Six(kNop);
      for (int i = 0; i < 4; ++i) {
        Six(kWtLInc);
        Nops(2);
      }
    }
    FlashCycle(2, 2);
    Six(kGoto100);
    Six(kNop);
    FlushCommands();
  }
  PcReset();
  FlushCommands();
  ShowProgress(-1);
  SuppliesOff();
  FlushCommands();
}

void PIC30F::ReadId() {
  ReadDeviceId();
  char line[64];
  std::snprintf(line, sizeof line, "Device ID: %02x%02x,  Version:%02x%02x", deviceId_[1],
                deviceId_[0], deviceId_[3], deviceId_[2]);
  AddMessageLine(line);
  if (Silent()) {
    AddMessageLine(kPinError);
    gLink.StatusWord = 1;
    return;
  }
  // On the in-system header no contact test finds a missing chip, and what idle lines read is
  // the board's: only the line's own ID shows a chip there.
  if (services().ChipParam("isp=") != 0 && !LineIdMatches()) {
    AddMessageLine(kTypeError);
    gLink.StatusWord = 1;
  }
}

}  // namespace zelvar::pic
