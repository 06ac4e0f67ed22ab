#include "algorithms/mcs51/Lpc900Engine.h"

#include <cstdio>
#include <string>

#include "link/Bitstream.h"
#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "services/Messages.h"
#include "services/Services.h"

namespace zelvar::mcs51 {

namespace {
// The chips' flash commands and configuration layout.
constexpr std::uint8_t kLoad = 0x00, kProgram = 0x48, kErase = 0x72, kConfigAccess = 0x6C,
                       kReadCode = 0x80, kBlankCheck = 0x19;
constexpr int kIdFirst = 16, kBootVector = 2, kBootStatus = 3, kSecurityFirst = 8;
// Designs' command bytes: a byte into the reply, the shifter's byte out and in, the waits.
constexpr std::uint8_t kCmdCapture = 2, kCmdShiftOut = 56, kCmdShiftIn = 57, kCmdShortWait = 25,
                       kCmdWait = 26, kCmdSettle = 27;
constexpr int kWaitReadyPolls = 20;
constexpr const char* kNoPage =
    "No page size (sec=) in the device list! *器件列表缺少页大小(sec=)!";
constexpr const char* kNotReady = "Chip not ready! *器件没有就绪!";
constexpr const char* kStatusWarning =
    "Warning: Status must be 1 or 0!*提醒:Status 只能设为 0 或者 1 !";
constexpr const char* kPinError = "Pin connection error! *器件连接错误!";
constexpr const char* kNoVerify = "Verify is not offered for this chip! *此器件不提供校验!";

std::uint8_t Reversed(std::uint8_t b) {
  std::uint8_t r = 0;
  for (int i = 0; i < 8; ++i) r = static_cast<std::uint8_t>(r << 1 | ((b >> i) & 1));
  return r;
}
}  // namespace

void CheckLpc900Row(const Lpc900Type& t, TypeTableReport& r) {
  if (t.bitstream == nullptr) {
    if (t.vccPin != 0 || t.contactMask != 0) r.Fault("pins without a design");
    return;
  }
  r.bitstreams.emplace_back(t.bitstream);
  r.MaskInSocket(t.contactMask, 48);
  if (t.vccPin == 0) {
    if (t.contactMask != 0) r.Fault("contact pins without a supply");
    return;
  }
  if (t.groundPin == 0) {  // the ISP header: VCC through the header, no contact test
    if (t.contactMask != 0) r.Fault("contact pins on the header row");
    return;
  }
  r.DistinctSupplyPins({{"VCC", t.vccPin}, {"ground", t.groundPin}}, {}, 48);
}

// --- What both sets share.

void Lpc900Set::Init() {
  BeginSetup();
  if (gLink.ModelNumber >= 6300 && gApp.TypeIndex < 10) gApp.TypeIndex += 10;
  if (!AcceptRow(static_cast<int>(Types().size()))) return;
  const Lpc900Type& row = Row();
  if (row.bitstream == nullptr) {
    Refuse(frame::kNoSuchType);
    return;
  }
  Services& s = services();
  const int length = s.ChipParam("len=");
  if (length <= 0) {
    Refuse(frame::kNoLength);
    return;
  }
  lastAddress_ = static_cast<std::uint32_t>(length - 1);
  LoadBitstream(row.bitstream);
  if (row.placePins != 0) {
    PlacementRequest place;
    place.pins = row.placePins;
    place.firstRow = row.placeRow;
    s.ShowPlacement(place);
  }
  if (!SetupExtras()) return;
  gApp.GroundPin = row.groundPin;
  gApp.PinMask = row.contactMask;
  gMcs51.ChipVccPin = row.vccPin;
  gMcs51.ChipVppPin = 0;
  vppMillivolts_ = 0;
  SetVppVoltage(0);
  SelectVppPin(0);
  SelectVccPin(0);
  SelectGndPin(row.groundPin);
  vccMillivolts_ = ChipVccMillivolts(DefaultVcc());
  SetVccVoltage(vccMillivolts_);
}

void Lpc900Set::ReadSignature() {
  gApp.ReadId = {};
  if (!ReadConfigBlock()) return;
  for (int i = 0; i < 3; ++i) gApp.ReadId[i] = gLink.ScratchBuffer[kIdFirst + i];
}

void Lpc900Set::ReadId() {
  ReadSignature();
  char line[48];
  const auto& id = gApp.ReadId;
  std::snprintf(line, sizeof line, "ID: %02x,%02x,%02x", id[0], id[1], id[2]);
  AddMessageLine(line);
  // Nothing finds an empty in-system header before this read: ID lines that read all ones or all
  // zeros are no chip.
  if (id[0] == id[1] && id[1] == id[2] && (id[0] == 0xFF || id[0] == 0)) {
    AddMessageLine(kPinError);
    gLink.StatusWord = 1;
  }
}

void Lpc900Set::ReadConfig() {
  if (!ReadConfigBlock()) return;
  const std::uint8_t* c = gLink.ScratchBuffer.data();
  std::string line;
  for (int i = 0; i < kLpc900ConfigBytes; ++i) {
    char item[8];
    std::snprintf(item, sizeof item, "%02x,", c[i]);
    line += item;
  }
  AddMessageLine(line);
  SetWord(0, c[0]);
  SetWord(64, c[kBootVector]);
  SetWord(65, c[kBootStatus]);
  for (int k = 0; k < 8; ++k) SetWord(66 + k, c[kSecurityFirst + k]);
}

// The configuration byte, boot vector and status, then the eight sector security bytes; the
// first failure stops the rest.
void Lpc900Set::Config() {
  if (!CheckType()) return;
  BeginConfigWrites();
  const auto low = [this](int word) { return static_cast<std::uint8_t>(Word(word)); };
  if (!WriteConfigByte(0, low(0)) || !WriteConfigByte(kBootVector, low(64))) return;
  if (Word(65) > 1) AddMessageLine(kStatusWarning);
  if (!WriteConfigByte(kBootStatus, low(65))) return;
  for (int k = 0; k < 8; ++k) {
    if (!WriteConfigByte(static_cast<std::uint8_t>(kSecurityFirst + k), low(66 + k))) return;
  }
}

// --- The register front end.

bool RegisterEngine::SetupExtras() {
  const int page = services().ChipParam("sec=");
  if (page <= 0) {
    Refuse(kNoPage);
    return false;
  }
  pageSize_ = static_cast<std::uint32_t>(page);
  return true;
}

void RegisterEngine::Line(int n, bool level) {
  if (level) {
    WriteFpgaReg18Bit7(static_cast<std::uint8_t>(n));
  } else {
    WriteFpgaReg18(static_cast<std::uint8_t>(n));
  }
}

void RegisterEngine::SelectRegister(std::uint8_t r) {
  WritePort(0, r);
}

void RegisterEngine::WriteByte(std::uint8_t b) {
  WritePort(1, b);
  Line(3, true);
  Line(3, false);
}

void RegisterEngine::ClockInByte() {
  for (int i = 0; i < 2; ++i) {
    Line(3, true);
    Line(3, false);
  }
  PutCmd1(kCmdCapture);
}

void RegisterEngine::EnterIcp() {
  SelectVccPin(0);
  for (int n : {2, 3, 4}) Line(n, false);
  Line(1, true);
  SelectVccPin(Row().vccPin);
  PutCmd1(kCmdShortWait);
  for (int i = 0; i < 5; ++i) {
    Line(2, true);
    Line(2, false);
  }
  Line(2, true);
  PutCmd1(kCmdShortWait);
  FlushCommands();
}

void RegisterEngine::SetAddress(std::uint16_t a) {
  Line(1, false);
  SelectRegister(0);
  WriteByte(static_cast<std::uint8_t>(a & 0xFF));
  SelectRegister(1);
  WriteByte(static_cast<std::uint8_t>(a >> 8));
}

bool RegisterEngine::WaitReady() {
  std::uint8_t reply[64];
  for (int i = 0; i < kWaitReadyPolls; ++i) {
    ClockInByte();
    ReadReply64(reply);
    if (reply[0] < 0x80) return true;
  }
  AddMessageLine(kNotReady);
  gLink.StatusWord = 1;
  return false;
}

bool RegisterEngine::ReadConfigBlock() {
  EnterIcp();
  Line(1, false);
  SelectRegister(3);
  WriteByte(kConfigAccess);
  SelectRegister(0);
  WriteByte(0x00);
  Line(1, true);
  if (!WaitReady()) return false;
  SelectRegister(2);
  for (int i = 0; i < kLpc900ConfigBytes; ++i) {
    Line(3, true);
    Line(3, false);
    PutCmd1(kCmdCapture);
  }
  FlushCommands();
  ReadReply64(gLink.ScratchBuffer.data());
  SelectVccPin(0);
  return true;
}

bool RegisterEngine::WriteConfigByte(std::uint8_t address, std::uint8_t value) {
  EnterIcp();
  Line(1, false);
  SelectRegister(3);
  WriteByte(kConfigAccess);
  SelectRegister(0);
  WriteByte(address);
  SelectRegister(2);
  WriteByte(value);
  Line(1, true);
  SelectRegister(3);
  const bool ready = WaitReady();
  SelectVccPin(0);
  return ready;
}

void RegisterEngine::Erase() {
  if (!CheckType()) return;
  EnterIcp();
  if (!CheckPower()) return;
  SelectRegister(3);
  Line(1, false);
  WriteByte(kErase);
  Line(1, true);
  WaitReady();
}

// The chip steps its address by itself; each block asks for the code read again.
bool RegisterEngine::Scan(Mcs51Set::Scan kind) {
  EnterIcp();
  if (!CheckPower()) return false;
  SetAddress(0);
  const Fetch fetch = [](std::uint32_t, std::uint8_t* dest) {
    Line(1, false);
    SelectRegister(3);
    WriteByte(kReadCode);
    Line(1, true);
    SelectRegister(2);
    for (int i = 0; i < 64; ++i) ClockInByte();
    FlushCommands();
    ReadReply64(dest);
  };
  if (!ScanBlocks(kind, 0, lastAddress_, 64, fetch)) return false;
  FinishScan();
  return true;
}

void RegisterEngine::Read() {
  Scan(Mcs51Set::Scan::Read);
}

// The chip is read back and compared with 0xFF: the run sequence's Blank after Erase must not
// pass a chip it never looked at.
void RegisterEngine::Blank() {
  Scan(Mcs51Set::Scan::Blank);
}

void RegisterEngine::Verify() {
  Scan(Mcs51Set::Scan::Verify);
}

void RegisterEngine::Write() {
  if (!CheckType()) return;
  EnterIcp();
  if (!CheckPower()) return;
  for (std::uint32_t page = 0; page < lastAddress_; page += pageSize_) {
    ShowProgress(static_cast<int>(page));
    Line(1, false);
    SelectRegister(3);
    WriteByte(kLoad);
    SelectRegister(0);
    WriteByte(0x00);
    SelectRegister(2);
    for (std::uint32_t i = 0; i < pageSize_ && page + i < kCodeBufferSize; ++i) {
      WriteByte(buffer_[page + i]);
      for (int k = 0; k < 2; ++k) {
        Line(3, true);
        Line(3, false);
      }
    }
    SetAddress(static_cast<std::uint16_t>(page));
    Line(1, false);
    SelectRegister(3);
    WriteByte(kProgram);
    Line(1, true);
    FlushCommands();
    if (!WaitReady()) return;
  }
  ShowProgress(-1);
}

// --- The shifter.

bool ShifterEngine::SetupExtras() {
  Services& s = services();
  const int pkg = s.ChipParam("pkg=");
  if (gApp.TypeIndex == 10) {
    s.ShowIspWiring(pkg == 8
                        ? "1----Clock to 6(P0.5)\n9----Data  to 7(P0.4)\n7----VDD   to 1(VDD)\n"
                          "8----RST   to 4(RST) \n2----GND   to 8(VSS)\nend"
                        : "1----Clock to (P0.5)\n9----Data  to (P0.4)\n7----VDD   to (VDD)\n"
                          "8----RST   to (RST) \n2----GND   to (VSS)\nend");
  } else if (gApp.TypeIndex < 10 && (pkg == 14 || pkg == 16)) {
    PlacementRequest place;
    place.pins = pkg;
    place.firstRow = 7;
    s.ShowPlacement(place);
  }
  return true;
}

void ShifterEngine::Line(int n, bool level) {
  if (level) {
    WriteFpgaReg18Bit7(static_cast<std::uint8_t>(n));
  } else {
    WriteFpgaReg18(static_cast<std::uint8_t>(n));
  }
}

void ShifterEngine::SendByte(std::uint8_t v) {
  PutCmd2(kCmdShiftOut, Reversed(v));
}

void ShifterEngine::EnterIcp() {
  SelectVccPin(0);
  for (int n : {3, 2, 1}) Line(n, false);
  SelectVccPin(Row().vccPin);
  for (int i = 0; i < 7; ++i) {
    Line(3, true);
    Line(3, false);
  }
  Line(3, true);
  PutCmd1(kCmdShortWait);
  FlushCommands();
}

bool ShifterEngine::Polls(int n, std::uint8_t wait) {
  for (int i = 0; i < n; ++i) {
    SendByte(0x0F);
    PutCmd1(kCmdShiftIn);
    PutCmd1(wait);
  }
  std::uint8_t reply[64];
  ReadReply64(reply);
  return Reversed(reply[0]) == 0xF0;
}

bool ShifterEngine::ReadConfigBlock() {
  EnterIcp();
  for (int i = 0; i < kLpc900ConfigBytes; ++i) {
    for (std::uint8_t b : {std::uint8_t{0x0E}, kConfigAccess, std::uint8_t{0x08},
                           static_cast<std::uint8_t>(i), std::uint8_t{0x0D}})
      SendByte(b);
    PutCmd1(kCmdShiftIn);
  }
  std::uint8_t* c = gLink.ScratchBuffer.data();
  ReadReply64(c);
  for (int i = 0; i < kLpc900ConfigBytes; ++i) c[i] = Reversed(c[i]);
  SelectVccPin(0);
  return true;
}

bool ShifterEngine::CheckType() {
  if (IdentityChecked()) return true;
  const bool passed = TypeCheck(IdRule());
  char line[64];
  const auto& r = gApp.ReadId;
  const auto& e = gApp.ExpectedId;
  std::snprintf(line, sizeof line, "R=(%02x,%02x,%02x)  S=(%02x,%02x,%02x)", r[0], r[1], r[2], e[0],
                e[1], e[2]);
  AddMessageLine(line);
  return passed;
}

bool ShifterEngine::WriteConfigByte(std::uint8_t address, std::uint8_t value) {
  for (std::uint8_t b :
       {std::uint8_t{0x0E}, kConfigAccess, std::uint8_t{0x08}, address, std::uint8_t{0x0C}, value})
    SendByte(b);
  if (Polls(8, kCmdWait)) return true;
  gLink.StatusWord = 1;
  return false;
}

void ShifterEngine::Erase() {
  if (!CheckType()) return;
  EnterIcp();
  SendByte(0x0E);
  SendByte(kErase);
  for (int i = 0; i < 10; ++i) PutCmd1(kCmdSettle);
  if (Polls(2, kCmdWait)) return;
  AddMessageLine("Erase error! *擦除失败！");
  gLink.StatusWord = 1;
}

// Each block is addressed before its check, so that the chip looks at every block.
void ShifterEngine::Blank() {
  if (!CheckType()) return;
  EnterIcp();
  std::uint8_t reply[64];
  for (std::uint32_t a = 0; a < lastAddress_; a += 32) {
    ShowProgress(static_cast<int>(a));
    for (std::uint8_t b :
         {std::uint8_t{0x08}, static_cast<std::uint8_t>(a & 0xFF), std::uint8_t{0x0A},
          static_cast<std::uint8_t>(a >> 8), std::uint8_t{0x0E}, kBlankCheck})
      SendByte(b);
    for (int i = 0; i < 32; ++i) {
      SendByte(0x0F);
      PutCmd1(kCmdShiftIn);
      PutCmd1(kCmdShortWait);
    }
    for (int i = 0; i < 2; ++i) {
      SendByte(0x05);
      PutCmd1(kCmdShiftIn);
      PutCmd1(kCmdShortWait);
    }
    ReadReply64(reply);
    if (reply[32] != 0 || reply[33] != 0) {
      gLink.StatusWord = 1;
      gLink.FailAddress = a;
      gLink.FailByte = 0;
      ShowProgress(static_cast<int>(a));
      return;
    }
  }
  ShowProgress(-1);
}

void ShifterEngine::Write() {
  if (!CheckType()) return;
  EnterIcp();
  for (std::uint32_t page = 0; page < lastAddress_; page += 16) {
    ShowProgress(static_cast<int>(page));
    for (std::uint8_t b : {0x0E, 0x00, 0x08, 0x00}) SendByte(b);
    for (std::uint32_t i = 0; i < 16; ++i) {
      SendByte(0x04);
      SendByte(buffer_[page + i]);
    }
    SendByte(0x08);
    SendByte(static_cast<std::uint8_t>((page + 15) & 0xFF));
    SendByte(0x0A);
    SendByte(static_cast<std::uint8_t>(page >> 8));
    SendByte(0x0E);
    SendByte(kProgram);
    if (!Polls(4, kCmdWait)) {
      gLink.StatusWord = 1;
      return;
    }
    FlushCommands();
  }
  ShowProgress(-1);
}

// The designs offer no code read on these chips, so nothing can be compared: refused rather
// than reported as passed.
void ShifterEngine::Verify() {
  AddMessageLine(kNoVerify);
  gLink.StatusWord = 1;
}

}  // namespace zelvar::mcs51
