#include "algorithms/mcs51/SerialEngine.h"

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
// The design's command bytes: a bus sample into the reply, the program and erase waits.
constexpr std::uint8_t kCmdSample = 2, kCmdEraseWait = 28, kCmdProgramWait = 29;
constexpr int kVppMillivolts = 10500;
using frame::kNoLength;
}  // namespace

void CheckIcpRow(const IcpType& t, TypeTableReport& r) {
  if (t.bitstream == nullptr) {
    if (t.vccPin != 0 || t.contactMask != 0) r.Fault("pins without a design");
    return;
  }
  r.bitstreams.emplace_back(t.bitstream);
  if (t.vccPin == 0 && t.contactMask == 0) return;  // a row without pins: refused at set-up
  r.DistinctSupplyPins({{"VCC", t.vccPin}, {"VPP", t.vppPin}, {"ground", t.groundPin}}, {}, 40);
  r.MaskInSocket(t.contactMask, 40);
  for (int pin : {t.vccPin, t.vppPin, t.groundPin}) {
    if (pin >= 1 && (t.contactMask >> (pin - 1) & 1) == 0)
      r.Fault("a supply pin outside the contact pins");
  }
  if (t.placePins != 0 && t.placeRow + t.placePins / 2 - 1 > 20)
    r.Fault("placement off the socket");
}

void IcpSet::Init() {
  BeginSetup();
  const IcpPolicy& pol = Policy();
  if (pol.shiftRowsAt6300 && gLink.ModelNumber >= 6300 && gApp.TypeIndex < 10) gApp.TypeIndex += 10;
  const auto types = Types();
  if (!AcceptRow(static_cast<int>(types.size()))) return;
  const IcpType& row = Row();
  if (row.bitstream == nullptr || row.vccPin == 0) {
    Refuse(frame::kNoSuchType);
    return;
  }
  Services& s = services();
  const int length = s.ChipParam("len=");
  if (length <= 0) {
    Refuse(kNoLength);
    return;
  }
  LoadBitstream(row.bitstream);
  if (row.placePins != 0) {
    PlacementRequest place;
    place.pins = row.placePins;
    place.firstRow = row.placeRow;
    s.ShowPlacement(place);
  }
  lastAddress_ = static_cast<std::uint32_t>(length - 1);
  const int ee = s.ChipParam("ee=");
  dataLength_ = ee > 0 ? static_cast<std::uint32_t>(ee) : 0;
  configAddress_ = pol.configAddress;
  if (pol.configFromParam) {
    const int cfa = s.ChipParam("cfa=");
    if (cfa > 0) configAddress_ = static_cast<std::uint16_t>(cfa);
  }
  gApp.GroundPin = row.groundPin;
  gApp.PinMask = row.contactMask;
  gMcs51.ChipVccPin = row.vccPin;
  gMcs51.ChipVppPin = row.vppPin;
  vppMillivolts_ = kVppMillivolts;
  SetVppVoltage(vppMillivolts_);
  SelectVppPin(0);
  SelectGndPin(row.groundPin);
  vccMillivolts_ = ChipVccMillivolts();
  if (pol.vcc5000As4400 && vccMillivolts_ == 5000) vccMillivolts_ = 4400;
  SetVccVoltage(vccMillivolts_);
}

void IcpSet::Line(int n, bool level) {
  if (level) {
    WriteFpgaReg18Bit7(static_cast<std::uint8_t>(n));
  } else {
    WriteFpgaReg18(static_cast<std::uint8_t>(n));
  }
}

void IcpSet::Pulse(int n) {
  Line(n, true);
  Line(n, false);
}

void IcpSet::ShiftByte(std::uint8_t b) {
  for (int i = 7; i >= 0; --i) {
    Line(1, (b >> i) & 1);
    Pulse(2);
  }
}

void IcpSet::BusWrite(std::uint8_t v) {
  WritePort(1, v);
  Pulse(3);
}

void IcpSet::SetCommand(std::uint8_t c) {
  Line(1, false);
  Line(2, true);
  BusWrite(c);
  Line(1, true);
}

void IcpSet::Enter() {
  const IcpType& row = Row();
  SelectVccPin(0);
  for (int n : {7, 6, 1, 2}) Line(n, false);
  const bool nibble = Policy().nibbleBus;
  Line(3, nibble);
  Line(4, !nibble);
  Line(5, !nibble);
  SelectVccPin(row.vccPin);
  SelectVppPin(row.vppPin);
  for (int shift = 16; shift >= 0; shift -= 8)
    ShiftByte(static_cast<std::uint8_t>(kIcpEntryCode >> shift));
  if (nibble) {
    Line(3, false);
    Line(4, true);
    Line(5, true);
  }
  FlushCommands();
}

void IcpSet::SetAddress(std::uint16_t a) {
  if (!Policy().nibbleBus) {
    Line(1, false);
    Line(2, false);
    BusWrite(static_cast<std::uint8_t>(a & 0xFF));
    Line(1, true);
    BusWrite(static_cast<std::uint8_t>(a >> 8));
    return;
  }
  for (int n : {1, 2, 8}) Line(n, false);
  BusWrite(static_cast<std::uint8_t>(a));
  Line(8, true);
  BusWrite(static_cast<std::uint8_t>(a >> 4));
  Line(1, true);
  Line(8, false);
  BusWrite(static_cast<std::uint8_t>(a >> 8));
  Line(8, true);
  BusWrite(static_cast<std::uint8_t>(a >> 12));
  FlushCommands();
}

