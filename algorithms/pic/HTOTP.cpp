#include "algorithms/pic/HTOTP.h"

#include <cstdio>
#include <cstring>

#include "link/Bitstream.h"
#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "link/commands/SmallOtp.h"
#include "services/AppState.h"
#include "services/Messages.h"
#include "services/Services.h"

namespace zelvar::pic {

namespace {
using namespace small_otp;
constexpr std::uint8_t kImageMark = 0xC0, kRecordMark = 'e', kTrailer = 0xDC;
constexpr const char* kNotOtpWrite =
    "File format error!(not .OTP)*缓冲区数据不符合.OTP文件格式,不能烧写!";
constexpr const char* kNotOtpVerify =
    "File format error!(not .OTP)*缓冲区数据不符合.OTP文件格式,不能比较!";
constexpr const char* kShortRecord =
    "A record of the .OTP image is shorter than the chip! *.OTP文件的记录长度不足,不能烧写!";
constexpr int kOps[] = {kOpBlank, kOpWrite, kOpVerify, kOpLock, kOpRead, kOpReadId, kOpReadConfig};

std::uint32_t U16(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0] | p[1] << 8);
}
std::uint32_t U32(const std::uint8_t* p) {
  return U16(p) | U16(p + 2) << 16;
}

const std::array<const char*, 73> kDescribe = [] {
  std::array<const char*, 73> d{
      "$Fonc:",      "22 Blank",  "23 Write",     "24 Verify",
      "26 Security", "$DisTool:", "21,25,30,31,", "$Gridw: Chip Information(器件信息:)"};
  static const char* const kLabels[32] = {"00", "01", "02", "03", "04", "05", "06", "07",
                                          "08", "09", "0a", "0b", "0c", "0d", "0e", "0f",
                                          "10", "11", "12", "13", "14", "15", "16", "17",
                                          "18", "19", "1a", "1b", "1c", "1d", "1e", "1f"};
  for (std::size_t i = 0; i < 32; ++i) {
    d[8 + 2 * i] = kLabels[i];
    d[9 + 2 * i] = "0000";
  }
  d[72] = "$end";
  return d;
}();
constexpr const char* kConfig[] = {"0: (只有一种类型)", "$end"};
}  // namespace

OtpImage ParseOtpImage(const std::uint8_t* image, std::size_t size) {
  OtpImage r;
  if (size < 3 || image[0] != kImageMark) return r;
  const std::uint32_t l = U16(image + 1);
  const std::size_t r1 = l + 3;
  if (r1 + 7 > size || image[r1] != kRecordMark) return r;
  const std::uint32_t lc = U16(image + r1 + 1);
  const std::size_t r2 = l + 6 + lc;
  if (r2 + 7 > size || image[r2] != kRecordMark) return r;
  const std::uint32_t lo = U16(image + r2 + 1);
  r.laidOut = true;
  r.codeBytes = static_cast<std::int32_t>(lc) - 5;
  r.optionBytes = static_cast<std::int32_t>(lo) - 5;
  r.codeStart = U32(image + r1 + 3);
  r.codeEnd = r.codeStart + lc - 5;
  r.optionStart = U32(image + r2 + 3);
  r.optionEnd = r.optionStart + lo - 5;
  r.codeData = static_cast<std::uint32_t>(l + 10);
  r.optionData = static_cast<std::uint32_t>(r2 + 7);
  return r;
}

void WriteOtpHeader(std::uint8_t* image, std::uint32_t codeSize) {
  std::memset(image, 0, 48);
  image[0] = kImageMark;
  image[1] = 0x2D;  // header area of 45 bytes: the code record at 48
  image[48] = kRecordMark;
  image[49] = static_cast<std::uint8_t>((codeSize + 5) & 0xFF);
  image[50] = static_cast<std::uint8_t>((codeSize + 5) >> 8);
  std::memset(image + 51, 0, 4);
}

std::uint32_t WriteOtpTrailer(std::uint8_t* image, std::uint32_t codeSize) {
  // The trailer sits where the code record's own length puts it, so that the image reads back.
  const std::uint32_t e = kOtpCodeData + codeSize;
  image[e] = kTrailer;
  image[e + 1] = kRecordMark;
  image[e + 2] = kOtpOptionBytes + 5;
  image[e + 3] = 0;
  std::memset(image + e + 4, 0, 4);
  return e + 8;
}

