// The tables of the EM78P sets (describe lists, config groups, option words) and the 451's line
// protocol.
#include <cstdio>

#include "algorithms/pic/EMC78P156E.h"
#include "algorithms/pic/EMC78P447.h"
#include "algorithms/pic/EMC78P451.h"
#include "algorithms/pic/EMC78P458.h"
#include "link/Bitstream.h"
#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "link/commands/Em78p.h"
#include "services/Messages.h"
#include "services/Services.h"

namespace zelvar::pic {

namespace {
using namespace em78p;

#define EM78_FUNCTIONS(config) \
  "$Fonc:", "22 Blank", "23 Write", "24 Verify", config, "$DisTool:", "21,26,28,30,31,"

constexpr const char* k156Describe[] = {EM78_FUNCTIONS("25 Config"),
                                        "$Radio1:02,Osc(震荡方式)",
                                        "In RC(内部RC振荡)",
                                        "Ext RC(外部RC振荡)",
                                        "XT(晶体震荡)",
                                        "$Radio2:01,CLKS(指令周期)",
                                        "2 Clocks",
                                        "4 Clocks",
                                        "$Radio3:01,HLF(震荡频率)",
                                        "Low(低频)",
                                        "High(高频)",
                                        "$end"};
constexpr const char* k156Config[] = {"0: (只有一种类型)", "n=HLP(低功耗),l=1,a=0,b=0",
                                      "n=PTB(加密),l=1,a=1,b=0", "n=WDT(看门狗),l=1,a=2,b=0",
                                      "$end"};
constexpr const char* k447Describe[] = {EM78_FUNCTIONS("25 Config"),
                                        "$Gridw:Option",
                                        "User.ID(用户信息)",
                                        "FFFF",
                                        "$Radio1:01,MS(震荡方式)",
                                        "RC",
                                        "XT",
                                        "$Radio2:01,CLKS(指令周期)",
                                        "2 Clocks",
                                        "4 Clocks",
                                        "$Radio3:01,HLF(震荡频率)",
                                        "Low(低频)",
                                        "High(高频)",
                                        "$end"};
constexpr const char* k447Config[] = {"0: (只有一种类型)",         "n=TYP(SA/SB),l=1,a=0,b=0",
                                      "n=HLP(低功耗),l=1,a=1,b=0", "n=PTB(加密),l=1,a=2,b=0",
                                      "n=WDT(看门狗),l=1,a=3,b=0", "$end"};
constexpr const char* k451Describe[] = {EM78_FUNCTIONS("25 Config"),
                                        "$Radio1:01,Osc(震荡方式)",
                                        "RC",
                                        "XT",
                                        "$Radio2:01,CLKS(指令周期)",
                                        "2 Clocks",
                                        "4 Clocks",
                                        "$Radio3:01,HLF(震荡频率)",
                                        "Low(低频)",
                                        "High(高频)",
                                        "$end"};
constexpr const char* k451Config[] = {"0: (只有一种类型)",
                                      "n=PTB(加密),l=1,a=0,b=0",
                                      "n=WDT(看门狗),l=1,a=1,b=0",
                                      "n=RCT(内部振荡),l=1,a=2,b=0",
                                      "n=HLP(低功耗),l=1,a=3,b=0",
                                      "n=DEL1(输入延迟1),l=1,a=4,b=0",
                                      "n=DEL0(输入延迟0),l=1,a=5,b=0",
                                      "$end"};
constexpr const char* k458Describe[] = {EM78_FUNCTIONS("25 WriteCfg"), "$Gridw:Option",
                                        "User.ID(用户信息)", "FFFF", "$end"};
constexpr const char* k458Config[] = {"0:  for 458,459",
                                      "n=ID0,v=1,a=0,b=0",
                                      "n=ID1,v=1,a=0,b=1",
                                      "n=ID2,v=1,a=0,b=2",
                                      "n=ID3,v=1,a=0,b=3",
                                      "n=ID4,v=1,a=0,b=4",
                                      "n=ID5,v=1,a=0,b=5",
                                      "n=HLP,v=1,a=0,b=6",
                                      "n=RCT,v=1,a=0,b=7",
                                      "n=HLF,v=1,a=0,b=8",
                                      "n=PTB(加密),v=1,a=0,b=9",
                                      "n=CLKS,v=1,a=0,b=10",
                                      "n=ENWDTB,v=1,a=0,b=11",
                                      "n=MS,v=1,a=0,b=12",
                                      "n=VOF10,v=1,a=1,b=5",
                                      "n=VOF11,v=1,a=1,b=6",
                                      "n=VOF12,v=1,a=1,b=7",
                                      "n=SIGN1,v=1,a=1,b=8",
                                      "n=VOF20,v=1,a=1,b=9",
                                      "n=VOF21,v=1,a=1,b=10",
                                      "n=VOF22,v=1,a=1,b=11",
                                      "n=SIGN2,v=1,a=1,b=12",
                                      "$end"};
#undef EM78_FUNCTIONS

constexpr Em78ShiftSet::Policy kShiftPolicy{};
constexpr Em78ShiftSet::Policy k458Policy{
    .ownEntry = true, .checksPower = false, .vccMillivolts = 4400};

// Clears `bit` of `c` when `on`.
constexpr std::uint16_t ClearIf(std::uint16_t c, bool on, int bit) {
  return on ? static_cast<std::uint16_t>(c & ~(1u << bit)) : c;
}
constexpr std::uint32_t kBlock = 64;
}  // namespace

// --- EMC78P156E
const Em78ShiftSet::Policy& EMC78P156E::policy() const {
  return kShiftPolicy;
}
std::span<const char* const> EMC78P156E::DescribeList() const {
  return k156Describe;
}
std::span<const char* const> EMC78P156E::ConfigTable() const {
  return k156Config;
}
std::uint16_t EMC78P156E::Encode(std::uint32_t osc, std::uint32_t clks, std::uint32_t hlf,
                                 std::uint32_t hlp, std::uint32_t ptb, std::uint32_t wdt) {
  std::uint16_t c = 0x1FFF;
  c = ClearIf(c, osc == 0 || osc == 1, 12);
  c = ClearIf(c, osc == 0, 7);
  c = ClearIf(c, clks == 0, 10);
  c = ClearIf(c, hlf == 0, 8);
  c = ClearIf(c, (hlp & 1) != 0, 6);
  c = ClearIf(c, (ptb & 1) != 0, 9);
  c = ClearIf(c, (wdt & 1) != 0, 11);
  return c;
}
std::uint16_t EMC78P156E::ConfigWord() const {
  return Encode(Word(128), Word(129), Word(130), Word(0), Word(1), Word(2));
}
void EMC78P156E::FromConfig(std::uint16_t c) {
  const bool b12 = (c >> 12 & 1) != 0, b7 = (c >> 7 & 1) != 0;
  SetWord(128, !b12 && !b7 ? 0 : (!b12 ? 1 : 2));
  SetWord(129, Clear(c, 10));
  SetWord(130, Clear(c, 8));
  SetWord(0, 1 - Clear(c, 6));
  SetWord(1, 1 - Clear(c, 9));
  SetWord(2, 1 - Clear(c, 11));
}

// --- EMC78P447
const Em78ShiftSet::Policy& EMC78P447::policy() const {
  return kShiftPolicy;
}
std::span<const char* const> EMC78P447::DescribeList() const {
  return k447Describe;
}
std::span<const char* const> EMC78P447::ConfigTable() const {
  return k447Config;
}
std::uint16_t EMC78P447::Encode(std::uint32_t ms, std::uint32_t clks, std::uint32_t hlf,
                                std::uint32_t typ, std::uint32_t hlp, std::uint32_t ptb,
                                std::uint32_t wdt) {
  std::uint16_t c = 0x1FFF;
  c = ClearIf(c, ms == 0, 12);
  c = ClearIf(c, clks == 0, 10);
  c = ClearIf(c, hlf == 0, 8);
  c = ClearIf(c, (typ & 1) != 0, 6);
  c = ClearIf(c, (hlp & 1) != 0, 7);
  c = ClearIf(c, (ptb & 1) != 0, 9);
  c = ClearIf(c, (wdt & 1) != 0, 11);
  return c;
}
std::uint16_t EMC78P447::ConfigWord() const {
  return Encode(Word(128), Word(129), Word(130), Word(0), Word(1), Word(2), Word(3));
}
void EMC78P447::FromConfig(std::uint16_t c) {
  SetWord(128, Clear(c, 12));
  SetWord(129, Clear(c, 10));
  SetWord(130, Clear(c, 8));
  SetWord(0, 1 - Clear(c, 6));
  SetWord(1, 1 - Clear(c, 7));
  SetWord(2, 1 - Clear(c, 9));
  SetWord(3, 1 - Clear(c, 11));
}

// --- EMC78P458
const Em78ShiftSet::Policy& EMC78P458::policy() const {
  return k458Policy;
}
std::span<const char* const> EMC78P458::DescribeList() const {
  return k458Describe;
}
std::span<const char* const> EMC78P458::ConfigTable() const {
  return k458Config;
}

// --- EMC78P451
namespace {
constexpr int k451GridBits[] = {9, 11, 7, 6, 5, 4};

void Line18(std::uint8_t line, bool high) {
  if (high) {
    WriteFpgaReg18Bit7(line);
  } else {
    WriteFpgaReg18(line);
  }
}
void BusClock() {
  for (int i = 0; i < 2; ++i) {
    Line18(kBusClockLine, true);
    Line18(kBusClockLine, false);
  }
}
void BusReadWord() {
  Line18(kBusHalfLine, false);
  PutCmd1(kCmdSample);
  Line18(kBusHalfLine, true);
  PutCmd1(kCmdSample);
  BusClock();
}
void BusProgramWord(std::uint16_t w) {
  WritePort(0, static_cast<std::uint8_t>(w >> 7));
  Line18(kBusHalfLine, false);
  WritePort(0, static_cast<std::uint8_t>(w & 0x7F));
  Line18(kBusProgramLine, false);
  PutCmd1(kCmdPulse);
  Line18(kBusProgramLine, true);
  Line18(kBusHalfLine, true);
  BusClock();
}
}  // namespace

std::span<const char* const> EMC78P451::DescribeList() const {
  return k451Describe;
}
std::span<const char* const> EMC78P451::ConfigTable() const {
  return k451Config;
}

std::uint16_t EMC78P451::Encode(std::uint32_t osc, std::uint32_t clks, std::uint32_t hlf,
                                const std::array<std::uint32_t, 6>& grid) {
  std::uint16_t c = 0x1FFF;
  c = ClearIf(c, osc == 0, 12);
  c = ClearIf(c, clks == 0, 10);
  c = ClearIf(c, hlf == 0, 8);
  for (std::size_t i = 0; i < grid.size(); ++i) c = ClearIf(c, (grid[i] & 1) != 0, k451GridBits[i]);
  return c;
}

std::uint16_t EMC78P451::ConfigWord() const {
  return Encode(Word(128), Word(129), Word(130),
                {Word(0), Word(1), Word(2), Word(3), Word(4), Word(5)});
}

void EMC78P451::SetupSteps() {
  char line[32];
  std::snprintf(line, sizeof line, "Config = %04x", ConfigWord());
  AddMessageLine(line);
  SelectGndPin(row_.groundPin);
  vccMillivolts_ = 5000;
  SetVccVoltage(vccMillivolts_);
  vppMillivolts_ = 12000;
  SetVppVoltage(vppMillivolts_);
}

void EMC78P451::PowerUp() const {
  SelectVccPin(row_.vccPin);
}

void EMC78P451::EnterSpace(int space) const {
  Line18(kBusReadLine, true);
  Line18(kBusHalfLine, true);
  Line18(kBusProgramLine, true);
  FlushCommands();
  Line18(kBusClockLine, false);
  WritePort(0, static_cast<std::uint8_t>(space));
  PutCmd1(kCmdWait);
  SelectVppPin(row_.vppPin);
  PutCmd1(kCmdWait);
  PutCmd1(kCmdWait);
  Line18(kBusReadLine, false);
  BusClock();
  FlushCommands();
}

void EMC78P451::ReadBlock(std::uint8_t* dest) const {
  for (std::uint32_t i = 0; i < kBlock / 2; ++i) BusReadWord();
  ReadReply64(dest);
  for (std::uint32_t i = 0; i < kBlock; i += 2) ToBuffer(dest[i], dest[i + 1]);
}

void EMC78P451::Blank() {
  // The option word first.
  PowerUp();
  EnterSpace(2);
  Line18(kBusReadLine, false);
  BusReadWord();
  std::uint8_t reply[64];
  ReadReply64(reply);
  ToBuffer(reply[0], reply[1]);
  if (reply[0] < 255 || reply[1] != 31) {
    gLink.StatusWord = 1;
    PowerDown();
    return;
  }
  PowerDown();
  PowerUp();
  EnterSpace(0);
  Line18(kBusReadLine, false);
  for (std::uint32_t a = 0; a < LastAddress(); a += kBlock) {
    ShowProgress(static_cast<int>(a));
    ReadBlock(reply);
    for (std::uint32_t i = 0; i < kBlock; i += 2) {
      if (reply[i] == 255 && reply[i + 1] == 31) continue;
      gLink.StatusWord = 1;
      gLink.FailAddress = a + i;
      gLink.FailByte = reply[i];
      PowerDown();
      return;
    }
  }
  gLink.StatusWord = 0;
  ShowProgress(-1);
  PowerDown();
}

void EMC78P451::Verify() {
  PowerUp();
  EnterSpace(0);
  Line18(kBusReadLine, false);
  std::uint8_t reply[64];
  for (std::uint32_t a = 0; a < LastAddress(); a += kBlock) {
    ShowProgress(static_cast<int>(a));
    ReadBlock(reply);
    for (std::uint32_t i = 0; i < kBlock; ++i) {
      // 13-bit words, as Write programs them: the high byte's top three bits are not compared.
      const std::uint8_t want = (i & 1) != 0 ? buffer_[a + i] & 31 : buffer_[a + i];
      if (reply[i] == want) continue;
      gLink.StatusWord = 1;
      gLink.FailAddress = a + i;
      gLink.FailByte = reply[i];
      PowerDown();
      SetVccVoltage(5000);
      return;
    }
  }
  gLink.StatusWord = 0;
  ShowProgress(-1);
  PowerDown();
  SetVccVoltage(5000);
}

void EMC78P451::Write() {
  services().CheckCdsExtension();
  PowerUp();
  if (!CheckPower()) return;
  EnterSpace(0);
  Line18(kBusReadLine, true);
  Line18(kBusHalfLine, true);
  for (std::uint32_t a = 0; a <= LastAddress(); a += 2) {
    BusProgramWord(static_cast<std::uint16_t>((buffer_[a] | buffer_[a + 1] << 8) & 0x1FFF));
    if (a % 256 == 0) {
      ShowProgress(static_cast<int>(a));
      FlushCommands();
    }
  }
  gLink.StatusWord = 0;
  ShowProgress(-1);
  PowerDown();
}

void EMC78P451::Read() {
  PowerUp();
  EnterSpace(0);
  Line18(kBusReadLine, false);
  for (std::uint32_t a = 0; a < LastAddress(); a += kBlock) {
    ShowProgress(static_cast<int>(a));
    ReadBlock(buffer_ + a);
  }
  ShowProgress(-1);
  PowerDown();
}

void EMC78P451::Config() {
  const std::uint16_t c = ConfigWord();
  char line[32];
  std::snprintf(line, sizeof line, "Config = %04x", c);
  AddMessageLine(line);
  ShowProgress(0);
  PowerUp();
  EnterSpace(2);
  Line18(kBusReadLine, true);
  BusProgramWord(c & 0x1FFF);
  PowerDown();
}

void EMC78P451::ReadConfig() {
  PowerUp();
  EnterSpace(2);
  Line18(kBusReadLine, false);
  BusReadWord();
  std::uint8_t reply[64];
  ReadReply64(reply);
  ToBuffer(reply[0], reply[1]);
  const auto c = static_cast<std::uint16_t>((reply[1] << 8 | reply[0]) & 0x1FFF);
  PowerDown();
  char line[32];
  std::snprintf(line, sizeof line, "Config =%04x", c);
  AddMessageLine(line);
  SetWord(128, Clear(c, 12));
  SetWord(129, Clear(c, 10));
  SetWord(130, Clear(c, 8));
  for (int i = 0; i < 6; ++i) SetWord(i, 1 - Clear(c, k451GridBits[i]));
}

}  // namespace zelvar::pic
