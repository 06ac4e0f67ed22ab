#include "algorithms/pic/CR80PX00.h"

#include <cstdio>

#include "link/Bitstream.h"
#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "link/commands/SmallOtp.h"
#include "services/AppState.h"
#include "services/Messages.h"

namespace zelvar::pic {

namespace {
using namespace small_otp;
constexpr std::uint32_t kBlock = 64;
constexpr std::uint16_t kBlankWord = 0x3FFF;
constexpr const char* kNotAvailable = "Not available for this chip! *此型号不支持该操作!";
constexpr const char* kDescribe[] = {"$Fonc:",
                                     "22 Blank",
                                     "23 Write",
                                     "24 Verify",
                                     "25 Config",
                                     "26 Security",
                                     "$DisTool:",
                                     "20,21,27,28,30,31,",
                                     "$Gridw:Option",
                                     "User.ID(用户信息)",
                                     "FFFF",
                                     "MFA.ID(厂家代码)",
                                     "FFFF",
                                     "$Radio1:03,OSC(震荡方式)",
                                     "RC(阻容振荡)",
                                     "LF(低频晶震)",
                                     "XT(普通晶震)",
                                     "HF(高频晶震)",
                                     "$Radio2:02,WDT(看门狗)",
                                     "Dis(禁止)",
                                     "Sleep dis(睡眠时禁止)",
                                     "Enable(全部允许)",
                                     "$Radio3:03,Osc Delay(震荡延迟)",
                                     "172uS",
                                     "22mS",
                                     "44mS",
                                     "88mS",
                                     "$end"};
constexpr const char* kConfig[] = {"0: (只有一种类型)", "$end"};
constexpr int kOps[] = {kOpBlank, kOpWrite, kOpVerify,     kOpConfig,
                        kOpLock,  kOpRead,  kOpReadConfig, kOpUserInfo};
constexpr std::uint16_t kWdtBits[] = {0, 1, 3};

std::uint16_t WordOf(const std::uint8_t* reply, std::uint32_t i) {
  return static_cast<std::uint16_t>(reply[2 * i + 1] << 7 | (reply[2 * i] & 0x7F));
}
}  // namespace

void CR80PX00::CheckRow(const Cr80pType& t, TypeTableReport& r) {
  if (t.vccPin == 0) {
    if (t.vppPin != 0 || t.contactMask != 0 || t.lastAddress != 0)
      r.Fault("pins or size on a row without a VCC pin");
    return;
  }
  r.DistinctSupplyPins({{"VCC", t.vccPin}, {"VPP", t.vppPin}, {"ground", t.groundPin}}, {}, 40);
  r.MaskInSocket(t.contactMask, 40);
  r.SizeIsPowerOfTwo(static_cast<std::uint32_t>(t.lastAddress));
  const int lines[] = {t.s1, t.s2, t.s3, t.s4, t.s5, t.clock};
  for (std::size_t i = 0; i < 6; ++i) {
    if (lines[i] < 2 || lines[i] > 15) r.Fault("a line outside the design's lines 2-15");
    for (std::size_t j = i + 1; j < 6; ++j) {
      if (lines[i] == lines[j]) r.Fault("two roles on one line");
    }
  }
  if (t.port > 1 || t.readCommand != t.port + 1) r.Fault("the read command is not the port's");
  for (int pin : {int{t.vccPin}, int{t.groundPin}}) {
    if (t.contactMask != 0 && (t.contactMask >> (pin - 1) & 1) == 0)
      r.Fault("a supply pin outside the contact pins");
  }
}

std::uint16_t CR80PX00::OptionValue(std::uint32_t osc, std::uint32_t wdt, std::uint32_t delay) {
  return static_cast<std::uint16_t>((wdt < 3 ? kWdtBits[wdt] : 0) | (osc & 3) << 2 |
                                    (delay & 3) << 4);
}

CR80PX00::Choices CR80PX00::OptionChoices(std::uint8_t config) {
  const std::uint32_t wdt = config & 3;
  return {static_cast<std::uint32_t>(config >> 2 & 3), wdt == 3 ? 2u : wdt,
          static_cast<std::uint32_t>(config >> 4 & 3)};
}

void CR80PX00::Init() {
  BeginSetup();
  if (!AcceptRow(static_cast<int>(kTypes.size()))) return;
  lines_ = kTypes[static_cast<std::size_t>(gApp.TypeIndex)];
  LoadBitstream("cr80px00.bit");
  last_ = lines_.lastAddress;
  row_ = {lines_.name, lines_.vppPin,  lines_.vccPin,     lines_.groundPin,
          last_,       "cr80px00.bit", lines_.contactMask};
  gApp.GroundPin = row_.groundPin;
  gApp.PinMask = row_.contactMask;
  const int model = gLink.ModelNumber;
  if (lines_.maskByModel && (model == 5104 || model == 5105 || model == 5148)) gApp.PinMask = 0;
  SelectGndPin(row_.groundPin);
  vccMillivolts_ = 3300;
  SetVccVoltage(vccMillivolts_);
  vppMillivolts_ = 12000;
  SetVppVoltage(vppMillivolts_);
}

std::span<const char* const> CR80PX00::DescribeList() const {
  return kDescribe;
}
std::span<const char* const> CR80PX00::ConfigTable() const {
  return kConfig;
}
std::span<const int> CR80PX00::Operations() const {
  return kOps;
}

void CR80PX00::Clock(int n) const {
  for (int i = 0; i < n; ++i) {
    Line(lines_.clock, true);
    Line(lines_.clock, false);
  }
}

void CR80PX00::Enter() const {
  gLink.StatusWord = 0;
  Line(1, false);
  Line(1, false);
  Line(lines_.s5, true);
  Line(lines_.s4, true);
  Line(lines_.s3, true);
  Line(lines_.clock, false);
  Line(lines_.s1, false);
  Line(lines_.s2, false);
  SelectVccPin(row_.vccPin);
  Clock(3);
  FlushCommands();
}

void CR80PX00::Mode(std::uint8_t m) const {
  Line(lines_.s2, true);
  WritePort(lines_.port, m);
  PutCmd1(kCmdVppWait);
  SelectVppPin(row_.vppPin);
  PutCmd1(kCmdVppWait);
  Clock(2);
  if (!Row3()) Clock(3);
  FlushCommands();
}

void CR80PX00::Pulse() const {
  Line(lines_.s4, true);
  Line(lines_.s5, false);
  PutCmd1(kCmdPulse);
  Line(lines_.s5, true);
  Line(lines_.s4, false);
}

void CR80PX00::ProgramWord(std::uint32_t w) const {
  Line(lines_.s3, false);
  WritePort(lines_.port, static_cast<std::uint8_t>(w & 0xFF));
  Pulse();
  Line(lines_.s3, true);
  WritePort(lines_.port, static_cast<std::uint8_t>(w >> 7 & 0xFF));
  Pulse();
  Clock(4);
}

void CR80PX00::ReadWord() const {
  Line(lines_.s3, false);
  PutCmd1(lines_.readCommand);
  Line(lines_.s3, true);
  PutCmd1(lines_.readCommand);
  Line(lines_.s3, false);
  Clock(4);
}

void CR80PX00::ReadStart() const {
  Line(1, true);
  Line(lines_.s4, false);
}

// Row 3's program memory begins with two words that are not the user's.
void CR80PX00::SkipRead() const {
  if (!Row3()) return;
  ReadWord();
  ReadWord();
  std::uint8_t reply[64];
  ReadReply64(reply);
}

void CR80PX00::Write() {
  for (std::int32_t a = 1; a <= last_; a += 2) buffer_[a] &= 0x3F;
  Enter();
  Mode(0);
  if (!CheckPower()) return;
  if (Row3()) {
    ProgramWord(0xFFFF);
    ProgramWord(0xFFFF);
  }
  for (std::int32_t a = 0; a <= last_; a += 2) {
    if (a % 32 == 0) {
      ShowProgress(a);
      FlushCommands();
    }
    ProgramWord(static_cast<std::uint32_t>(buffer_[a] | buffer_[a + 1] << 8));
  }
  Line(lines_.s4, false);
  PutCmd1(kCmdShort);
  FlushCommands();
  ShowProgress(-1);
  PowerDown();
}

void CR80PX00::Scan(const std::uint8_t* want, bool checkPower) {
  Enter();
  Mode(0);
  if (checkPower && !CheckPower()) return;
  ReadStart();
  gLink.StatusWord = 0;
  SkipRead();
  std::uint8_t reply[64];
  for (std::int32_t a = 0; a < last_; a += kBlock) {
    ShowProgress(a);
    for (std::uint32_t i = 0; i < kBlock / 2; ++i) ReadWord();
    ReadReply64(reply);
    for (std::uint32_t i = 0; i < kBlock / 2; ++i) {
      const std::uint32_t at = static_cast<std::uint32_t>(a) + 2 * i;
      const std::uint16_t expected =
          want == nullptr ? kBlankWord
                          : static_cast<std::uint16_t>((want[at] | want[at + 1] << 8) & 0x3FFF);
      if (WordOf(reply, i) != expected) {
        Fail(at, reply[2 * i]);
        PowerDown();
        return;
      }
    }
  }
  ShowProgress(-1);
  PowerDown();
}

void CR80PX00::Blank() {
  Scan(nullptr, true);
}
void CR80PX00::Verify() {
  Scan(buffer_, false);
}

void CR80PX00::Read() {
  Enter();
  Mode(0);
  if (!CheckPower()) return;
  ReadStart();
  SkipRead();
  for (std::int32_t a = 0; a < last_; a += kBlock) {
    ShowProgress(a);
    for (std::uint32_t i = 0; i < kBlock / 2; ++i) ReadWord();
    ReadReply64(buffer_ + a);
  }
  // Two 7-bit halves into the buffer's little-endian 14-bit word.
  for (std::int32_t a = 0; a < last_; a += 2) {
    const std::uint8_t hi = buffer_[a + 1];
    buffer_[a] = static_cast<std::uint8_t>((buffer_[a] & 0x7F) | (hi & 1) << 7);
    buffer_[a + 1] = static_cast<std::uint8_t>(hi >> 1);
  }
  ShowProgress(-1);
  PowerDown();
}

bool CR80PX00::NotOnRow3() {
  if (!Row3()) return true;
  // The CR80P110 takes neither from this set: saying so beats a success that wrote nothing.
  AddMessageLine(kNotAvailable);
  gLink.StatusWord = 1;
  return false;
}

void CR80PX00::Config() {
  if (!NotOnRow3()) return;
  Enter();
  const std::uint16_t o = OptionValue(Word(128), Word(129), Word(130));
  lastOption_ = o;
  char line[32];
  std::snprintf(line, sizeof line, "Option = %04x", o);
  AddMessageLine(line);
  Mode(2);
  ProgramWord(~static_cast<std::uint32_t>(o));
  ProgramWord(o);
  FlushCommands();
  Line(lines_.s4, false);
  PowerDown();
}

void CR80PX00::Lock() {
  Enter();
  Mode(5);
  ProgramWord(0);
  FlushCommands();
  Line(lines_.s4, false);
  PowerDown();
}

void CR80PX00::UserInfo() {
  if (!NotOnRow3()) return;
  const std::uint32_t id = Word(64);
  Enter();
  Mode(1);
  ProgramWord(id >> 8);
  ProgramWord(id);
  for (int i = 0; i < 4; ++i) ProgramWord(0);
  FlushCommands();
  Line(lines_.s4, false);
  PowerDown();
}

void CR80PX00::ReadConfig() {
  std::uint8_t reply[64];
  char line[96];
  if (Row3()) {
    Enter();
    Mode(2);
    ReadStart();
    FlushCommands();
    for (int i = 0; i < 7; ++i) ReadWord();
    ReadReply64(reply);
    const std::uint8_t config = reply[6];
    PowerDown();
    Enter();
    Mode(5);
    ReadStart();
    FlushCommands();
    ReadWord();
    ReadReply64(reply);
    PowerDown();
    lastConfig_ = config;
    std::snprintf(line, sizeof line, "Config=%02x,Secu=%02x", config, reply[0]);
    AddMessageLine(line);
    return;
  }
  Enter();
  Mode(2);
  if (!CheckPower()) return;
  ReadStart();
  FlushCommands();
  ReadWord();
  ReadWord();
  ReadReply64(reply);
  const std::uint8_t config = reply[2];
  PowerDown();
  Enter();
  Mode(5);
  ReadStart();
  ReadWord();
  // The security word's own reply: without it the next read would take this one.
  ReadReply64(reply);
  const std::uint8_t security = reply[0];
  PowerDown();
  Enter();
  Mode(1);
  ReadStart();
  for (int i = 0; i < 8; ++i) ReadWord();
  const std::uint8_t* b = reply;
  ReadReply64(reply);
  PowerDown();
  const std::uint16_t id0 = static_cast<std::uint16_t>(b[1] << 7 | (b[0] & 0x7F));
  const std::uint16_t id1 = static_cast<std::uint16_t>(b[3] << 7 | (b[2] & 0x7F));
  const std::uint32_t sum = ((static_cast<std::uint32_t>(b[7] << 7 | (b[6] & 0x7F)) << 8) |
                             ((b[5] & 1) ? 0x80 : 0) | (b[4] & 0x7F)) &
                            0xFFFF;
  const std::uint8_t protect = b[8];
  lastConfig_ = config;
  std::snprintf(line, sizeof line, "Config=%02x, ID=%02x%02x, Sum=%04x,Protect=%02x,Secu=%02x",
                config, id0 & 0xFF, id1 & 0xFF, sum, protect, security);
  AddMessageLine(line);
  const Choices c = OptionChoices(config);
  SetWord(128, c.osc);
  SetWord(129, c.wdt);
  SetWord(130, c.delay);
  SetWord(64, static_cast<std::uint32_t>((id1 << 8 | id0) & 0xFFFF));
}

}  // namespace zelvar::pic
