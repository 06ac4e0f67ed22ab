#include "algorithms/pic/MdtParallel.h"

#include <cstdio>

#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/Primitives.h"
#include "link/commands/Mdt2000.h"
#include "services/AppState.h"
#include "services/Messages.h"
#include "services/Services.h"

namespace zelvar::pic {

namespace {
using namespace mdt2000;
constexpr int kOps[] = {kOpBlank, kOpWrite, kOpVerify, kOpConfig, kOpRead, kOpReadConfig};
constexpr std::uint32_t kBlock = 64;  // bytes of one reply: 32 words of two halves
constexpr std::uint16_t kBlankWord = 0x3FFF;
// Radio1's oscillator choices LP, XT, HS, RC as the configuration word's low nibble.
constexpr std::uint16_t kOscillator[] = {9, 6, 5, 10};

std::uint16_t WordOf(const std::uint8_t* reply, std::uint32_t i) {
  return static_cast<std::uint16_t>(reply[2 * i + 1] << 7 | (reply[2 * i] & 0x7F));
}
}  // namespace

void MdtParallelSet::CheckRow(const MdtParallelType& t, TypeTableReport& r) {
  if (t.vccPin == 0) {
    if (t.contactMask != 0 || t.lastAddress != 0) r.Fault("sizes or pins on a row without VCC");
    return;
  }
  r.DistinctSupplyPins({{"VCC", t.vccPin}, {"VPP", t.vppPin}, {"ground", t.groundPin}}, {}, 40);
  r.SizeIsPowerOfTwo(static_cast<std::uint32_t>(t.lastAddress));
  r.MaskInSocket(t.contactMask, 40);
  if (t.vccPin != 25 && t.vccPin != 8) r.Fault("a VCC pin with no data port");
  // MCLR is driven low and high before the programming voltage goes onto the same pin.
  if (t.mclrLine != t.vppPin) r.Fault("the MCLR line is not the VPP pin");
  const int lines[] = {t.programLine, t.halfLine, t.readLine, t.clockLine};
  for (std::size_t i = 0; i < 4; ++i) {
    if (lines[i] < 1 || lines[i] > 40) r.Fault("a line off the socket");
    if (lines[i] == t.vccPin || lines[i] == t.vppPin || lines[i] == t.groundPin)
      r.Fault("a line on a supply pin");
    for (std::size_t j = i + 1; j < 4; ++j) {
      if (lines[i] == lines[j]) r.Fault("two lines on one pin");
    }
  }
  if (t.contactMask != 0) {
    for (int pin :
         {int{t.vccPin}, int{t.vppPin}, int{t.groundPin}, lines[0], lines[1], lines[2], lines[3]}) {
      if ((t.contactMask >> (pin - 1) & 1) == 0) r.Fault("a driven pin outside the contact pins");
    }
  }
}

std::span<const int> MdtParallelSet::Operations() const {
  return kOps;
}

void MdtParallelSet::AfterSetup() {
  lines_ = Lines()[static_cast<std::size_t>(gApp.TypeIndex)];
  const int model = gLink.ModelNumber;
  if (lines_.maskByModel && (model == 5104 || model == 5105 || model == 5148)) gApp.PinMask = 0;
}

void MdtParallelSet::Line(std::uint8_t line, bool high) const {
  if (high) {
    WriteFpgaReg18Bit7(line);
  } else {
    WriteFpgaReg18(line);
  }
}

void MdtParallelSet::Clocks() const {
  for (int i = 0; i < 4; ++i) {
    Line(lines_.clockLine, true);
    Line(lines_.clockLine, false);
  }
}

void MdtParallelSet::Reset() const {
  Line(kBusDirectionLine, false);
  Line(lines_.programLine, true);
  Line(lines_.readLine, true);
  Line(lines_.halfLine, false);
  SelectVccPin(row_.vccPin);
  Line(lines_.mclrLine, false);
  Line(lines_.mclrLine, true);
}

void MdtParallelSet::Enter() const {
  SelectVppPin(row_.vppPin);
  if (policy().entryClocks) Clocks();
}

void MdtParallelSet::Begin(int space, bool reading) const {
  Reset();
  Line(kBusDirectionLine, false);
  WritePort(Port(), static_cast<std::uint8_t>(space));
  Enter();
  Line(kBusDirectionLine, reading);
}

void MdtParallelSet::ReadWord() const {
  const std::uint8_t sample = Port() == 0 ? kCmdSamplePort0 : kCmdSamplePort1;
  Line(lines_.halfLine, false);
  Clocks();
  Line(lines_.readLine, false);
  PutCmd1(sample);
  Line(lines_.readLine, true);
  Line(lines_.halfLine, true);
  Line(lines_.readLine, false);
  PutCmd1(sample);
  Line(lines_.readLine, true);
}

void MdtParallelSet::ProgramWord(std::uint16_t w) const {
  const auto pulse = [&] {
    Line(lines_.programLine, false);
    for (int i = 0; i < PulseTicks(); ++i) PutCmd1(kCmdTick);
    Line(lines_.programLine, true);
  };
  Line(kBusDirectionLine, false);
  Line(lines_.halfLine, false);
  WritePort(Port(), static_cast<std::uint8_t>(w & 0x7F));
  Clocks();
  pulse();
  Line(lines_.halfLine, true);
  WritePort(Port(), static_cast<std::uint8_t>(w >> 7 & 0x7F));
  pulse();
}

void MdtParallelSet::PowerDown() {
  SelectVppPin(0);
  SelectVccPin(0);
}

bool MdtParallelSet::Scan(bool verify) {
  Begin(0, true);
  gLink.StatusWord = 0;
  std::uint8_t reply[64];
  for (std::uint32_t a = 0; a < LastAddress(); a += kBlock) {
    ShowProgress(static_cast<int>(a));
    for (std::uint32_t i = 0; i < kBlock / 2; ++i) ReadWord();
    ReadReply64(reply);
    for (std::uint32_t i = 0; i < kBlock / 2; ++i) {
      const std::uint32_t at = a + 2 * i;
      const std::uint16_t want =
          verify ? static_cast<std::uint16_t>((buffer_[at] | buffer_[at + 1] << 8) & 0x3FFF)
                 : kBlankWord;
      if (WordOf(reply, i) == want) continue;
      gLink.StatusWord = 1;
      gLink.FailAddress = at;
      gLink.FailByte = reply[2 * i];
      PowerDown();
      return false;
    }
  }
  ShowProgress(-1);
  PowerDown();
  return true;
}

void MdtParallelSet::Blank() {
  // The configuration word first: a programmed one makes the chip used whatever its code holds.
  Begin(1, true);
  ReadWord();
  std::uint8_t reply[64];
  ReadReply64(reply);
  PowerDown();
  if ((reply[0] & 0x7F) != 0x7F || (reply[1] & 0x7F) != 0x7F) {
    gLink.StatusWord = 1;
    return;
  }
  Scan(false);
}

void MdtParallelSet::Verify() {
  Scan(true);
}

void MdtParallelSet::Write() {
  // Before any supply: a one-time part burned from an unconverted object file is lost.
  if (services().ConvertMiconFile() != 1) {
    gLink.StatusWord = 1;
    return;
  }
  Begin(0, false);
  for (std::uint32_t a = 0; a <= LastAddress(); a += 2) {
    if (a % kBlock == 0) {
      FlushCommands();
      ShowProgress(static_cast<int>(a));
    }
    ProgramWord(static_cast<std::uint16_t>(buffer_[a] | buffer_[a + 1] << 8));
  }
  gLink.StatusWord = 0;
  ShowProgress(-1);
  PowerDown();
}

void MdtParallelSet::Read() {
  Begin(0, true);
  for (std::uint32_t a = 0; a < LastAddress(); a += kBlock) {
    ShowProgress(static_cast<int>(a));
    for (std::uint32_t i = 0; i < kBlock / 2; ++i) ReadWord();
    ReadReply64(buffer_ + a);
  }
  // Two 7-bit halves into the buffer's little-endian 14-bit word.
  for (std::uint32_t a = 0; a < LastAddress(); a += 2) {
    const std::uint16_t w = WordOf(buffer_ + a, 0);
    buffer_[a] = static_cast<std::uint8_t>(w & 0xFF);
    buffer_[a + 1] = static_cast<std::uint8_t>(w >> 8);
  }
  ShowProgress(-1);
  PowerDown();
}

std::uint16_t MdtParallelSet::OscillatorNibble(std::uint32_t radio) {
  return radio < 4 ? kOscillator[radio] : 15;
}

std::uint32_t MdtParallelSet::OscillatorChoice(std::uint16_t nibble) {
  for (std::uint32_t i = 0; i < 4; ++i) {
    if (kOscillator[i] == nibble) return i;
  }
  return nibble == 15 ? 4 : 5;
}

void MdtParallelSet::Config() {
  const std::uint16_t c = ConfigWord();
  char line[32];
  std::snprintf(line, sizeof line, policy().configLine, c);
  AddMessageLine(line);
  ShowProgress(0);
  Begin(1, false);
  ProgramWord(c);
  PowerDown();
}

void MdtParallelSet::ReadConfig() {
  Begin(1, true);
  ReadWord();
  std::uint8_t reply[64];
  ReadReply64(reply);
  const std::uint16_t c = WordOf(reply, 0);
  PowerDown();
  char line[32];
  std::snprintf(line, sizeof line, "Config = %04x", c);
  AddMessageLine(line);
  SetWord(128, OscillatorChoice(c & 0xF));
  if (policy().secondRadio) {
    const std::uint16_t delay = c >> 4 & 0xF;
    std::uint32_t choice = delay == 15 ? 4 : 5;
    for (std::uint32_t i = 0; i < 4; ++i) {
      if (kMdtStartDelay[i] == delay) choice = i;
    }
    SetWord(129, choice);
  }
  SetWord(0, GridBits(c));
}

}  // namespace zelvar::pic