void IcpSet::ReadStep() {
  Line(7, true);
  if (Policy().nibbleBus) {
    for (int n : {4, 5, 8}) Line(n, false);
    PutCmd1(kCmdSample);
    Line(8, true);
    PutCmd1(kCmdSample);
    Line(5, true);
    Line(4, true);
    Line(5, false);
    Pulse(3);
    Line(5, true);
  } else {
    Line(4, false);
    Line(5, false);
    PutCmd1(kCmdSample);
    Line(5, true);
    Line(4, true);
    Pulse(3);
  }
  Line(7, false);
}

void IcpSet::WriteStep(std::uint8_t b) {
  if (Policy().nibbleBus) {
    Line(8, false);
    WritePort(1, b);
    Pulse(3);
    Line(8, true);
    WritePort(1, static_cast<std::uint8_t>(b >> 4));
    Line(4, false);
    PutCmd1(kCmdProgramWait);
    Line(4, true);
    Line(5, false);
    Pulse(3);
    Line(5, true);
  } else {
    WritePort(1, b);
    Line(3, false);
    Line(4, false);
    PutCmd1(kCmdProgramWait);
    Line(4, true);
    Pulse(3);
  }
}

void IcpSet::Collect(std::uint8_t* dest, std::uint32_t bytes) {
  FlushCommands();
  std::uint8_t reply[64];
  ReadReply64(reply);
  for (std::uint32_t i = 0; i < bytes; ++i) {
    dest[i] =
        Policy().nibbleBus
            ? static_cast<std::uint8_t>((reply[2 * i + 1] << 4 & 0xF0) | (reply[2 * i] & 0x0F))
            : reply[i];
  }
}

void IcpSet::ReadBlock(std::uint16_t, std::uint8_t* dest) {
  const std::uint32_t block = Policy().block;
  for (std::uint32_t i = 0; i < block; ++i) ReadStep();
  Collect(dest, block);
}

// The chip steps its address by itself: one address and command, then a block per reply. The
// data flash follows the code when the chip has one (Blank checks the code only).
bool IcpSet::Scan(Mcs51Set::Scan kind) {
  if (!CheckPower()) return false;
  const Fetch fetch = [this](std::uint32_t a, std::uint8_t* dest) {
    ReadBlock(static_cast<std::uint16_t>(a), dest);
  };
  SetAddress(0);
  SetCommand(0);
  if (!ScanBlocks(kind, 0, lastAddress_, Policy().block, fetch)) return false;
  if (kind != Mcs51Set::Scan::Blank && dataLength_ > 0) {
    SetAddress(kIcpDataStart);
    SetCommand(0);
    const std::uint32_t last = kIcpDataStart + dataLength_ - 1;
    if (!ScanBlocks(kind, kIcpDataStart, last, Policy().block, fetch, false)) return false;
  }
  FinishScan();
  return true;
}

void IcpSet::Read() {
  Enter();
  Scan(Mcs51Set::Scan::Read);
}

void IcpSet::Blank() {
  Enter();
  Scan(Mcs51Set::Scan::Blank);
}

void IcpSet::Verify() {
  Enter();
  Scan(Mcs51Set::Scan::Verify);
}

void IcpSet::WriteRange(std::uint16_t first, std::uint32_t from, std::uint32_t count,
                        std::uint8_t command, int progressBase) {
  SetAddress(first);
  SetCommand(command);
  for (std::uint32_t i = 0; i < count && from + i < kCodeBufferSize; ++i) {
    if (i % 16 == 0) {
      if (progressBase >= 0) ShowProgress(progressBase + static_cast<int>(i));
      FlushCommands();
    }
    WriteStep(buffer_[from + i]);
  }
  FlushCommands();
}

void IcpSet::Write() {
  Enter();
  if (!CheckPower()) return;
  WriteRange(0, 0, lastAddress_ + 1, 1, 0);
  if (dataLength_ > 0) WriteRange(kIcpDataStart, kIcpDataStart, dataLength_, 1, -1);
  // What was written is read back: a byte that did not take, or a chip that never answered,
  // fails Write at its address.
  Scan(Mcs51Set::Scan::Verify);
}

void IcpSet::Erase() {
  Enter();
  SetAddress(0);
  SetCommand(6);
  WritePort(1, 0xFF);
  Line(3, false);
  Line(4, false);
  PutCmd1(kCmdEraseWait);
  Line(4, true);
  FlushCommands();
}

void IcpSet::ReadId() {
  Enter();
  SetAddress(configAddress_);
  SetCommand(11);
  ReadStep();
  SetAddress(configAddress_);
  SetCommand(12);
  ReadStep();
  ReadStep();
  std::uint8_t* id = gLink.ScratchBuffer.data();
  Collect(id, 3);
  char line[48];
  std::snprintf(line, sizeof line, "Mfg=%02x,%02x,%02x", id[0], id[1], id[2]);
  AddMessageLine(line);
}

void IcpSet::ReadConfig() {
  Enter();
  SetAddress(configAddress_);
  SetCommand(Policy().configRead);
  ReadStep();
  ReadStep();
  std::uint8_t* cfg = gLink.ScratchBuffer.data();
  Collect(cfg, 2);
  SetWord(0, cfg[0]);
  SetWord(1, cfg[1]);
  char line[48];
  std::snprintf(line, sizeof line, Policy().configFormat, cfg[0], cfg[1]);
  AddMessageLine(line);
}

void IcpSet::Config() {
  const std::uint8_t c0 = static_cast<std::uint8_t>(Word(0)),
                     c1 = static_cast<std::uint8_t>(Word(1));
  Enter();
  SetAddress(configAddress_);
  SetCommand(Policy().configWrite);
  WriteStep(c0);
  WriteStep(c1);
  FlushCommands();
}

}  // namespace zelvar::mcs51
