#include "algorithms/mcs51/PHI87LP.h"

#include <cstdio>

#include "link/Bitstream.h"
#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "services/Messages.h"
#include "services/Services.h"

namespace zelvar::mcs51 {

namespace {
// The design's commands: a byte out, a byte into the reply, a program-pulse wait.
constexpr std::uint8_t kCmdSend = 47, kCmdRead = 48, kCmdPulseWait = 25;
constexpr std::uint16_t kIdAddress = 0xFC30, kConfigAddress = 0xFD00;
constexpr std::uint8_t kMakerCode = 0x15;
constexpr int kVppMillivolts = 10800, kVccMillivolts = 5000;
constexpr std::uint32_t kOscillatorBits = 0x7;
constexpr int kHeaderRow = 10;
constexpr const char* kNoChipFound = "No chip find!*没有连接器件！";

void Send(std::uint8_t b) {
  PutCmd2(kCmdSend, b);
}
void SetAddress(std::uint16_t a) {
  Send(0x08);
  Send(static_cast<std::uint8_t>(a & 0xFF));
  Send(0x0A);
  Send(static_cast<std::uint8_t>(a >> 8));
}
void ReadByte() {
  Send(0x04);
  PutCmd1(kCmdRead);
}
void NextAddress() {
  Send(0x06);
}
void ProgramByte(std::uint8_t b) {
  Send(0x02);
  Send(b);
  Send(0x0C);
  for (int i = 0; i < 3; ++i) PutCmd1(kCmdPulseWait);
  Send(0x0E);
}
}  // namespace

void CheckLp76xRow(const Lp76xType& t, TypeTableReport& r) {
  if (t.bitstream == nullptr) {
    if (t.vccPin != 0 || t.contactMask != 0) r.Fault("pins without a design");
    return;
  }
  r.bitstreams.emplace_back(t.bitstream);
  r.MaskInSocket(t.contactMask, 48);
  if (t.groundPin == 0) {  // the ISP header
    if (t.contactMask != 0) r.Fault("contact pins on the header row");
    r.DistinctSupplyPins({{"VCC", t.vccPin}, {"VPP", t.vppPin}}, {}, 48);
    return;
  }
  r.DistinctSupplyPins({{"VCC", t.vccPin}, {"VPP", t.vppPin}, {"ground", t.groundPin}}, {}, 48);
  r.SizeIsPowerOfTwo(t.lastAddress);
  for (int pin : {t.vccPin, t.vppPin, t.groundPin}) {
    if ((t.contactMask >> (pin - 1) & 1) == 0) r.Fault("a supply pin outside the contact pins");
  }
}

void PHI87LP::Init() {
  BeginSetup();
  if (gLink.ModelNumber >= 6300 && gApp.TypeIndex < kHeaderRow) gApp.TypeIndex += 10;
  if (!AcceptRow(static_cast<int>(kTypes.size()))) return;
  const Lp76xType& row = Row();
  if (row.bitstream == nullptr) {
    Refuse(frame::kNoSuchType);
    return;
  }
  Services& s = services();
  const int length = s.ChipParam("len=");
  if (length <= 0 && row.lastAddress == 0) {
    Refuse(frame::kNoLength);
    return;
  }
  lastAddress_ = length > 0 ? static_cast<std::uint32_t>(length - 1) : row.lastAddress;
  LoadBitstream(row.bitstream);
  const int pkg = s.ChipParam("pkg=");
  if (gApp.TypeIndex >= kHeaderRow) {
    if (pkg == 20)
      s.ShowIspWiring(
          "1----Clock to pin16(P0.5)\n9----Data  to pin17(P0.4)\n7----VDD   to pin15(VDD)\n"
          "8----VPP   to pin4(RST) \n2----GND   to pin5(VSS)\nend");
    if (pkg == 16)
      s.ShowIspWiring(
          "1----Clock to pin13(P0.5)\n9----Data  to pin14(P0.4)\n7----VDD   to pin12(VDD)\n"
          "8----VPP   to pin3(RST) \n2----GND   to pin4(VSS)\nend");
    if (pkg == 14)
      s.ShowIspWiring(
          "1----Clock to (P0.5)\n9----Data  to (P0.4)\n7----VDD   to (VDD)\n"
          "8----VPP   to (RST) \n2----GND   to (VSS)\nend");
  } else if (pkg == 14 || pkg == 16 || pkg == 20) {
    PlacementRequest place;
    place.pins = pkg;
    place.firstRow = pkg == 14 ? 8 : pkg == 16 ? 7 : 6;
    s.ShowPlacement(place);
  }
  gApp.GroundPin = row.groundPin;
  gApp.PinMask = row.contactMask;
  gMcs51.ChipVccPin = row.vccPin;
  gMcs51.ChipVppPin = row.vppPin;
  vppMillivolts_ = kVppMillivolts;
  vccMillivolts_ = kVccMillivolts;
  SetVppVoltage(vppMillivolts_);
  SetVccVoltage(vccMillivolts_);
}

void PHI87LP::PowerUp() const {
  const Lp76xType& row = Row();
  SelectGndPin(row.groundPin);
  SelectVccPin(row.vccPin);
  SetPinLow(row.vppPin);
  SelectVppPin(row.vppPin);
  SetPinHigh(row.vppPin);
  FlushCommands();
}

bool PHI87LP::ChipCheck() {
  PowerUp();
  SetAddress(kIdAddress);
  ReadByte();
  NextAddress();
  ReadByte();
  std::uint8_t reply[64];
  ReadReply64(reply);
  SuppliesOff();
  if (reply[0] == kMakerCode) return true;
  AddMessageLine(gApp.TypeIndex == kHeaderRow ? kNoChipFound : "Type error!*错误的型号");
  gLink.StatusWord = 1;
  return false;
}

bool PHI87LP::Start(std::uint16_t first) {
  if (!ChipCheck()) return false;
  PowerUp();
  SetAddress(first);
  FlushCommands();
  return CheckPower();
}

bool PHI87LP::Scan(Mcs51Set::Scan kind) {
  if (!Start(0)) return false;
  const Fetch fetch = [](std::uint32_t, std::uint8_t* dest) {
    for (int i = 0; i < 64; ++i) {
      ReadByte();
      NextAddress();
    }
    FlushCommands();
    ReadReply64(dest);
  };
  if (!ScanBlocks(kind, 0, lastAddress_, 64, fetch)) return false;
  FinishScan();
  return true;
}

void PHI87LP::Read() {
  Scan(Mcs51Set::Scan::Read);
}

void PHI87LP::Blank() {
  Scan(Mcs51Set::Scan::Blank);
}

void PHI87LP::Verify() {
  Scan(Mcs51Set::Scan::Verify);
}

void PHI87LP::Write() {
  if (!Start(0)) return;
  for (std::uint32_t a = 0; a <= lastAddress_ && a < kCodeBufferSize; ++a) {
    ProgramByte(buffer_[a]);
    NextAddress();
    if (a % 16 == 0) {
      FlushCommands();
      ShowProgress(static_cast<int>(a));
    }
  }
  FlushCommands();
  ShowProgress(-1);
}

void PHI87LP::ReadConfig() {
  if (!Start(kConfigAddress)) return;
  ReadByte();
  NextAddress();
  ReadByte();
  std::uint8_t reply[64];
  ReadReply64(reply);
  configWord_ = static_cast<std::uint16_t>(reply[1] << 8 | reply[0]);
  SuppliesOff();
  char line[32];
  std::snprintf(line, sizeof line, "Config =%04x", configWord_);
  AddMessageLine(line);
  SetWord(0, configWord_);
  SetWord(128, configWord_ & kOscillatorBits);
}

// The radio owns the oscillator bits: an OR with word 0 would set bits it does not name and
// could never clear bits Read config brought in.
void PHI87LP::Config() {
  ShowProgress(0);
  configWord_ =
      static_cast<std::uint16_t>((Word(0) & ~kOscillatorBits) | (Word(128) & kOscillatorBits));
  PowerUp();
  if (!CheckPower()) return;
  SetAddress(kConfigAddress);
  ProgramByte(static_cast<std::uint8_t>(configWord_ & 0xFF));
  SetAddress(kConfigAddress + 1);
  ProgramByte(static_cast<std::uint8_t>(configWord_ >> 8));
  FlushCommands();
  ShowProgress(-1);
}

void PHI87LP::ReadId() {
  PowerUp();
  SetAddress(kIdAddress);
  ReadByte();
  NextAddress();
  ReadByte();
  std::uint8_t reply[64];
  ReadReply64(reply);
  gApp.ReadId = {reply[0], reply[1], 0, 0};
  char line[32];
  std::snprintf(line, sizeof line, "%02x,%02x", reply[0], reply[1]);
  AddMessageLine(line);
  // No contact test finds an empty in-system header: without the maker code no chip answered.
  if (gApp.TypeIndex == kHeaderRow && reply[0] != kMakerCode) {
    AddMessageLine(kNoChipFound);
    gLink.StatusWord = 1;
  }
}

}  // namespace zelvar::mcs51
