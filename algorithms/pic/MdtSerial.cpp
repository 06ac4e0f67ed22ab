#include "algorithms/pic/MdtSerial.h"

#include <algorithm>
#include <cstdio>

#include "algorithms/frame/Waits.h"
#include "link/Bitstream.h"
#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "link/commands/MdtSerial.h"
#include "services/AppState.h"
#include "services/Messages.h"
#include "services/Services.h"

namespace zelvar::pic {

namespace {
using namespace mdt_serial;
constexpr int kOps[] = {kOpBlank, kOpWrite, kOpVerify, kOpConfig, kOpRead, kOpReadConfig};
constexpr std::uint32_t kBlock = 64;  // bytes of one reply: 32 words of two bytes
// Radio1's oscillator choices LP, XT, HS, RC as the configuration word's low nibble.
constexpr std::uint16_t kOscillator[] = {9, 6, 5, 10};
constexpr const char* kTooLarge =
    "Program size (len=) too large for the buffer! *程序容量(len=)超出缓冲区!";
}  // namespace

void MdtSerialSet::CheckRow(const MdtSerialType& t, TypeTableReport& r) {
  if (t.vccPin == 0) {
    if (t.vppPin != 0 || t.groundPin != 0 || t.contactMask != 0 || t.lastAddress != 0)
      r.Fault("sizes or pins on a row without a VCC pin");
    return;
  }
  r.DistinctSupplyPins({{"VCC", t.vccPin}, {"VPP", t.vppPin}, {"ground", t.groundPin}}, {}, 40);
  r.MaskInSocket(t.contactMask, 40);
  for (int pin : {t.vccPin, t.groundPin}) {
    if ((t.contactMask >> (pin - 1) & 1) == 0) r.Fault("a supply pin outside the contact pins");
  }
  r.SizeIsPowerOfTwo(static_cast<std::uint32_t>(t.lastAddress));
  if (static_cast<std::uint32_t>(t.lastAddress) >= kDataStart)
    r.Fault("program words reach the data area");
}

std::span<const int> MdtSerialSet::Operations() const {
  return kOps;
}

bool MdtSerialSet::HasOscillator() const {
  const int group = services().ChipParam("cfg=");
  const auto groups = policy().oscillatorGroups;
  return std::find(groups.begin(), groups.end(), group) != groups.end();
}

void MdtSerialSet::Init() {
  BeginSetup();
  const auto rows = Rows();
  // Rows() holds exactly the table's rows; an index beyond it names no chip.
  if (!AcceptRow(static_cast<int>(rows.size()))) return;
  type_ = rows[static_cast<std::size_t>(gApp.TypeIndex)];
  if (type_.vccPin == 0) return Refuse(frame::kNoSuchType);
  row_ = McuType{type_.name, type_.vppPin,     type_.vccPin, type_.groundPin, type_.lastAddress,
                 0,          type_.contactMask};
  LoadBitstream(type_.bitstream);
  const int len = services().ChipParam("len=");
  if (len > 0) {
    if (static_cast<std::uint32_t>(len) * 2 > kDataStart) return Refuse(kTooLarge);
    row_.lastAddress = len * 2 - 1;
  }
  gApp.GroundPin = row_.groundPin;
  gApp.PinMask = row_.contactMask;
  SelectVppPin(0);
  SelectGndPin(row_.groundPin);
  vccMillivolts_ = 5000;
  SetVccVoltage(vccMillivolts_);
  vppMillivolts_ = 12000;
  SetVppVoltage(vppMillivolts_);
  for (const MdtPlacement& p : policy().placements) {
    if (p.row != gApp.TypeIndex) continue;
    PlacementRequest place;
    place.pins = p.pins;
    place.firstRow = p.firstRow;
    place.pin1Side = p.pin1Side;
    services().ShowPlacement(place);
  }
}

void MdtSerialSet::Line(std::uint8_t line, bool high) {
  if (high) {
    WriteFpgaReg18Bit7(line);
  } else {
    WriteFpgaReg18(line);
  }
}

void MdtSerialSet::SendData(std::uint8_t c, std::uint8_t d) {
  const std::uint16_t v = DataFrame(c, d);
  Line(kFrameLine, false);
  Line(kLengthLine, true);
  WritePort(0, static_cast<std::uint8_t>(v & 0xFF));
  WritePort(1, static_cast<std::uint8_t>(v >> 8));
  Line(kFrameLine, true);
  PutCmd1(kCmdShift);
  PutCmd1(kCmdShift);
}

void MdtSerialSet::SendCmd(std::uint8_t c) {
  Line(kFrameLine, false);
  Line(kLengthLine, false);
  WritePort(0, ReverseCommand(c));
  Line(kFrameLine, true);
  PutCmd1(kCmdShift);
}

void MdtSerialSet::Begin(int space) {
  SendData(kChipSpace, static_cast<std::uint8_t>(space));
  SendCmd(kChipBegin);
}

void MdtSerialSet::ReadWord() {
  SendData(kChipReadLow, 0xFF);
  PutCmd1(kCmdSample);
  SendData(kChipReadHigh, 0xFF);
  PutCmd1(kCmdSample);
  SendCmd(kChipNext);
}

void MdtSerialSet::ProgramWord(std::uint16_t w) {
  SendData(kChipLoadHigh, static_cast<std::uint8_t>(w >> 7 & 0xFF));
  SendData(kChipLoadLow, static_cast<std::uint8_t>(w & 0xFF));
  for (int i = 0; i < 2; ++i) {
    SendCmd(kChipProgram);
    PutCmd1(kCmdTick);
    SendCmd(kChipProgramEnd);
  }
  SendCmd(kChipNext);
}

bool MdtSerialSet::PowerUp() const {
  if (policy().checkFirst && !CheckPower()) return false;
  SelectGndPin(row_.groundPin);
  SelectVccPin(0);
  if (policy().checkFirst) EnablePinDrivers(true);
  Line(kDriveLine, false);
  frame::QueueDelayTicks(5);
  SelectVccPin(row_.vccPin);
  Line(kDriveLine, true);
  if (!policy().checkFirst) frame::QueueDelayTicks(1);
  SelectVppPin(row_.vppPin);
  if (!policy().checkFirst && !CheckPower()) return false;
  frame::QueueDelayTicks(100);
  FlushCommands();
  return true;
}

void MdtSerialSet::PowerDown() {
  SelectVppPin(0);
  SelectVccPin(0);
}

void MdtSerialSet::Scan(bool verify) {
  if (!PowerUp()) return;
  Begin(0);
  std::uint8_t reply[64];
  for (std::uint32_t a = 0; a < LastAddress(); a += kBlock) {
    ShowProgress(static_cast<int>(a));
    for (std::uint32_t i = 0; i < kBlock / 2; ++i) ReadWord();
    ReadReply64(reply);
    for (std::uint32_t i = 0; i < kBlock / 2; ++i) {
      const std::uint32_t at = a + 2 * i;
      const std::uint16_t w = SerialWord(reply[2 * i], reply[2 * i + 1]);
      // The chip has 14 bits: the buffer's high byte is compared without bits 6 and 7.
      const bool bad = verify ? ((w & 0xFF) != buffer_[at] || (w >> 8) != (buffer_[at + 1] & 0x3F))
                              : (w & 0x3FFF) < 0x3FFF;
      if (!bad) continue;
      gLink.StatusWord = 1;
      gLink.FailAddress = at;
      gLink.FailByte = reply[2 * i];
      PowerDown();
      return;
    }
  }
  PowerDown();
  gLink.StatusWord = 0;
  ShowProgress(-1);
}

void MdtSerialSet::Blank() {
  Scan(false);
}

void MdtSerialSet::Verify() {
  Scan(true);
}

void MdtSerialSet::Read() {
  if (!PowerUp()) return;
  Begin(0);
  for (std::uint32_t a = 0; a < LastAddress(); a += kBlock) {
    ShowProgress(static_cast<int>(a));
    for (std::uint32_t i = 0; i < kBlock / 2; ++i) ReadWord();
    ReadReply64(buffer_ + a);
  }
  for (std::uint32_t a = 0; a < LastAddress(); a += 2) {
    const std::uint16_t w = SerialWord(buffer_[a], buffer_[a + 1]);
    buffer_[a] = static_cast<std::uint8_t>(w & 0xFF);
    buffer_[a + 1] = static_cast<std::uint8_t>(w >> 8);
  }
  ShowProgress(-1);
  PowerDown();
}

void MdtSerialSet::Write() {
  // Before any supply: a one-time part burned from an unconverted object file is lost.
  if (services().ConvertMiconFile() != 1) {
    gLink.StatusWord = 1;
    return;
  }
  if (!PowerUp()) return;
  Begin(0);
  for (std::uint32_t a = 0; a < LastAddress(); a += 2) {
    if (a % 32 == 0) {
      FlushCommands();
      ShowProgress(static_cast<int>(a));
    }
    ProgramWord(static_cast<std::uint16_t>(buffer_[a] | buffer_[a + 1] << 8));
  }
  FlushCommands();
  ShowProgress(-1);
  PowerDown();
}

std::uint16_t MdtSerialSet::Encode(std::uint32_t radio1, std::uint32_t grid, bool oscillator) {
  const auto bit = [&](int n) { return (grid >> n & 1) != 0; };
  const std::uint16_t osc = oscillator && radio1 < 4 ? kOscillator[radio1] : 15;
  const unsigned put = bit(2) ? 1 : 2;
  unsigned c = osc;
  c |= (bit(1) ? 1u : 2u) << 4;
  c |= put << 6;
  // The datasheet's PED field shares its bits with the start-up delay's value.
  c |= put << 10;
  c |= (bit(3) ? 2u : 1u) << 8;
  c |= (bit(4) ? 2u : 1u) << 10;
  c |= (bit(5) ? 0u : 3u) << 12;
  return static_cast<std::uint16_t>(c);
}

std::uint32_t MdtSerialSet::Grid(std::uint16_t config) {
  std::uint32_t grid = 0;
  if ((config >> 4 & 3) == 1) grid |= 1u << 1;
  if ((config >> 6 & 3) == 1) grid |= 1u << 2;
  if ((config >> 8 & 3) == 2) grid |= 1u << 3;
  if ((config >> 10 & 3) == 2) grid |= 1u << 4;
  if ((config >> 13 & 1) == 0) grid |= 1u << 5;
  return grid;
}

std::uint32_t MdtSerialSet::RadioChoice(std::uint16_t config) {
  for (std::uint32_t i = 0; i < 4; ++i) {
    if (kOscillator[i] == (config & 0xF)) return i;
  }
  return 4;
}

void MdtSerialSet::Config() {
  if (!PowerUp()) return;
  Begin(1);
  config_ = Encode(Word(128), Word(0), HasOscillator());
  char line[32];
  std::snprintf(line, sizeof line, "Config = %04x", config_);
  AddMessageLine(line);
  SendData(kChipLoadHigh, static_cast<std::uint8_t>(config_ >> 7));
  SendData(kChipLoadLow, static_cast<std::uint8_t>(config_ & 0xFF));
  SendCmd(kChipProgram);
  PutCmd1(kCmdWait);
  SendCmd(kChipProgramEnd);
  SendData(kChipReadLow, 0xFF);
  SendData(kChipReadHigh, 0xFF);
  SendCmd(kChipProgram);
  PutCmd1(kCmdTick);
  SendCmd(kChipProgramEnd);
  SendData(kChipReadLow, 0xFF);
  PutCmd1(kCmdSample);
  SendData(kChipReadHigh, 0xFF);
  PutCmd1(kCmdSample);
  SendCmd(kChipNext);
  PutCmd1(kCmdTick);
  PutCmd1(kCmdWait);
  PowerDown();
  std::uint8_t reply[64];
  ReadReply64(reply);
  // The grid keeps single option bits (1-5): the word read back goes in decoded, as Read config
  // puts it.
  SetWord(0, Grid(SerialWord(reply[0], reply[1])));
}

void MdtSerialSet::ReadConfig() {
  if (!PowerUp()) return;
  Begin(1);
  for (int i = 0; i < 3; ++i) ReadWord();
  std::uint8_t reply[64];
  ReadReply64(reply);
  PowerDown();
  const std::uint16_t option = SerialWord(reply[0], reply[1]);
  char line[32];
  std::snprintf(line, sizeof line, "Option = %04x", option);
  AddMessageLine(line);
  SetWord(128, RadioChoice(option));
  SetWord(0, Grid(option));
}

}  // namespace zelvar::pic