void HTOTP::Init() {
  if (!TakeRow(kTypes)) return;
  Services& s = services();
  struct Place {
    const char* names[3];
    int row, pins;
  };
  static constexpr Place kPlaces[] = {{{"18DIP", "18SOP", nullptr}, 3, 18},
                                      {{"20DIP", "20SOP", "20SSOP"}, 3, 20},
                                      {{"24SKDIP", "24SOP", "24SSOP"}, 1, 24},
                                      {{"28SKDIP", "28SOP", "28SSOP"}, 1, 28}};
  for (const Place& place : kPlaces) {
    for (const char* name : place.names) {
      if (name == nullptr || !s.ChipNameContains(name)) continue;
      PlacementRequest r;
      r.firstRow = place.row;
      r.pins = place.pins;
      s.ShowPlacement(r);
    }
  }
  codeSize_ = static_cast<std::uint32_t>(s.ChipParam("fla=") * 2);
  row_.lastAddress = static_cast<std::int32_t>(codeSize_);
  last_ = static_cast<std::int32_t>(codeSize_) - 1;
  row_.groundPin = static_cast<std::uint8_t>(s.ChipParam("gnd="));
  gApp.GroundPin = row_.groundPin;
  SelectGndPin(row_.groundPin);
  vccMillivolts_ = s.ChipParam("vcc=");
  if (vccMillivolts_ < 1) vccMillivolts_ = 5000;
  SetVccVoltage(vccMillivolts_);
  vppMillivolts_ = 12500;
  SetVppVoltage(vppMillivolts_);
  image_ = {};
}

TypeFacts HTOTP::Facts() const {
  TypeFacts f = OtpSet::Facts();
  f.lastAddress = codeSize_ == 0 ? 0 : codeSize_ - 1;
  return f;
}

std::span<const char* const> HTOTP::DescribeList() const {
  return kDescribe;
}
std::span<const char* const> HTOTP::ConfigTable() const {
  return kConfig;
}
std::span<const int> HTOTP::Operations() const {
  return kOps;
}

bool HTOTP::Enter() const {
  gLink.StatusWord = 0;
  Line(2, true);
  Line(3, false);
  Line(1, true);
  FlushCommands();
  SelectVccPin(row_.vccPin);
  for (int i = 0; i < 11; ++i) PutCmd1(kCmdShort);
  FlushCommands();
  SelectVppPin(row_.vppPin);
  if (!CheckPower()) return false;
  PutCmd3(kCmdNibble, kCmdNibble, kCmdNibble);
  Line(2, false);
  Line(3, false);
  FlushCommands();
  return true;
}

void HTOTP::SetAddress(int space, std::uint32_t address) const {
  const bool large = codeSize_ > 32768;
  std::uint32_t v = address | static_cast<std::uint32_t>(space) << (large ? 18 : 14);
  for (int i = 0; i < (large ? 5 : 4); ++i) {
    WritePort(0, static_cast<std::uint8_t>(v & 0xFF));
    Line(1, false);
    PutCmd1(kCmdNibble);
    Line(1, true);
    v >>= 4;
  }
  PutCmd1(kCmdPulse);
  FlushCommands();
}

void HTOTP::ProgramWord(std::uint16_t w) {
  for (int i = 0; i < 4; ++i) {
    WritePort(0, static_cast<std::uint8_t>(w & 0xFF));
    Line(1, false);
    PutCmd1(kCmdNibble);
    if (i == 3) {
      for (int k = 0; k < 5; ++k) PutCmd1(kCmdPulse);
    }
    Line(1, true);
    w = static_cast<std::uint16_t>(w >> 4);
  }
  Line(3, true);
  for (int i = 0; i < 4; ++i) {
    Line(1, false);
    PutCmd1(kCmdNibble);
    Line(1, true);
  }
  Line(3, false);
  FlushCommands();
}

void HTOTP::Read32(std::uint8_t* dest) {
  for (int i = 0; i < 64; ++i) {
    Line(1, false);
    PutCmd1(kCmdSample);
    Line(1, true);
  }
  std::uint8_t reply[64];
  ReadReply64(reply);
  for (int i = 0; i < 32; ++i)
    dest[i] = static_cast<std::uint8_t>(reply[2 * i + 1] << 4 | (reply[2 * i] & 15));
}

