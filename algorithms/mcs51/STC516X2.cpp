#include "algorithms/mcs51/STC516X2.h"

#include <cstdio>

#include "link/Bitstream.h"
#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "services/AppState.h"
#include "services/Messages.h"

namespace zelvar::mcs51 {

namespace {

constexpr std::uint8_t kLatchPin = 8, kEnablePin = 25, kStrobePin = 27;
constexpr std::uint8_t kModePins[] = {28, 27, 26, 25, 24, 23, 22, 21, 3, 7};
constexpr std::uint32_t kBlock = 64;
constexpr int kIspWord = 128;

// Levels of the ten mode pins, in the order of kModePins.
constexpr const char* kReadMode = "1111000110";
constexpr const char* kProgramMode = "1001100010";
constexpr const char* kEraseMode = "1001011111";
constexpr const char* kConfigWriteMode = "1001100011";
constexpr const char* kConfigReadMode = "1111000111";
constexpr const char* kIdMode0 = "0001000110";
constexpr const char* kIdMode1 = "0001000111";

void SetModePins(const char* levels) {
  for (int i = 0; i < 10; ++i) SetPinLevel(levels[i] == '1', kModePins[i]);
}

constexpr const char* kDescribe[] = {"$Fonc:",
                                     "21 Erase",
                                     "22 Blank",
                                     "23 Write",
                                     "24 Verify",
                                     "25 WriteConfig",
                                     "$DisTool:",
                                     "26,30,31,",
                                     "$Radio1:15,ISP from E000",
                                     "ISP space 7.5K",
                                     "ISP space 7.0K",
                                     "ISP space 6.5K",
                                     "ISP space 6.0K",
                                     "ISP space 5.5K",
                                     "ISP space 5.0K",
                                     "ISP space 4.5K",
                                     "ISP space 4.0K",
                                     "ISP space 3.5K",
                                     "ISP space 3.0K",
                                     "ISP space 2.5K",
                                     "ISP space 2.0K",
                                     "ISP space 1.5K",
                                     "ISP space 1.0K",
                                     "ISP space 0.5K",
                                     "ISP No ISP",
                                     "$end"};
constexpr const char* kConfigTable[] = {"0: (只有一种类型)",
                                        "n=Loke(加密),v=1,a=0,b=0",
                                        "n=ENCRYTP (随机数混合),v=1,a=0,b=1",
                                        "n=MOVCL(禁止MOVC指令),v=1,a=0,b=2",
                                        "n=HWEN_ISP(复位启动ISP),v=1,a=0,b=3",
                                        "n=EN6T (6个时钟),v=1,a=1,b=2",
                                        "$end"};
constexpr int kOps[] = {kOpErase,  kOpBlank, kOpWrite,  kOpVerify,
                        kOpConfig, kOpRead,  kOpReadId, kOpReadConfig};

}  // namespace

std::span<const char* const> STC516X2::DescribeList() const {
  return kDescribe;
}
std::span<const char* const> STC516X2::ConfigTable() const {
  return kConfigTable;
}
std::span<const int> STC516X2::Operations() const {
  return kOps;
}

void STC516X2::Init() {
  BeginSetup();
  if (!AcceptRow(static_cast<int>(kTypes.size()))) return;
  UsePackage(TitleNamesPlcc44() ? kPlcc44 : kDip40);
  SelectGndPin(gApp.GroundPin);
  vccMillivolts_ = 5000;
  vppMillivolts_ = 5000;
  SetVppVoltage(vppMillivolts_);
  SetVccVoltage(vccMillivolts_);
}

// P0 is released before VCC rises: an operation after a failed one finds it driven low, which
// the powered chip would fight.
void STC516X2::PowerUp() {
  SetRegister25(kBusRead);
  SelectGndPin(gApp.GroundPin);
  SwitchPin(40, true);
  SelectVccPin(0);
  SelectClockPin(0);
  SwitchPin(kXtal2Pin, true);
  SwitchPin(kXtal1Pin, false);
  WritePort(0, 0xFF);
  for (std::uint8_t pin : {19, 31, 29}) SetPinLow(pin);
  for (std::uint8_t pin : {30, 9, 28, 27, 26}) SetPinHigh(pin);
  for (std::uint8_t pin : {24, 23, 22}) SetPinLow(pin);
  for (std::uint8_t pin : {21, 3}) SetPinHigh(pin);
  SelectVccPin(gMcs51.ChipVccPin);
  FlushCommands();
}

// A8..A15 on P3, the low byte latched from P0.
void STC516X2::SetAddress(std::uint32_t a) {
  for (int i = 0; i < 8; ++i) SetPinLevel((a >> (8 + i)) & 1, static_cast<std::uint8_t>(10 + i));
  low_ = static_cast<std::uint8_t>(a);
  PutCmd2(kCmdDataByte, low_);
  SetPinHigh(kLatchPin);
  SetPinLow(kLatchPin);
}

void STC516X2::ProgramByte(std::uint8_t v) {
  PutCmd2(kCmdDataByte, v);
  SetPinHigh(kStrobePin);
  for (int i = 0; i < 3; ++i) PutCmd1(kCmdStrobeStep);
  SetPinLow(kStrobePin);
}

// The low byte of x latched, P0 released, one sample with the outputs enabled.
void STC516X2::ReadingStep(std::uint32_t x) {
  SetRegister25(kBusDrive);
  PutCmd2(kCmdDataByte, static_cast<std::uint8_t>(x));
  SetPinHigh(kLatchPin);
  SetPinLow(kLatchPin);
  SetRegister25(kBusRead);
  SetPinLow(kEnablePin);
  PutCmd1(kCmdSampleData);
  SetPinHigh(kEnablePin);
}

void STC516X2::ReadingBlock(std::uint32_t a, std::uint8_t* dest) {
  SetRegister25(kBusDrive);
  SetPinHigh(kEnablePin);
  SetAddress(a);
  for (std::uint32_t i = 0; i < kBlock; ++i) ReadingStep(a + i);
  PutCmd2(kCmdPadding, 0);
  ReadReply64(dest);
}

bool STC516X2::Scan(enum Scan kind) {
  return ScanBlocks(kind, 0, LastAddress(), kBlock,
                    [this](std::uint32_t a, std::uint8_t* dest) { ReadingBlock(a, dest); });
}

void STC516X2::Read() {
  PowerUp();
  PutCmd1(kCmdWait100us);
  SetModePins(kReadMode);
  if (!CheckPower()) return;
  Scan(Scan::Read);
  FinishScan();
}

void STC516X2::Blank() {
  PowerUp();
  if (!CheckPower()) return;
  SetModePins(kReadMode);
  if (Scan(Scan::Blank)) FinishScan();
}

void STC516X2::Verify() {
  PowerUp();
  if (!CheckPower()) return;
  SetModePins(kReadMode);
  if (Scan(Scan::Verify)) {
    FinishScan();
    return;
  }
  LogVerifyMismatch();
}

void STC516X2::TwoBytes(const char* first, const char* second, std::uint8_t* dest) {
  PowerUp();
  const char* modes[] = {first, second};
  for (std::uint32_t x = 0; x < 2; ++x) {
    SetModePins(modes[x]);
    SetRegister25(kBusDrive);
    SetPinHigh(kEnablePin);
    SetAddress(x);
    SetRegister25(kBusRead);
    SetPinLow(kEnablePin);
    PutCmd1(kCmdSampleData);
    SetPinHigh(kEnablePin);
  }
  PutCmd2(kCmdPadding, 0);
  ReadReply64(dest);
}

void STC516X2::ReadSignature() {
  std::uint8_t* reply = gLink.ScratchBuffer.data();
  TwoBytes(kIdMode0, kIdMode1, reply);
  gApp.ReadId = {reply[0], reply[1], 0, 0};
  SuppliesOff();
}

void STC516X2::ReadId() {
  ReadSignature();
  char line[48];
  std::snprintf(line, sizeof line, "厂家ID: %02x,%02x", gApp.ReadId[0], gApp.ReadId[1]);
  AddMessageLine(line);
}

// The signature is read (and logged) first; a line with an identity must match it.
bool STC516X2::CheckBeforeChange() {
  ReadId();
  const auto& want = gApp.ExpectedId;
  const auto& got = gApp.ReadId;
  if (want[0] == 0 || (got[0] == want[0] && got[1] == want[1])) return true;
  AddMessageLine(kTypeError);
  gLink.StatusWord = 1;
  return false;
}

void STC516X2::Write() {
  if (!IdentityChecked() && !CheckBeforeChange()) return;
  PowerUp();
  if (!CheckPower()) return;
  SetRegister25(kBusDrive);
  SetModePins(kProgramMode);
  for (std::uint32_t a = 0; a <= LastAddress(); a += 256) {
    ShowProgress(static_cast<int>(a));
    SetAddress(a);
    for (std::uint32_t i = 0; i < 256; ++i) {
      PutCmd2(kCmdDataByte, static_cast<std::uint8_t>(i));
      SetPinHigh(kLatchPin);
      SetPinLow(kLatchPin);
      ProgramByte(buffer_[a + i]);
    }
    FlushCommands();
  }
  ShowProgress(-1);
}

// P2.0 low for 30 ms in the erase mode.
void STC516X2::Erase() {
  PowerUp();
  if (!CheckPower()) return;
  SetRegister25(0xFF);
  SetModePins(kEraseMode);
  FlushCommands();
  SetPinLow(21);
  for (int i = 0; i < 30; ++i) PutCmd1(kCmdSettle);
  SetPinLow(23);
  PutCmd1(kCmdWait100us);
  SetPinHigh(21);
  FlushCommands();
}

// Byte 0: the grid's low nibble and the ISP radio in the high nibble; byte 1 from word 1.
void STC516X2::Config() {
  const std::uint8_t b0 =
      static_cast<std::uint8_t>((Word(0) & 0x0F) | ((Word(kIspWord) & 0x0F) << 4));
  const std::uint8_t b1 = static_cast<std::uint8_t>(Word(1));
  PowerUp();
  if (!CheckPower()) return;
  SetRegister25(kBusDrive);
  SetModePins(kConfigWriteMode);
  SetAddress(0);
  ProgramByte(b0);
  SetAddress(1);
  ProgramByte(b1);
  FlushCommands();
}

void STC516X2::ReadConfig() {
  std::uint8_t* reply = gLink.ScratchBuffer.data();
  TwoBytes(kConfigReadMode, kConfigReadMode, reply);
  SetWord(0, reply[0]);
  SetWord(1, reply[1]);
  SetWord(kIspWord, reply[0] >> 4);
}

}  // namespace zelvar::mcs51
