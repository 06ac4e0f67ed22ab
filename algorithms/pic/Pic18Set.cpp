#include "algorithms/pic/Pic18Set.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "link/Bitstream.h"
#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "link/commands/Pic18.h"
#include "services/Messages.h"
#include "services/Services.h"

namespace zelvar::pic {

namespace {
using namespace zelvar::pic18;
using pic::p18::kConfigAddress;
using pic::p18::kDeviceIdAddress;
using pic::p18::kIdAddress;
constexpr std::uint8_t kSettle = zelvar::pic18::kCmdSettle;

using line_refusal::kNoFla;
using line_refusal::kNoPackage;
using line_refusal::kTooLarge;
constexpr const char* kBadErase = "Erase choice not known! *擦除方式错误!";
// Program memory as far as the buffer's first 2 MB; the data area behind it.
constexpr std::uint32_t kMaxCode = 0x200000, kMaxData = 0x1000;
constexpr int kBlock = 64;
}  // namespace

void Pic18Set::CheckRow(const McuType& t, TypeTableReport& r) {
  CheckMcuRow(t, r);
  for (const char* b : {"pic18dip40.bit", "pic18dip28.bit", "pic18f2331dip28.bit", "pic18dip18.bit",
                        "pic18plcc44.bit", "pic18qfp44.bit", "pic18isp.bit"})
    r.bitstreams.emplace_back(b);
}

std::span<const char* const> Pic18Set::DescribeList() const {
  // Without a data EEPROM there is nothing for Write data to write.
  return HasData() ? DescribeListFull() : DescribeListNoData();
}

void Pic18Set::Init() {
  BeginSetup();
  const auto types = Types();
  if (!AcceptRow(static_cast<int>(types.size()), 0)) return;
  row_ = types[static_cast<std::size_t>(gApp.TypeIndex)];
  Services& s = services();
  const int fla = s.ChipParam("fla=");
  const int ee = s.ChipParam("ee=");
  if (fla <= 0) return Refuse(kNoFla);
  if (static_cast<std::uint32_t>(fla) > kMaxCode || ee < 0 ||
      static_cast<std::uint32_t>(ee) > kMaxData)
    return Refuse(kTooLarge);
  row_.lastAddress = fla - 1;
  row_.eepromLast = ee - 1;
  delay_ = s.ChipParam("dly=");
  const McuPackage* chosen = IspOrPackage();
  // A package without wiring would put the programming voltage on whatever pin the row names.
  if (chosen == nullptr) return Refuse(kNoPackage);
  UsePackage(*chosen);
  readVcc_ = ChipVccMillivolts(Policy().readVcc);
  // The programming voltage is the set's own: without it VPP stays at whatever the last set left.
  SetUpSupplies(readVcc_, p18::kVppMillivolts);
  deviceId_ = {0, 0};
}

std::uint32_t Pic18Set::DataStart() const {
  // The older parts keep their data at 0x4200 where their code ends below it; a larger code area
  // would have the data area overwrite code bytes in the buffer, so theirs follows the code.
  if (!Policy().newParts && static_cast<std::uint32_t>(row_.lastAddress) < kDataStart) {
    return kDataStart;
  }
  return row_.lastAddress <= 0xFFFF ? 0x10000 : static_cast<std::uint32_t>(row_.lastAddress) + 1;
}

// --- The engine's steps.

void Pic18Set::Lines(std::uint8_t value) const {
  WriteFpgaReg18(value);
}

void Pic18Set::TransferDone() const {
  if (Policy().newParts) {
    PutCmd1(kCmdDone);
  } else {
    PutCmd1(kCmdIdle);
    PutCmd1(kCmdIdle);
  }
}

void Pic18Set::Send(std::uint8_t command, std::uint16_t operand) const {
  Lines(kLatch);
  WritePort(kPortCommand, command);
  WritePort(kPortLow, static_cast<std::uint8_t>(operand & 0xFF));
  WritePort(kPortHigh, static_cast<std::uint8_t>(operand >> 8));
  Lines(kLatch | kStrobe);
  TransferDone();
  Lines(kLatch);
}

void Pic18Set::Core(std::uint16_t instruction) const {
  Send(kCore, instruction);
}

void Pic18Set::ClockIn(std::uint8_t command) const {
  Lines(kLatch);
  WritePort(kPortCommand, command);
  Lines(kLatch | kStrobe);
  TransferDone();
  PutCmd1(kCmdReadBack);
  Lines(kLatch);
}

void Pic18Set::TablePointer(std::uint32_t a) const {
  Lines(kDirection | kStrobe);
  Core(static_cast<std::uint16_t>(0x0E00 | (a >> 16 & 0xFF)));  // MOVLW upper
  Core(0x6EF8);                                                 // MOVWF TBLPTRU
  Core(static_cast<std::uint16_t>(0x0E00 | (a >> 8 & 0xFF)));   // MOVLW high
  Core(0x6EF7);                                                 // MOVWF TBLPTRH
  Core(static_cast<std::uint16_t>(0x0E00 | (a & 0xFF)));        // MOVLW low
  Core(0x6EF6);                                                 // MOVWF TBLPTRL
}

void Pic18Set::ProgramWait() const {
  Lines(kHold | kStrobe);
  Lines(kLatch);
  WritePort(kPortCommand, 0);
  WritePort(kPortLow, 0);
  WritePort(kPortHigh, 0);
  Lines(kLatch | kStrobe);
  for (int i = 0; i < Delay(); ++i) PutCmd1(kCmdTick);
  Lines(kHold);
  PutCmd1(kCmdDone);
  Lines(kLatch);
}

void Pic18Set::Enter() const {
  gLink.StatusWord = 0;
  SelectVccPin(0);
  PutCmd1(kSettle);
  Lines(kDirection);
  Lines(kDirection | kStrobe);
  Core(0x0000);
  Lines(kDirection);
  Lines(kLatch);
  Lines(kHold);
  if (Policy().newParts) {
    // VDD before VPP, each given time to settle.
    SelectVccPin(row_.vccPin);
    PutCmd1(kSettle);
    SelectVppPin(row_.vppPin);
    PutCmd1(kSettle);
  } else {
    Lines(kIdleLines);
    SelectVccPin(row_.vccPin);
    SelectVppPin(row_.vppPin);
    FlushCommands();
  }
}

bool Pic18Set::ReadDeviceId() {
  if (!Policy().newParts) SetVccVoltage(readVcc_);
  Enter();
  // A weak supply leaves no ID: the check must not go on with the bytes of an earlier read.
  deviceId_ = {0xFF, 0xFF};
  if (!CheckPower()) {
    SuppliesOff();
    return false;
  }
  TablePointer(kDeviceIdAddress);
  Lines(kDirection);
  ClockIn(kTableReadPostInc);
  ClockIn(kTableReadPostInc);
  std::uint8_t* reply = gLink.ScratchBuffer.data();
  ReadReply64(reply);
  SuppliesOff();
  deviceId_ = {reply[0], reply[1]};
  return true;
}

bool Pic18Set::ChipCheck() {
  if (IdentityChecked()) return true;
  Services& s = services();
  const auto& want = gApp.ExpectedId;
  if (s.ChipParam("isp=") != 0) {
    if (!ReadDeviceId()) return false;
    if (deviceId_[0] == 0xFF && deviceId_[1] == 0xFF) {
      AddMessageLine(p18::kPinError);
      gLink.StatusWord = 1;
      return false;
    }
    return true;
  }
  if (want[0] == 0 && want[1] == 0) return true;
  if (!ReadDeviceId()) return false;
  gLink.StatusWord = 0;
  if (deviceId_[0] == want[0] && deviceId_[1] == want[1]) return true;
  // The revision bits 0-4 of the first byte do not count.
  if ((deviceId_[0] & 0xE0) == want[0] && deviceId_[1] == want[1]) return true;
  AddMessageLine(p18::kTypeError);
  gLink.StatusWord = 1;
  return false;
}

bool Pic18Set::ScanCode(Scan kind) {
  Enter();
  TablePointer(0);
  Lines(kDirection);
  const auto last = static_cast<std::uint32_t>(row_.lastAddress);
  return ScanBlocks(kind, 0, last, kBlock, [this](std::uint32_t, std::uint8_t* dest) {
    for (int i = 0; i < kBlock; ++i) ClockIn(kTableReadPostInc);
    ReadReply64(gLink.ScratchBuffer.data());
    std::memcpy(dest, gLink.ScratchBuffer.data(), kBlock);
  });
}

// --- The handlers.

void Pic18Set::Erase() {
  const auto codes = Policy().eraseCodes;
  const std::uint32_t choice = Word(128);
  if (choice >= codes.size()) {
    AddMessageLine(kBadErase);
    gLink.StatusWord = 1;
    return;
  }
  if (!Policy().newParts && !ChipCheck()) return;
  const std::uint16_t key = codes[choice];
  SetVccVoltage(p18::kProgramMillivolts);
  Enter();
  Lines(kDirection | kStrobe);
  if (Policy().newParts) {
    const auto hi = static_cast<std::uint8_t>(key >> 8), lo = static_cast<std::uint8_t>(key);
    TablePointer(0x3C0005);
    Send(kTableWrite, static_cast<std::uint16_t>(hi << 8 | hi));
    TablePointer(0x3C0004);
    Send(kTableWrite, static_cast<std::uint16_t>(lo << 8 | lo));
  } else {
    TablePointer(0x3C0004);
    Send(kTableWrite, static_cast<std::uint16_t>(key & 0xFF));
  }
  Core(0x0000);
  Core(0x0000);
  PutCmd1(kCmdEraseWait);
  SuppliesOff();
  FlushCommands();
}

void Pic18Set::Blank() {
  if (!ChipCheck()) return;
  SetVccVoltage(readVcc_);
  if (ScanCode(Scan::Blank)) FinishScan();
  SuppliesOff();
}

void Pic18Set::Write() {
  if (!ChipCheck()) return;
  const bool fresh = Policy().newParts;
  int w = 8;
  if (fresh) {
    w = services().ChipParam("wbs=");
    // Refused before the chip is powered and before any program command.
    if (w < 1 || w > 64) {
      SuppliesOff();
      FlushCommands();
      AddMessageLine(p18::kBufferSizeError);
      gLink.StatusWord = 1;
      return;
    }
  }
  SetVccVoltage(p18::kProgramMillivolts);
  if (!EnterChecked()) return;
  Lines(kDirection | kStrobe);
  Core(0x8EA6);  // BSF EECON1, EEPGD
  if (fresh) {
    Core(0x9CA6);  // BCF EECON1, CFGS
    FlushCommands();
    // The write buffer's size is the programming wait of this and later operations.
    delay_ = w;
    std::uint32_t i = 0;
    for (std::int32_t a = 0; a < row_.lastAddress; a += w) {
      ShowProgress(a);
      TablePointer(static_cast<std::uint32_t>(a));
      for (int sent = 0; sent < w - 2; sent += 2, i += 2)
        Send(kTableWritePostInc2, static_cast<std::uint16_t>(buffer_[i + 1] << 8 | buffer_[i]));
      Send(kTableWriteProgram, static_cast<std::uint16_t>(buffer_[i + 1] << 8 | buffer_[i]));
      i += 2;
      ProgramWait();
      FlushCommands();
    }
  } else {
    Core(0x8CA6);  // BSF EECON1, CFGS
    Core(0x86A6);
    TablePointer(0x3C0006);
    Send(kTableWrite, 0x0000);  // single-panel writes
    Core(0x8EA6);
    Core(0x9CA6);
    FlushCommands();
    for (std::int32_t a = 0; a <= row_.lastAddress; a += 8) {
      const auto word = [&](std::int32_t k) {
        return static_cast<std::uint16_t>(buffer_[a + k + 1] << 8 | buffer_[a + k]);
      };
      TablePointer(static_cast<std::uint32_t>(a));
      Send(kTableWritePostInc2, word(0));
      Send(kTableWritePostInc2, word(2));
      Send(kTableWritePostInc2, word(4));
      Send(kTableWriteProgram, word(6));
      ProgramWait();
      if (a % 256 == 0) {
        ShowProgress(a);
        FlushCommands();
      }
    }
  }
  FlushCommands();
  ShowProgress(-1);
  SuppliesOff();
}

void Pic18Set::Verify() {
  if (Policy().newParts) SetVccVoltage(readVcc_);
  if (!ChipCheck()) return;
  SetVccVoltage(readVcc_);
  if (ScanCode(Scan::Verify)) FinishScan();
  SuppliesOff();
}

void Pic18Set::Read() {
  if (!ChipCheck()) return;
  SetVccVoltage(readVcc_);
  ScanCode(Scan::Read);
  ShowProgress(-1);
  SuppliesOff();
  if (Policy().newParts) AddMessageLine("OK");
}

void Pic18Set::ReadId() {
  if (Policy().newParts) SetVccVoltage(readVcc_);
  if (!ReadDeviceId()) return;
  char line[48];
  std::snprintf(line, sizeof line, "Device ID: %02x,%02x", deviceId_[0], deviceId_[1]);
  AddMessageLine(line);
}

void Pic18Set::Config() {
  if (!ChipCheck()) return;
  SetVccVoltage(p18::kProgramMillivolts);
  // The ID locations: the "User.ID" grid value, low byte first, the other six erased.
  const std::uint32_t user = Word(64);
  const std::uint8_t ids[8] = {static_cast<std::uint8_t>(user & 0xFF),
                               static_cast<std::uint8_t>(user >> 8 & 0xFF),
                               0xFF,
                               0xFF,
                               0xFF,
                               0xFF,
                               0xFF,
                               0xFF};
  if (!EnterChecked()) return;
  Lines(kDirection | kStrobe);
  Core(0x8EA6);
  Core(0x8CA6);
  TablePointer(0x3C0006);
  Send(kTableWrite, 0x0000);
  Core(0x8EA6);
  Core(0x9CA6);
  TablePointer(kIdAddress);
  for (int k = 0; k < 8; k += 2) {
    Send(k < 6 ? kTableWritePostInc2 : kTableWriteProgram,
         static_cast<std::uint16_t>(ids[k + 1] << 8 | ids[k]));
  }
  ProgramWait();
  SuppliesOff();
  FlushCommands();

  if (!EnterChecked()) return;
  Lines(kDirection | kStrobe);
  Core(0x8EA6);  // BSF EECON1, EEPGD
  Core(0x8CA6);  // BSF EECON1, CFGS
  if (!Policy().newParts) {
    Core(0xEF00);  // GOTO 100000h
    Core(0xF800);
  }
  std::uint8_t image[14];
  for (int i = 0; i < 14; ++i) image[i] = static_cast<std::uint8_t>(Word(i) & 0xFF);
  for (int i = 0; i < 14; i += 2) {
    TablePointer(kConfigAddress + static_cast<std::uint32_t>(i));
    Send(kTableWriteProgram, static_cast<std::uint16_t>(0xFF00 | image[i]));
    ProgramWait();
    if (Policy().newParts) PutCmd1(kSettle);
    Core(0x2AF6);  // INCF TBLPTRL
    Send(kTableWriteProgram, static_cast<std::uint16_t>(image[i + 1] << 8 | 0xFF));
    ProgramWait();
    if (Policy().newParts) {
      PutCmd1(kSettle);
      FlushCommands();
    }
  }
  SuppliesOff();
  FlushCommands();
}

void Pic18Set::ReadConfig() {
  if (!ChipCheck()) return;
  SetVccVoltage(readVcc_);
  Enter();
  TablePointer(kConfigAddress);
  Lines(kDirection);
  for (int i = 0; i < 16; ++i) ClockIn(kTableReadPostInc);
  TablePointer(kIdAddress);
  Lines(kDirection);
  for (int i = 0; i < 8; ++i) ClockIn(kTableReadPostInc);
  // The reply is 64 bytes: it lands in the scratch buffer, the area takes its first 24.
  std::uint8_t* reply = gLink.ScratchBuffer.data();
  ReadReply64(reply);
  std::memcpy(configArea_.data(), reply, configArea_.size());
  for (int i = 0; i < 16; ++i) SetWord(i, configArea_[static_cast<std::size_t>(i)]);
  SetWord(64, static_cast<std::uint32_t>(configArea_[17] << 8 | configArea_[16]));
  SuppliesOff();
  std::string line;
  char item[8];
  for (int i = 0; i < 16; ++i) {
    std::snprintf(item, sizeof item, "%02x,", configArea_[static_cast<std::size_t>(i)]);
    line += item;
  }
  AddMessageLine(line.c_str());
}

void Pic18Set::ReadData() {
  if (!ChipCheck()) return;
  SetVccVoltage(readVcc_);
  Enter();
  Lines(kDirection | kStrobe);
  Core(0x9EA6);  // BCF EECON1, EEPGD
  Core(0x9CA6);  // BCF EECON1, CFGS
  const std::int32_t last = row_.eepromLast;
  const std::uint32_t start = DataStart();
  const bool fresh = Policy().newParts;
  for (std::int32_t b = 0; fresh ? b <= last : b < last; b += kBlock) {
    for (std::int32_t a = b; a < b + kBlock; ++a) {
      Lines(kDirection | kStrobe);
      Core(static_cast<std::uint16_t>(0x0E00 | (a & 0xFF)));
      Core(0x6EA9);  // MOVWF EEADR
      Core(static_cast<std::uint16_t>(0x0E00 | (a >> 8 & 0xFF)));
      Core(0x6EAA);  // MOVWF EEADRH
      Core(0x80A6);  // BSF EECON1, RD
      Core(0x50A8);  // MOVF EEDATA, W
      Core(0x6EF5);  // MOVWF TABLAT
      if (fresh) Core(0x0000);
      Lines(kDirection);
      ClockIn(kShiftOutTablat);
    }
    ReadReply64(buffer_ + start + static_cast<std::uint32_t>(b));
  }
  FlushCommands();
  SuppliesOff();
  char line[64];
  if (fresh) {
    std::snprintf(line, sizeof line, "OK,Read EE data to buffer at %06x", start);
    AddMessageLine(line);
  } else {
    AddMessageLine("OK,Data 存放在文件缓冲区4200h开始");
  }
}

void Pic18Set::WriteData() {
  // Without a data EEPROM the step below would divide by zero.
  if (DataSize() == 0) {
    AddMessageLine(p18::kNoData);
    return;
  }
  if (!ChipCheck()) return;
  SetVccVoltage(p18::kProgramMillivolts);
  if (!EnterChecked()) return;
  Lines(kDirection | kStrobe);
  Core(0x9EA6);
  Core(0x9CA6);
  const std::int32_t last = row_.eepromLast;
  const std::int32_t step = (row_.lastAddress + 1) / (last + 1);
  const std::uint32_t start = DataStart();
  const bool fresh = Policy().newParts;
  for (std::int32_t a = 0; a <= last; ++a) {
    ShowProgress(a * step);
    const std::uint8_t byte = buffer_[start + static_cast<std::uint32_t>(a)];
    Lines(kDirection | kStrobe);
    Core(static_cast<std::uint16_t>(0x0E00 | (a & 0xFF)));
    Core(0x6EA9);
    Core(static_cast<std::uint16_t>(0x0E00 | (a >> 8 & 0xFF)));
    Core(0x6EAA);
    Core(static_cast<std::uint16_t>(0x0E00 | byte));
    Core(0x6EA8);  // MOVWF EEDATA
    Core(0x84A6);  // BSF EECON1, WREN
    if (fresh) {
      Core(0x82A6);  // BSF EECON1, WR
      Core(0x50A6);
      Core(0x6EF5);
      Core(0x0000);
      Lines(kDirection);
      Send(kShiftOutTablat, 0xFFFF);
      Lines(kDirection | kStrobe);
      ProgramWait();
    } else {
      Core(0x0E55);  // the unlock: 55h, AAh to EECON2
      Core(0x6EA7);
      Core(0x0EAA);
      Core(0x6EA7);
      Core(0x82A6);
      Core(0x50A6);
      Core(0x6EF5);
      Lines(kDirection);
    }
    for (int i = 0; i < 5; ++i) PutCmd1(kCmdTick);
    FlushCommands();
  }
  if (fresh) {
    Lines(kDirection);
    FlushCommands();
    SuppliesOff();
    ShowProgress(-1);
  } else {
    Core(0x94A6);  // BCF EECON1, WREN
    Lines(kDirection);
    FlushCommands();
    SuppliesOff();
  }
}

}  // namespace zelvar::pic