void HTOTP::Blank() {
  if (!Enter()) return;
  Line(2, false);
  Line(3, false);
  SetAddress(2, 0);
  Line(3, true);
  std::uint8_t option[32];
  Read32(option);
  Line(2, true);
  PowerDown();
  // Failures name the byte where Read would put it in the image.
  const std::uint32_t optionAt = kOtpCodeData + codeSize_ + 8;
  for (std::uint32_t i = 0; i < 32; ++i) {
    if (option[i] != 0) {
      Fail(optionAt + i, option[i]);
      return;
    }
  }
  if (!Enter()) return;
  Line(2, false);
  Line(3, false);
  SetAddress(0, 0);
  Line(3, true);
  std::uint8_t got[32];
  for (std::uint32_t a = 0; a < codeSize_; a += 32) {
    ShowProgress(static_cast<int>(a));
    Read32(got);
    for (std::uint32_t i = 0; i < 32 && a + i < codeSize_; ++i) {
      if (got[i] == 0) continue;
      Line(2, true);
      PowerDown();
      Fail(kOtpCodeData + a + i, got[i]);
      return;
    }
  }
  PowerDown();
  Line(2, true);
  gLink.StatusWord = 0;
  ShowProgress(-1);
}

bool HTOTP::TakeImage(const char* box) {
  const OtpImage im = ParseOtpImage(buffer_, gApp.CodeBuffer.size());
  if (!im.laidOut) {
    ShowMessageText(box);
    gLink.StatusWord = 1;
    return false;
  }
  // A record shorter than what is programmed would put its trailer, the next record or stale
  // buffer bytes into the chip.
  if (im.codeBytes < static_cast<std::int32_t>(codeSize_) ||
      im.optionBytes < static_cast<std::int32_t>(kOtpOptionBytes) ||
      im.optionData + kOtpOptionBytes > gApp.CodeBuffer.size()) {
    ShowMessageText(kShortRecord);
    gLink.StatusWord = 1;
    return false;
  }
  image_ = im;
  return true;
}

void HTOTP::Write() {
  if (!TakeImage(kNotOtpWrite)) return;
  if (!Enter()) return;
  Line(2, false);
  Line(3, false);
  SetAddress(0, image_.codeStart);
  const std::uint8_t* code = buffer_ + image_.codeData;
  for (std::uint32_t off = 0; off < codeSize_; off += 2) {
    ShowProgress(static_cast<int>(off));
    ProgramWord(static_cast<std::uint16_t>(code[off + 1] << 8 | code[off]));
    if (off % 256 == 0) FlushCommands();
  }
  Line(3, true);
  Line(2, true);
  FlushCommands();
  ShowProgress(-1);
  PowerDown();
  if (!Enter()) return;
  Line(2, false);
  Line(3, false);
  SetAddress(2, image_.optionStart + 1);
  const std::uint8_t* option = buffer_ + image_.optionData;
  for (std::uint32_t off = 2; off <= 30; off += 2)
    ProgramWord(static_cast<std::uint16_t>(option[off + 1] << 8 | option[off]));
  Line(3, true);
  Line(2, true);
  FlushCommands();
  ShowProgress(-1);
  PowerDown();
}

void HTOTP::Verify() {
  if (!TakeImage(kNotOtpVerify)) return;
  if (!Enter()) return;
  Line(2, false);
  Line(3, false);
  SetAddress(0, image_.codeStart);
  Line(3, true);
  const std::uint8_t* code = buffer_ + image_.codeData;
  std::uint8_t got[32];
  for (std::uint32_t a = 0; a < codeSize_; a += 32) {
    ShowProgress(static_cast<int>(a));
    Read32(got);
    for (std::uint32_t i = 0; i < 32 && a + i < codeSize_; ++i) {
      const std::uint8_t want = (i & 1) != 0 ? code[a + i] & 63 : code[a + i];
      if (got[i] == want) continue;
      Line(2, true);
      PowerDown();
      Fail(image_.codeData + a + i, got[i]);
      return;
    }
  }
  Line(2, true);
  PowerDown();
  if (!Enter()) return;
  Line(2, false);
  Line(3, false);
  SetAddress(2, image_.optionStart);
  Line(3, true);
  std::uint8_t option[64];
  Read32(option);
  Read32(option + 32);
  Line(2, true);
  PowerDown();
  for (std::uint32_t i = 2; i < 32; ++i) {
    // 14-bit option words, as the code words are compared.
    const std::uint8_t want = buffer_[image_.optionData + i];
    if (option[i] != ((i & 1) != 0 ? want & 63 : want)) {
      Fail(image_.optionData + i, option[i]);
      return;
    }
  }
  ShowProgress(-1);
  gLink.StatusWord = 0;
}

void HTOTP::Read() {
  if (!Enter()) return;
  WriteOtpHeader(buffer_, codeSize_);
  SetAddress(0, 0);
  PutCmd1(kCmdPulse);
  Line(3, true);
  PutCmd1(kCmdPulse);
  for (std::uint32_t a = 0; a < codeSize_; a += 32) {
    ShowProgress(static_cast<int>(a));
    Read32(buffer_ + kOtpCodeData + a);
  }
  Line(2, true);
  PowerDown();
  const std::uint32_t optionAt = WriteOtpTrailer(buffer_, codeSize_);
  if (!Enter()) return;
  Line(2, false);
  Line(3, false);
  SetAddress(2, 0);
  Line(3, true);
  Read32(buffer_ + optionAt);
  Read32(buffer_ + optionAt + 32);
  ShowProgress(static_cast<int>(optionAt + 64));
  Line(3, false);
  Line(2, true);
  PowerDown();
  image_ = ParseOtpImage(buffer_, gApp.CodeBuffer.size());
  ReadConfig();
}

void HTOTP::ReadConfig() {
  if (!Enter()) return;
  Line(2, false);
  Line(3, false);
  SetAddress(2, image_.optionStart);
  Line(3, true);
  std::uint8_t option[64];
  Read32(option);
  Read32(option + 32);
  Line(2, true);
  PowerDown();
  for (int i = 0; i < 32; ++i)
    SetWord(64 + i, static_cast<std::uint32_t>(option[2 * i + 1] << 8 | option[2 * i]));
}

void HTOTP::Lock() {
  if (!Enter()) return;
  Line(2, false);
  Line(3, false);
  SetAddress(2, 0);
  ProgramWord(1);
  Line(3, true);
  Line(2, true);
  PowerDown();
  if (!Enter()) return;
  Line(2, false);
  Line(3, false);
  SetAddress(2, 0);
  Line(3, true);
  std::uint8_t option[32];
  Read32(option);
  Line(3, false);
  Line(2, true);
  PowerDown();
  if ((option[0] & 1) != 0) {
    AddMessageLine("Lock OK");
    gLink.StatusWord = 0;
    return;
  }
  AddMessageLine("Lock error!*加密失败!");
  Fail(kOtpCodeData + codeSize_ + 8, option[0]);
}

void HTOTP::ReadId() {
  gLink.StatusWord = 0;
  Line(2, true);
  Line(3, false);
  Line(1, true);
  FlushCommands();
  SelectVccPin(row_.vccPin);
  SelectVppPin(row_.vppPin);
  if (!CheckPower()) return;
  PutCmd3(kCmdNibble, kCmdNibble, kCmdNibble);
  Line(3, true);
  Line(2, false);
  PutCmd3(kCmdNibble, kCmdNibble, kCmdNibble);
  FlushCommands();
  for (int i = 0; i < 8; ++i) {
    Line(1, false);
    PutCmd1(kCmdNibble);
    PutCmd1(kCmdSample);
    Line(1, true);
  }
  Line(2, true);
  Line(3, false);
  FlushCommands();
  std::uint8_t reply[64];
  ReadReply64(reply);
  std::uint8_t id = 0;
  for (int i = 0; i < 8; ++i) id |= static_cast<std::uint8_t>((reply[i] & 1) << i);
  char line[48];
  std::snprintf(line, sizeof line, id == 0xAD ? "%02x OK" : "%02x,错误型号", id);
  AddMessageLine(line);
  PowerDown();
}

}  // namespace zelvar::pic
